#include "platform/visio/package/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/visio/VisioError.h"

namespace visio::pkg {
namespace {

constexpr std::size_t kChunkSize = 1 << 20;

std::int64_t mtimeNanoseconds(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

FileIdentity fromStat(const struct stat& st) {
    FileIdentity identity;
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.mtimeNs = mtimeNanoseconds(st);
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    return identity;
}

// pread that retries on EINTR; returns -1 with errno on failure.
ssize_t readAt(int fd, char* buffer, std::size_t size, off_t offset) {
    for (;;) {
        ssize_t n = ::pread(fd, buffer, size, offset);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

void writeAll(int fd, const char* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw VisioError(path + ": cannot write: " + systemError(n < 0 ? errno : EIO));
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

void ContentHash::mix(std::uint64_t word) {
    state_ ^= word;
    state_ *= 0x9e3779b97f4a7c15ull;
    state_ ^= state_ >> 29;
}

void ContentHash::add(const char* data, std::size_t size) {
    length_ += size;
    while (size > 0 && pendingSize_ > 0 && pendingSize_ < 8) {
        pending_[pendingSize_++] = static_cast<unsigned char>(*data++);
        --size;
        if (pendingSize_ == 8) {
            std::uint64_t word;
            std::memcpy(&word, pending_, 8);
            mix(word);
            pendingSize_ = 0;
        }
    }
    for (; size >= 8; data += 8, size -= 8) {
        std::uint64_t word;
        std::memcpy(&word, data, 8);
        mix(word);
    }
    for (; size > 0; --size)
        pending_[pendingSize_++] = static_cast<unsigned char>(*data++);
}

std::uint64_t ContentHash::value() const {
    ContentHash last = *this;
    std::uint64_t tail = 0;
    std::memcpy(&tail, pending_, pendingSize_);
    last.mix(tail);
    last.mix(length_);
    return last.state_;
}

bool FileIdentity::sameStat(const FileIdentity& other) const {
    return size == other.size && mtimeNs == other.mtimeNs && device == other.device &&
           inode == other.inode;
}

FileIdentity identifyFile(int fd, const std::string& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw VisioError(path + ": cannot read the file's status: " + systemError(errno));
    FileIdentity identity = fromStat(st);
    std::vector<char> buffer(kChunkSize);
    ContentHash hash;
    for (off_t offset = 0;;) {
        ssize_t n = readAt(fd, buffer.data(), buffer.size(), offset);
        if (n < 0)
            throw VisioError(path + ": cannot read: " + systemError(errno));
        if (n == 0)
            break;
        hash.add(buffer.data(), static_cast<std::size_t>(n));
        offset += n;
    }
    identity.contentHash = hash.value();
    return identity;
}

bool statIdentity(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    identity = fromStat(st);
    return true;
}

std::uint64_t copyFileContent(int fromFd, const std::string& fromPath, int toFd,
                              const std::string& toPath) {
    std::vector<char> buffer(kChunkSize);
    ContentHash hash;
    for (off_t offset = 0;;) {
        ssize_t n = readAt(fromFd, buffer.data(), buffer.size(), offset);
        if (n < 0)
            throw VisioError(fromPath + ": cannot read: " + systemError(errno));
        if (n == 0)
            break;
        hash.add(buffer.data(), static_cast<std::size_t>(n));
        writeAll(toFd, buffer.data(), static_cast<std::size_t>(n), toPath);
        offset += n;
    }
    return hash.value();
}

FileDescriptor::~FileDescriptor() { close(); }

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

int FileDescriptor::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

bool FileDescriptor::close() {
    if (fd_ < 0)
        return true;
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
}

std::string systemError(int error) { return std::strerror(error); }

} // namespace visio::pkg
