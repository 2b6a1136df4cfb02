#include "platform/jet/Ado.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <utility>

#include "platform/jet/SqliteReason.h"

namespace jet {

namespace {

std::string trimmed(const std::string& text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), blank);
    auto end = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), blank);
    return std::string(begin, end.base());
}

bool sameKey(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// Reads one value at `position`: up to the next ';', or a value enclosed in
// double or single quotes, a doubled quote standing for itself.
std::string readValue(const std::string& text, std::size_t& position)
{
    while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position])))
        ++position;
    if (position < text.size() && (text[position] == '"' || text[position] == '\'')) {
        const char quote = text[position++];
        std::string value;
        while (position < text.size()) {
            if (text[position] == quote) {
                if (position + 1 < text.size() && text[position + 1] == quote) {
                    value += quote;
                    position += 2;
                    continue;
                }
                ++position;
                break;
            }
            value += text[position++];
        }
        position = std::min(text.find(';', position), text.size());
        return value;
    }
    const std::size_t end = std::min(text.find(';', position), text.size());
    std::string value = trimmed(text.substr(position, end - position));
    position = end;
    return value;
}

// The value of `key` in an OLE DB connection string ("Key=Value;..."), keys
// compared without regard to case.
std::optional<std::string> connectionStringValue(const std::string& text, const std::string& key)
{
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t equals = text.find('=', position);
        const std::size_t semicolon = text.find(';', position);
        if (equals == std::string::npos)
            break;
        if (semicolon < equals) {
            position = semicolon + 1;
            continue;
        }
        const std::string name = trimmed(text.substr(position, equals - position));
        position = equals + 1;
        std::string value = readValue(text, position);
        if (sameKey(name, key))
            return value;
        ++position; // past the ';'
    }
    return std::nullopt;
}

ConnectMode modeOf(const std::string& connectionString, ConnectMode fallback)
{
    const auto mode = connectionStringValue(connectionString, "Mode");
    if (!mode)
        return fallback;
    return sameKey(*mode, "Read") ? cmRead : cmReadWrite;
}

std::string dataSourceOf(const std::string& connectionString)
{
    const auto source = connectionStringValue(connectionString, "Data Source");
    if (!source || source->empty())
        throw JetError("Cannot open a database: the connection string names no Data Source");
    // SQLite gives these names a meaning of its own; here they are files.
    if (*source == ":memory:")
        return "./" + *source;
    return *source;
}

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

[[noreturn]] void raiseCannotExecute(const std::string& sql, const std::string& reason)
{
    // A message ends at a NUL, so one inside the statement is shown as "\0".
    std::string shown;
    for (char c : sql)
        shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    throw JetError("Cannot execute \"" + shown + "\": " + reason);
}

// Prepares the first statement of `sql`; a text with more after it than blanks,
// comments and empty statements is refused before anything runs.
Statement prepareSole(sqlite3* handle, const std::string& sql)
{
    if (sql.find('\0') != std::string::npos)
        raiseCannotExecute(sql, "the text holds a NUL character");
    const char* const end = sql.data() + sql.size();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    Statement statement(raw);
    if (rc != SQLITE_OK)
        raiseCannotExecute(sql, SqliteReason(handle, rc));
    if (!statement)
        raiseCannotExecute(sql, "the text holds no statement");
    while (tail != nullptr && tail < end) {
        sqlite3_stmt* nextRaw = nullptr;
        const char* nextTail = nullptr;
        rc = sqlite3_prepare_v2(handle, tail, static_cast<int>(end - tail), &nextRaw, &nextTail);
        Statement next(nextRaw);
        if (rc != SQLITE_OK || next)
            raiseCannotExecute(sql, "the text holds more than one statement");
        if (nextTail == tail)
            break;
        tail = nextTail;
    }
    return statement;
}

} // namespace

Connection::~Connection()
{
    Close();
}

void Connection::Open()
{
    Close();
    const std::string path = dataSourceOf(connectionString_);
    const int flags = modeOf(connectionString_, mode_) == cmRead ? SQLITE_OPEN_READONLY
                                                                 : SQLITE_OPEN_READWRITE;
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    // Opening is lazy: reading the schema proves that the file is a database.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "PRAGMA schema_version; PRAGMA foreign_keys = ON", nullptr,
                          nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason = SqliteReason(handle, rc);
        sqlite3_close(handle);
        throw JetError("Cannot open database \"" + path + "\": " + reason);
    }
    handle_ = handle;
}

void Connection::Close()
{
    if (handle_ != nullptr)
        sqlite3_close(std::exchange(handle_, nullptr));
}

std::string SqlText::Text() const
{
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines_[i];
    }
    return text;
}

int Query::ExecSQL()
{
    const std::string sql = sql_.Text();
    if (!connection_.Connected())
        raiseCannotExecute(sql, "the connection is not open");
    sqlite3* handle = connection_.handle_;
    Statement statement = prepareSole(handle, sql);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(statement.get());
    if (rc != SQLITE_DONE)
        raiseCannotExecute(sql, SqliteReason(handle, rc));
    return sqlite3_changes(handle);
}

} // namespace jet
