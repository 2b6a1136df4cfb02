#include "platform/visio/package/ZipDirectoryScan.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <unistd.h>

namespace visio::pkg {
namespace {

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kZip64Locator = 0x07064b50;
constexpr std::uint32_t kZip64EndOfDirectory = 0x06064b50;
constexpr std::uint32_t kDirectoryHeader = 0x02014b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxCommentSize = 0xffff;
constexpr std::uint64_t kMaxDirectorySize = 256ull << 20;

std::uint64_t little(const unsigned char* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

bool readExactly(int fd, std::vector<unsigned char>& buffer, std::uint64_t offset,
                 std::uint64_t size) {
    buffer.resize(size);
    std::uint64_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, buffer.data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::uint64_t>(n);
    }
    return true;
}

struct DirectoryLocation {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// The zip64 end record holds the real offset when the classic one says 0xffffffff.
std::optional<DirectoryLocation> zip64Location(int fd, std::uint64_t endRecordOffset) {
    std::vector<unsigned char> locator;
    if (endRecordOffset < 20 || !readExactly(fd, locator, endRecordOffset - 20, 20) ||
        little(locator.data(), 4) != kZip64Locator)
        return std::nullopt;
    std::vector<unsigned char> record;
    if (!readExactly(fd, record, little(locator.data() + 8, 8), 56) ||
        little(record.data(), 4) != kZip64EndOfDirectory)
        return std::nullopt;
    return DirectoryLocation{little(record.data() + 48, 8), little(record.data() + 40, 8)};
}

std::optional<DirectoryLocation> locateDirectory(int fd, std::uint64_t fileSize) {
    if (fileSize < kEndRecordSize)
        return std::nullopt;
    std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndRecordSize + kMaxCommentSize);
    std::vector<unsigned char> tail;
    if (!readExactly(fd, tail, fileSize - tailSize, tailSize))
        return std::nullopt;
    for (std::size_t pos = tail.size() - kEndRecordSize + 1; pos-- > 0;) {
        if (little(&tail[pos], 4) != kEndOfDirectory)
            continue;
        std::uint64_t size = little(&tail[pos + 12], 4);
        std::uint64_t offset = little(&tail[pos + 16], 4);
        if (offset == 0xffffffff || size == 0xffffffff)
            return zip64Location(fd, fileSize - tailSize + pos);
        return DirectoryLocation{offset, size};
    }
    return std::nullopt;
}

std::string shownName(const unsigned char* name, std::size_t size) {
    std::string shown;
    for (std::size_t i = 0; i < size; ++i) {
        if (name[i] == 0)
            shown += "\\0";
        else
            shown += static_cast<char>(name[i]);
    }
    return shown;
}

} // namespace

std::optional<std::string> findEntryNameWithNul(int fd, std::uint64_t fileSize) {
    std::optional<DirectoryLocation> where = locateDirectory(fd, fileSize);
    if (!where || where->size > kMaxDirectorySize || where->offset > fileSize ||
        where->size > fileSize - where->offset)
        return std::nullopt;
    std::vector<unsigned char> directory;
    if (!readExactly(fd, directory, where->offset, where->size))
        return std::nullopt;
    for (std::size_t pos = 0; pos + 46 <= directory.size();) {
        const unsigned char* header = &directory[pos];
        if (little(header, 4) != kDirectoryHeader)
            return std::nullopt;
        std::size_t nameSize = little(header + 28, 2);
        std::size_t recordSize = 46 + nameSize + little(header + 30, 2) + little(header + 32, 2);
        if (pos + recordSize > directory.size())
            return std::nullopt;
        for (std::size_t i = 0; i < nameSize; ++i)
            if (header[46 + i] == 0)
                return shownName(header + 46, nameSize);
        pos += recordSize;
    }
    return std::nullopt;
}

} // namespace visio::pkg
