#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/visio/package/FileIdentity.h"
#include "platform/visio/package/Package.h"

struct zip;

namespace visio::pkg {

// libzip's text for one of its error codes.
std::string libzipMessage(int code);

// One file entry of the archive (directory entries are not parts and are left out).
struct ArchiveEntry {
    std::string name;          // as stored: "visio/document.xml"
    std::uint64_t index = 0;   // position in the ZIP directory
    std::uint64_t size = 0;    // declared unpacked size
    std::uint64_t packedSize = 0;
};

// A ZIP package opened read-only and checked before anything is unpacked: safe
// and unique entry names, sizes and ratios within the limits, methods libzip
// can unpack. It stays open, so a part is unpacked only when it is read.
class SourceArchive {
public:
    // Opens and checks `path`; VisioError naming the file and the problem.
    static std::unique_ptr<SourceArchive> open(const std::string& path, const PackageLimits& limits);
    ~SourceArchive();
    SourceArchive(const SourceArchive&) = delete;
    SourceArchive& operator=(const SourceArchive&) = delete;

    const std::string& path() const { return path_; }
    const std::vector<ArchiveEntry>& entries() const { return entries_; }
    // The file as it was when opened.
    const FileIdentity& identity() const { return identity_; }
    // The open file itself, for copying it (never moved: reads use pread).
    int fd() const { return fd_.get(); }

    // The unpacked bytes of `entry`, read with a bounded buffer; VisioError when
    // the data are short, longer than declared or fail the CRC check.
    std::string read(const ArchiveEntry& entry) const;

private:
    SourceArchive() = default;
    void checkEntries(const PackageLimits& limits);
    [[noreturn]] void fail(const std::string& problem) const;

    std::string path_;
    FileDescriptor fd_;
    FileIdentity identity_;
    zip* archive_ = nullptr;
    std::vector<ArchiveEntry> entries_;
};

} // namespace visio::pkg
