#include "platform/visio/package/SourceArchive.h"

#include <algorithm>

#include <cerrno>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/PartName.h"
#include "platform/visio/package/ZipDirectoryScan.h"

namespace visio::pkg {
namespace {

// Below this size an entry cannot exhaust memory, whatever its ratio: deflate
// packs a run of one byte about 1000:1, which is legal, if odd, in a small part.
constexpr std::uint64_t kRatioCheckFloor = 1ull << 20;

bool startsLikeZip(int fd) {
    char magic[4] = {};
    return ::pread(fd, magic, sizeof magic, 0) == 4 && magic[0] == 'P' && magic[1] == 'K';
}

std::string openProblem(int code, bool looksLikeZip) {
    if (code == ZIP_ER_NOZIP)
        return looksLikeZip ? "is a truncated or damaged ZIP package (its directory is missing)"
                            : "is not a ZIP package";
    if (code == ZIP_ER_INCONS)
        return "is a damaged ZIP package (" + libzipMessage(code) + ")";
    return "cannot be opened as a ZIP package (" + libzipMessage(code) + ")";
}

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

std::string libzipMessage(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string message = zip_error_strerror(&error);
    zip_error_fini(&error);
    return message;
}

std::unique_ptr<SourceArchive> SourceArchive::open(const std::string& path,
                                                   const PackageLimits& limits) {
    std::unique_ptr<SourceArchive> source(new SourceArchive);
    source->path_ = path;
    source->fd_ = FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (source->fd_.get() < 0)
        throw VisioError(path + ": cannot open: " + systemError(errno));
    struct stat st {};
    if (::fstat(source->fd_.get(), &st) != 0 || !S_ISREG(st.st_mode))
        source->fail("is not a regular file");
    if (st.st_size == 0)
        source->fail("is empty");
    source->identity_ = identifyFile(source->fd_.get(), path);
    if (auto name = findEntryNameWithNul(source->fd_.get(), source->identity_.size))
        source->fail("entry '" + *name + "' has an unsafe name: it contains a NUL character");

    int libzipFd = ::fcntl(source->fd_.get(), F_DUPFD_CLOEXEC, 0);
    if (libzipFd < 0)
        source->fail("cannot be opened: " + systemError(errno));
    int code = 0;
    source->archive_ = zip_fdopen(libzipFd, 0, &code);
    if (!source->archive_) {
        ::close(libzipFd);
        source->fail(openProblem(code, startsLikeZip(source->fd_.get())));
    }
    source->checkEntries(limits);
    return source;
}

SourceArchive::~SourceArchive() {
    if (archive_)
        zip_discard(archive_);
}

void SourceArchive::fail(const std::string& problem) const { throw VisioError(path_ + ": " + problem); }

void SourceArchive::checkEntries(const PackageLimits& limits) {
    zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > limits.maxEntries)
        fail("has " + std::to_string(count) + " entries, more than the limit of " +
             std::to_string(limits.maxEntries));
    std::unordered_set<std::string> seen;
    std::uint64_t total = 0;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, index, ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
            fail("entry " + std::to_string(index) + " cannot be read: " + zip_strerror(archive_));
        std::string name = st.name;
        std::string entry = "entry '" + name + "'";
        bool directory = !name.empty() && name.back() == '/';
        std::string plainName = directory ? name.substr(0, name.size() - 1) : name;
        if (auto reason = unsafeEntryNameReason(plainName))
            fail(entry + " has an unsafe name: " + *reason);
        if (!seen.insert(foldedName(name)).second)
            fail("holds " + entry + " twice");
        if (directory)
            continue;
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            fail(entry + " is encrypted");
        if ((st.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(st.comp_method, 0))
            fail(entry + " uses an unsupported compression method (" + std::to_string(st.comp_method) + ")");
        if (st.size > limits.maxEntrySize)
            fail(entry + " declares " + std::to_string(st.size) + " bytes unpacked, more than the limit of " +
                 std::to_string(limits.maxEntrySize));
        if (st.size > kRatioCheckFloor &&
            (st.comp_size == 0 || st.size / st.comp_size > limits.maxCompressionRatio))
            fail(entry + " declares " + std::to_string(st.size) + " bytes unpacked from " +
                 std::to_string(st.comp_size) + " packed, a ratio over " +
                 std::to_string(limits.maxCompressionRatio));
        total += st.size;
        if (total > limits.maxTotalSize)
            fail("declares more than " + std::to_string(limits.maxTotalSize) + " bytes unpacked in all");
        entries_.push_back(ArchiveEntry{name, index, st.size, st.comp_size});
    }
}

std::string SourceArchive::read(const ArchiveEntry& entry) const {
    std::string part = "part /" + entry.name;
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive_, entry.index, 0));
    if (!file)
        fail(part + " cannot be unpacked: " + zip_strerror(archive_));
    // The buffer grows with the data that actually arrive: a small hostile file
    // may declare a huge size that its packed data never deliver. Room for the
    // declared size is taken at once when the packed data plausibly unpack to
    // it (XML deflates some 10 to 30 times), so a part is not copied as it
    // grows and takes no more memory than its size.
    constexpr std::uint64_t kChunk = 1u << 20;
    constexpr std::uint64_t kPlausibleRatio = 64;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(std::min(entry.size, std::max(kChunk, entry.packedSize * kPlausibleRatio))));
    std::uint64_t done = 0;
    while (done < entry.size) {
        std::uint64_t want = std::min(kChunk, entry.size - done);
        bytes.resize(done + want);
        zip_int64_t n = zip_fread(file.get(), bytes.data() + done, want);
        if (n < 0)
            fail(part + " is corrupt: " + zip_file_strerror(file.get()));
        if (n == 0)
            fail(part + " is corrupt: its data end before its declared size");
        done += static_cast<std::uint64_t>(n);
        bytes.resize(done);
    }
    // The CRC is checked when the end of the data is read; a byte more means
    // the entry unpacks to more than it declares.
    char extra;
    zip_int64_t n = zip_fread(file.get(), &extra, 1);
    if (n < 0)
        fail(part + " is corrupt: " + zip_file_strerror(file.get()));
    if (n > 0)
        fail(part + " is corrupt: it unpacks to more than its declared size");
    if (bytes.capacity() > bytes.size() + bytes.size() / 16)
        bytes.shrink_to_fit();
    return bytes;
}

} // namespace visio::pkg
