#pragma once

// DAO's side of the database stand-in: the engine that creates a database file.
// The file written is an SQLite 3 database; the locale and version options are
// taken as DAO takes them, and SQLite keeps its one format and UTF-8 text.

#include <string>
#include <utility>

#include "platform/jet/JetError.h"

struct sqlite3;

namespace jet {

// DAO's dbLangGeneral collating order.
inline constexpr const char* dbLangGeneral = ";LANGID=0x0409;CP=1252;COUNTRY=0";

// DAO's file format options of CreateDatabase.
enum : int {
    dbVersion30 = 32,
    dbVersion40 = 64,
};

// An open database; closed when the object goes.
class Database {
public:
    Database() = default;
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The file name the database was created with.
    const std::string& Name() const { return name_; }
    void Close();

private:
    friend class Workspace;
    Database(sqlite3* handle, std::string name) : handle_(handle), name_(std::move(name)) {}
    sqlite3* handle_ = nullptr;
    std::string name_;
};

class Workspace {
public:
    // Creates a new, empty database file and returns it open. Raises JetError
    // with the reason when the file cannot be created: "Database already exists"
    // when something of that name exists, else the system's or SQLite's reason
    // (a missing folder: "No such file or directory"). A failed creation leaves
    // no file behind.
    Database CreateDatabase(const std::string& name, const std::string& locale, int options);
};

class DBEngine {
public:
    // The default workspace is the only one: index 0; any other raises JetError.
    Workspace& Workspaces(int index);

private:
    Workspace defaultWorkspace_;
};

} // namespace jet
