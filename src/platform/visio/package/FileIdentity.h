#pragma once

#include <cstdint>
#include <string>

#include <sys/types.h>

namespace visio::pkg {

// A streaming 64-bit hash of file content: not cryptographic, only there to
// notice that a file was rewritten behind our back.
class ContentHash {
public:
    void add(const char* data, std::size_t size);
    std::uint64_t value() const;

private:
    std::uint64_t state_ = 0x6a09e667f3bcc908ull;
    std::uint64_t length_ = 0;
    unsigned char pending_[8] = {};
    std::size_t pendingSize_ = 0;
    void mix(std::uint64_t word);
};

// What identifies one version of a file on disk.
struct FileIdentity {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    dev_t device = 0;
    ino_t inode = 0;
    std::uint64_t contentHash = 0;

    // Size, modification time and file number agree (the content is not compared).
    bool sameStat(const FileIdentity& other) const;
};

// The identity of the open file `fd`, its content hashed; `path` names it in
// errors (VisioError).
FileIdentity identifyFile(int fd, const std::string& path);
// Only the stat part of the identity of `path`; false when it cannot be stat'ed.
bool statIdentity(const std::string& path, FileIdentity& identity);

// Copies the whole file `fromFd` to `toFd` and returns the hash of what was
// copied; VisioError naming `fromPath` or `toPath` on a read or write failure.
std::uint64_t copyFileContent(int fromFd, const std::string& fromPath, int toFd,
                              const std::string& toPath);

// An owned file descriptor, closed on destruction.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;

    int get() const { return fd_; }
    int release();
    // Closes now; false (errno set) when close reports an error.
    bool close();

private:
    int fd_;
};

// "text of errno" for messages.
std::string systemError(int error);

} // namespace visio::pkg
