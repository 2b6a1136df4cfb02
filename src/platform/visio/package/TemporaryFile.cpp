#include "platform/visio/package/TemporaryFile.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/FileIdentity.h"

namespace visio::pkg {
namespace {

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomSuffix() {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    static std::mt19937_64 generator{std::random_device{}()};
    std::string suffix;
    for (int i = 0; i < 8; ++i)
        suffix += digits[generator() % (sizeof digits - 1)];
    return suffix;
}

// A file that is synced and then renamed is only durable once its folder entry is.
void syncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

} // namespace

TemporaryFile::TemporaryFile(const std::string& target) : target_(target) {
    std::string prefix = folderOf(target) + "/." + baseNameOf(target) + ".saving-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = prefix + randomSuffix();
        // 0666 so that the umask gives a new file the permissions of any new file.
        FileDescriptor fd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno == EEXIST)
            continue;
        if (fd.get() < 0)
            break;
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            mode_ = st.st_mode & 07777;
        else if (::fstat(fd.get(), &st) == 0)
            mode_ = st.st_mode & 07777;
        return;
    }
    int error = errno;
    path_.clear();
    throw VisioError(target + ": cannot create a temporary file beside it: " + systemError(error));
}

TemporaryFile::~TemporaryFile() {
    if (!committed_ && !path_.empty())
        ::unlink(path_.c_str());
}

void TemporaryFile::commit() {
    FileDescriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw VisioError(target_ + ": cannot reopen the temporary file: " + systemError(errno));
    if (mode_ != 0 && ::fchmod(fd.get(), static_cast<mode_t>(mode_)) != 0)
        throw VisioError(target_ + ": cannot set the file's permissions: " + systemError(errno));
    if (::fsync(fd.get()) != 0)
        throw VisioError(target_ + ": cannot flush the file to disk: " + systemError(errno));
    if (!fd.close())
        throw VisioError(target_ + ": cannot close the temporary file: " + systemError(errno));
    if (::rename(path_.c_str(), target_.c_str()) != 0)
        throw VisioError(target_ + ": cannot replace the file: " + systemError(errno));
    committed_ = true;
    syncFolder(folderOf(target_));
}

} // namespace visio::pkg
