#include "platform/jet/Dao.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>
#include <utility>

#include "platform/jet/SqliteReason.h"

namespace jet {

namespace {

[[noreturn]] void raiseCannotCreate(const std::string& name, const std::string& reason)
{
    throw JetError("Cannot create database \"" + name + "\": " + reason);
}

// Claims the name with an exclusive create, so that an existing file is never
// taken over and the system's own reason is known when the folder refuses.
void claimFileName(const std::string& name)
{
    if (name.empty())
        raiseCannotCreate(name, "no file name given");
    const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        const int error = errno;
        raiseCannotCreate(name, error == EEXIST ? "Database already exists" : std::strerror(error));
    }
    ::close(descriptor);
}

// Writes the first page, so that the file is an SQLite database and not merely
// an empty file that SQLite would also accept.
sqlite3* openAndInitialise(const std::string& name)
{
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "PRAGMA user_version = 0", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason = SqliteReason(handle, rc);
        sqlite3_close(handle);
        ::unlink(name.c_str());
        raiseCannotCreate(name, reason);
    }
    return handle;
}

} // namespace

Database::~Database()
{
    Close();
}

Database::Database(Database&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), name_(std::move(other.name_))
{
}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        name_ = std::move(other.name_);
    }
    return *this;
}

void Database::Close()
{
    if (handle_ != nullptr)
        sqlite3_close(std::exchange(handle_, nullptr));
}

Database Workspace::CreateDatabase(const std::string& name, const std::string& /*locale*/,
                                   int /*options*/)
{
    claimFileName(name);
    return Database(openAndInitialise(name), name);
}

Workspace& DBEngine::Workspaces(int index)
{
    if (index != 0)
        throw JetError("Workspace " + std::to_string(index) + ": Item not found in this collection");
    return defaultWorkspace_;
}

} // namespace jet
