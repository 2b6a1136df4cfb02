#include "platform/visio/package/ArchiveWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/SourceArchive.h"

namespace visio::pkg {
namespace {

// Visio dates every entry 1980-01-01 00:00, the first day a ZIP entry can
// carry; written entries get the same date, so equal content packs equally.
std::time_t zipEpoch() {
    std::tm day{};
    day.tm_year = 80;
    day.tm_mon = 0;
    day.tm_mday = 1;
    day.tm_isdst = -1;
    return std::mktime(&day);
}

FileDescriptor openForWriting(const std::string& path, const std::string& label) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.get() < 0)
        throw VisioError(label + ": cannot write the temporary file: " + systemError(errno));
    return fd;
}

void closeWritten(FileDescriptor& fd, const std::string& label) {
    if (!fd.close())
        throw VisioError(label + ": cannot write: " + systemError(errno));
}

void copySource(const SourceArchive& source, const std::string& path, const std::string& label) {
    FileDescriptor out = openForWriting(path, label);
    std::uint64_t hash = copyFileContent(source.fd(), source.path(), out.get(), label);
    closeWritten(out, label);
    if (hash != source.identity().contentHash)
        throw VisioError(source.path() + ": the file changed on disk since it was opened; not saved");
}

// libzip removes an archive left with no entries instead of writing it.
void writeEmptyArchive(const std::string& path, const std::string& label) {
    static const char endOfDirectory[22] = {'P', 'K', 5, 6};
    FileDescriptor out = openForWriting(path, label);
    if (::write(out.get(), endOfDirectory, sizeof endOfDirectory) != sizeof endOfDirectory)
        throw VisioError(label + ": cannot write: " + systemError(errno));
    closeWritten(out, label);
}

bool hasLiveParts(const std::vector<PartEntry>& parts) {
    for (const PartEntry& part : parts)
        if (part.state != PartState::Removed)
            return true;
    return false;
}

// A part whose bytes are made when libzip packs it and dropped when it is
// done with them. libzip asks for the size first (a known size keeps the
// entry's header small) and once more after packing.
class LazyPart {
public:
    explicit LazyPart(const PartEntry& part) : part_(part) { zip_error_init(&error_); }
    ~LazyPart() { zip_error_fini(&error_); }
    LazyPart(const LazyPart&) = delete;
    LazyPart& operator=(const LazyPart&) = delete;

    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
        return static_cast<LazyPart*>(self)->handle(data, length, command);
    }

private:
    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
        switch (command) {
        case ZIP_SOURCE_STAT: {
            if (!made_ && !make())
                return -1;
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = size_;
            st->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
            if ((!made_ || bytes_.size() != size_) && !make())
                return -1;
            offset_ = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), bytes_.size() - offset_);
            std::memcpy(data, bytes_.data() + offset_, n);
            offset_ += n;
            return static_cast<zip_int64_t>(n);
        }
        case ZIP_SOURCE_CLOSE:
            std::string().swap(bytes_);
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error_, data, length);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_STAT, ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    // No exception may cross libzip: a part that cannot be made fails the save.
    bool make() {
        try {
            bytes_ = part_.produce();
        } catch (...) {
            zip_error_set(&error_, ZIP_ER_MEMORY, 0);
            return false;
        }
        size_ = bytes_.size();
        made_ = true;
        return true;
    }

    const PartEntry& part_;
    std::string bytes_;
    std::size_t size_ = 0;
    std::size_t offset_ = 0;
    bool made_ = false;
    zip_error_t error_;
};

class ArchiveEditor {
public:
    ArchiveEditor(const std::string& path, const std::string& label, bool create) : label_(label) {
        int code = 0;
        archive_ = zip_open(path.c_str(), create ? ZIP_CREATE | ZIP_TRUNCATE : 0, &code);
        if (!archive_)
            throw VisioError(label + ": cannot write the package: " + libzipMessage(code));
    }
    ~ArchiveEditor() {
        if (archive_)
            zip_discard(archive_);
    }
    ArchiveEditor(const ArchiveEditor&) = delete;
    ArchiveEditor& operator=(const ArchiveEditor&) = delete;

    void apply(const PartEntry& part) {
        if (part.state == PartState::Removed && part.stored) {
            check(zip_delete(archive_, part.stored->index), part);
        } else if (part.state == PartState::Written) {
            zip_uint64_t index = store(part);
            // Visio packs its parts with deflate's fastest level; so do we, and
            // our parts pack as small as Visio's own. libzip keeps a level only
            // when the method differs from the entry's old one (else it packs
            // at its default, the slowest level): a part that was deflated
            // gets the "default" method, which is deflate too.
            check(zip_set_file_compression(archive_, index, methodFor(part), FastestDeflate), part);
            check(zip_file_set_mtime(archive_, index, zipEpoch(), 0), part);
        }
    }

    void close() {
        if (zip_close(archive_) != 0)
            throw VisioError(label_ + ": cannot write the package: " + zip_strerror(archive_));
        archive_ = nullptr;
    }

private:
    static constexpr zip_uint32_t FastestDeflate = 1;

    zip_int32_t methodFor(const PartEntry& part) {
        zip_stat_t old;
        zip_stat_init(&old);
        const bool deflated = part.stored && zip_stat_index(archive_, part.stored->index, ZIP_FL_UNCHANGED, &old) == 0 &&
                              (old.valid & ZIP_STAT_COMP_METHOD) && old.comp_method == ZIP_CM_DEFLATE;
        return deflated ? ZIP_CM_DEFAULT : ZIP_CM_DEFLATE;
    }

    zip_source_t* sourceOf(const PartEntry& part) {
        if (!part.produce)
            return zip_source_buffer(archive_, part.bytes.data(), part.bytes.size(), 0);
        lazyParts_.push_back(std::make_unique<LazyPart>(part));
        return zip_source_function(archive_, &LazyPart::callback, lazyParts_.back().get());
    }

    zip_uint64_t store(const PartEntry& part) {
        zip_source_t* data = sourceOf(part);
        if (!data)
            check(-1, part);
        if (part.stored) {
            if (zip_file_replace(archive_, part.stored->index, data, 0) != 0) {
                zip_source_free(data);
                check(-1, part);
            }
            return part.stored->index;
        }
        zip_int64_t index = zip_file_add(archive_, part.name.c_str() + 1, data, 0);
        if (index < 0) {
            zip_source_free(data);
            check(-1, part);
        }
        return static_cast<zip_uint64_t>(index);
    }

    void check(int result, const PartEntry& part) {
        if (result != 0)
            throw VisioError(label_ + ": cannot store part " + part.name + ": " + zip_strerror(archive_));
    }

    std::string label_;
    // Declared before the archive handle's use ends: libzip reads them until
    // zip_close or zip_discard, both of which run before they are destroyed.
    std::vector<std::unique_ptr<LazyPart>> lazyParts_;
    zip_t* archive_ = nullptr;
};

} // namespace

void writeArchive(const std::string& path, const std::string& label, const SourceArchive* source,
                  const std::vector<PartEntry>& parts) {
    if (!hasLiveParts(parts)) {
        writeEmptyArchive(path, label);
        return;
    }
    if (source)
        copySource(*source, path, label);
    ArchiveEditor editor(path, label, source == nullptr);
    for (const PartEntry& part : parts)
        editor.apply(part);
    editor.close();
}

} // namespace visio::pkg
