#pragma once

// ADO's side of the database stand-in: a connection to an existing database file
// and a command that executes one statement on it, both carried out by SQLite.
// Foreign keys are enforced on every connection, as the Jet engine enforces
// referential integrity.

#include <string>
#include <vector>

#include "platform/jet/JetError.h"

struct sqlite3;

namespace jet {

// ADO's connect modes that matter here.
enum ConnectMode { cmUnknown, cmRead, cmWrite, cmReadWrite };

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Taken verbatim; read when the connection opens.
    void SetConnectionString(const std::string& text) { connectionString_ = text; }
    const std::string& ConnectionString() const { return connectionString_; }
    // Nobody is ever asked for a login: a database file has none.
    void SetLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
    bool LoginPrompt() const { return loginPrompt_; }
    // The mode when the connection string names none.
    void SetMode(ConnectMode mode) { mode_ = mode; }
    ConnectMode Mode() const { return mode_; }
    // Recorded as ADO records it; SQLite carries out every provider.
    void SetProvider(const std::string& provider) { provider_ = provider; }
    const std::string& Provider() const { return provider_; }

    // Opens the file named by the connection string's Data Source (closing any
    // earlier connection first). The file must exist and be a database: it is
    // never created. Raises JetError naming the file and the reason.
    void Open();
    void Close();
    bool Connected() const { return handle_ != nullptr; }

private:
    friend class Query;
    std::string connectionString_;
    bool loginPrompt_ = true;
    ConnectMode mode_ = cmUnknown;
    std::string provider_;
    sqlite3* handle_ = nullptr;
};

// The statement text of a query, held in lines.
class SqlText {
public:
    void Clear() { lines_.clear(); }
    void Add(const std::string& line) { lines_.push_back(line); }
    // The lines joined by line feeds.
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};

// A command bound to one connection for its whole life.
class Query {
public:
    explicit Query(Connection& connection) : connection_(connection) {}

    SqlText& SQL() { return sql_; }
    const SqlText& SQL() const { return sql_; }

    // Executes the statement text, which must hold exactly one statement: text
    // that holds a second one is refused and nothing is executed. Returns the
    // number of rows changed. Raises JetError with the statement and SQLite's
    // reason; also when the connection is not open.
    int ExecSQL();

private:
    Connection& connection_;
    SqlText sql_;
};

} // namespace jet
