#include "platform/excel/NewFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/excel/Excel.h"

namespace fs = std::filesystem;

namespace excel {

namespace {

std::string numberedPath(const std::string& folder, const std::string& stem, int number, const std::string& extension)
{
    return (fs::path(folder) / (stem + std::to_string(number) + extension)).string();
}

int firstFreeNumber(const std::string& folder, const std::string& stem, const std::string& extension)
{
    // A name that cannot even be looked at ends the search: creating the file
    // beside it then fails with the folder's own reason.
    int number = 1;
    std::error_code error;
    while (fs::exists(numberedPath(folder, stem, number, extension), error) && !error)
        ++number;
    return number;
}

// The temporary file beside `target`, created empty with the permissions a new
// file gets (O_EXCL: never someone else's file). Returns the reason on failure.
std::string createTemporary(const std::string& target, std::string& path)
{
    std::random_device random;
    const fs::path where(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (where.parent_path() / ("." + where.filename().string() + "." + std::to_string(random()))).string();
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            ::close(descriptor);
            return {};
        }
        if (errno != EEXIST)
            break;
    }
    const std::string reason = std::strerror(errno);
    path.clear();
    return reason;
}

// Flushes the file's content to the disk, so that a full disk shows here and
// not after the name was given. Returns the reason on failure.
std::string syncFile(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::strerror(errno);
    const bool synced = ::fsync(descriptor) == 0;
    const int syncError = errno;
    ::close(descriptor);
    return synced ? std::string() : std::strerror(syncError);
}

void syncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// Gives the complete temporary file the name `target` unless a file has it:
// 0, EEXIST, or another errno. A folder that cannot link files renames
// without replacing instead.
int publish(const std::string& temporary, const std::string& target)
{
    if (::link(temporary.c_str(), target.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno;
}

class TemporaryGuard {
public:
    explicit TemporaryGuard(const std::string& path) : path_(path) {}
    ~TemporaryGuard()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    void Release() { path_.clear(); }

private:
    std::string path_;
};

[[noreturn]] void cannotWrite(const std::string& path, const std::string& reason)
{
    throw ExcelError("Cannot write the workbook \"" + path + "\": " + reason);
}

} // namespace

std::string WriteNewNumberedFile(const std::string& folder, const std::string& stem, const std::string& extension,
                                 const std::function<void(const std::string& path)>& fill)
{
    int number = firstFreeNumber(folder, stem, extension);
    std::string target = numberedPath(folder, stem, number, extension);
    std::string temporary;
    if (std::string reason = createTemporary(target, temporary); !reason.empty())
        cannotWrite(target, reason);
    TemporaryGuard guard(temporary);
    try {
        fill(temporary);
    } catch (const ExcelError& error) {
        cannotWrite(target, error.what());
    }
    if (std::string reason = syncFile(temporary); !reason.empty())
        cannotWrite(target, reason);
    for (;;) {
        const int result = publish(temporary, target);
        if (result == 0)
            break;
        if (result != EEXIST)
            cannotWrite(target, std::strerror(result));
        target = numberedPath(folder, stem, ++number, extension);
    }
    guard.Release();
    syncFolder(folder);
    return target;
}

} // namespace excel
