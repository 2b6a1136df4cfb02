#include "platform/visio/package/ArchiveWriter.h"

#include <cerrno>
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

    zip_uint64_t store(const PartEntry& part) {
        zip_source_t* data = zip_source_buffer(archive_, part.bytes.data(), part.bytes.size(), 0);
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
