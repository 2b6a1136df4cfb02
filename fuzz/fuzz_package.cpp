// Opens arbitrary bytes as a drawing file, the way a user's file reaches the
// engine: the package is read, its XML parts parsed, the document's pages,
// masters and shapes walked, a change saved and the saved file opened again.
// A refusal must be a VisioError; anything else (a crash, another exception, a
// saved file that no longer opens, an XML part written back unreadable) aborts.
//
// Bytes of a ZIP entry are covered by its CRC, so mutating the file blindly
// hardly ever gets past the archive into the XML. The custom mutator therefore
// mostly unpacks the input, mutates one entry (its bytes or its name) and packs
// it again; the rest of the time it mutates the ZIP structure itself.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>
#include <zip.h>

#include "platform/visio/Visio.h"
#include "platform/visio/package/Package.h"
#include "platform/visio/package/XmlPart.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

// Walking stops here, so that a large valid drawing costs no more than a small one.
constexpr int kMaxVisited = 200;
constexpr std::size_t kMaxMutatedEntrySize = 1 << 20;
constexpr zip_int64_t kMaxMutatedEntries = 64;

[[noreturn]] void fault(const std::string& what)
{
    std::fprintf(stderr, "fuzz_package: %s\n", what.c_str());
    std::abort();
}

// One file per process, named like a drawing; rewritten for every input.
class InputFile {
public:
    InputFile()
    {
        char pattern[] = "/tmp/kalemar-fuzz-XXXXXX.vsdx";
        const int fd = ::mkstemps(pattern, 5);
        if (fd < 0)
            fault("cannot create a temporary file");
        ::close(fd);
        path_ = pattern;
    }
    ~InputFile() { std::remove(path_.c_str()); }

    const std::string& write(const std::uint8_t* data, std::size_t size) const
    {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0)
            fault("cannot write " + path_);
        return path_;
    }

private:
    std::string path_;
};

const std::string& inputPath(const std::uint8_t* data, std::size_t size)
{
    static const InputFile file;
    return file.write(data, size);
}

// Every step may be refused on its own; a refusal is no reason to stop walking.
template <typename Step>
void attempt(Step step)
{
    try {
        step();
    } catch (const visio::VisioError&) {
    }
}

bool endsWith(const std::string& text, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// A part written back must read again, and read as what was written.
void checkXmlRoundTrip(const std::string& bytes, const std::string& where)
{
    std::string written;
    try {
        written = visio::XmlPart::parse(bytes, where)->serialize();
    } catch (const visio::VisioError&) {
        return;
    }
    std::string again;
    try {
        again = visio::XmlPart::parse(written, where)->serialize();
    } catch (const visio::VisioError& error) {
        fault("a part written back does not read again: " + std::string(error.what()));
    }
    if (again != written)
        fault(where + " is written differently the second time");
}

void readEveryPart(const std::string& path)
{
    std::unique_ptr<visio::Package> package;
    attempt([&] { package = visio::Package::open(path); });
    if (!package)
        return;
    for (const std::string& name : package->partNames()) {
        attempt([&] {
            const std::string bytes = package->read(name);
            if (endsWith(name, ".xml") || endsWith(name, ".rels"))
                checkXmlRoundTrip(bytes, name);
        });
        attempt([&] { (void)visio::contentTypeOf(*package, name); });
        attempt([&] { (void)visio::readRelationships(*package, name); });
    }
}

void visitShapes(const visio::Shapes& shapes, int& visited)
{
    int count = 0;
    attempt([&] { count = shapes.Count(); });
    for (int i = 1; i <= count && visited < kMaxVisited; ++i, ++visited) {
        visio::Shape shape;
        attempt([&] { shape = shapes.Item(i); });
        if (!shape)
            continue;
        attempt([&] { (void)shape.Name(); });
        attempt([&] { (void)shape.ID(); });
        attempt([&] { (void)shape.Text(); });
        attempt([&] { (void)shape.GetMaster().NameU(); });
        for (const char* name : {"PinX", "Width", "BeginX", "Prop.Name", "User.Kind"})
            attempt([&] {
                const visio::Cell cell = shape.Cells(name);
                (void)cell.FormulaU();
                (void)cell.ResultStr();
                (void)cell.ResultIU();
            });
        attempt([&] { (void)shape.CellsSRC(visio::visSectionProp, 0, 0).FormulaU(); });
        attempt([&] { visitShapes(shape.GetShapes(), visited); });
    }
}

void visitDocument(const visio::Document& document)
{
    int visited = 0;
    const visio::Pages pages = document.GetPages();
    for (int i = 1; i <= pages.Count() && visited < kMaxVisited; ++i)
        attempt([&] {
            const visio::Page page = pages.Item(i);
            (void)page.Name();
            (void)page.Connects();
            visitShapes(page.GetShapes(), visited);
        });
    const visio::Masters masters = document.GetMasters();
    for (int i = 1; i <= masters.Count() && visited < kMaxVisited; ++i)
        attempt([&] {
            const visio::Master master = masters.Item(i);
            (void)master.NameU();
            visitShapes(master.GetShapes(), visited);
        });
}

visio::SessionOptions sessionOn(const std::string& path)
{
    visio::SessionOptions options;
    options.drawingPath = path;
    // No bundled stencils: each input is opened alone.
    options.stencilFolders = {"/nonexistent"};
    return options;
}

// A drawing that opened, changed and saved must open again.
void openChangeSaveReopen(const std::string& path)
{
    bool saved = false;
    try {
        visio::Application application(sessionOn(path));
        visitDocument(application.ActiveDocument());
        attempt([&] { application.ActivePage().SetName("Fuzzed"); });
        saved = !application.SaveChangedDocuments().empty();
    } catch (const visio::VisioError&) {
        return;
    }
    if (!saved)
        return;
    try {
        visio::Application reopened(sessionOn(path));
        visitDocument(reopened.ActiveDocument());
    } catch (const visio::VisioError& error) {
        fault("a saved drawing does not open again: " + std::string(error.what()));
    }
}

// ---- the mutator ----

struct Entry {
    std::string name;
    std::string bytes;
};

std::optional<std::vector<Entry>> unpack(const std::uint8_t* data, std::size_t size)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    zip_error_fini(&error);
    if (!source)
        return std::nullopt;
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
    if (!archive) {
        zip_source_free(source);
        return std::nullopt;
    }
    std::vector<Entry> entries;
    bool readable = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; readable && i < count && i < kMaxMutatedEntries; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        readable = zip_stat_index(archive, index, 0, &st) == 0 && st.size <= kMaxMutatedEntrySize;
        zip_file_t* file = readable ? zip_fopen_index(archive, index, 0) : nullptr;
        if (!file) {
            readable = false;
            break;
        }
        Entry entry{st.name, std::string(st.size, '\0')};
        readable = zip_fread(file, entry.bytes.data(), st.size) == static_cast<zip_int64_t>(st.size);
        zip_fclose(file);
        entries.push_back(std::move(entry));
    }
    zip_discard(archive);
    if (!readable)
        return std::nullopt;
    return entries;
}

std::string pack(const std::vector<Entry>& entries, bool deflate)
{
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    if (!target)
        return {};
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, nullptr);
    if (!archive) {
        zip_source_free(target);
        return {};
    }
    zip_source_keep(target);
    for (const Entry& entry : entries) {
        zip_source_t* bytes = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
        const zip_int64_t index = bytes ? zip_file_add(archive, entry.name.c_str(), bytes, ZIP_FL_ENC_RAW) : -1;
        if (index < 0) {
            zip_source_free(bytes);
            continue;
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    std::string packed;
    zip_stat_t st;
    // A failed close leaves the archive open; a closed one is gone either way.
    if (zip_close(archive) != 0) {
        zip_discard(archive);
    } else if (zip_source_open(target) == 0) {
        if (zip_source_stat(target, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
            packed.resize(st.size);
            if (zip_source_read(target, packed.data(), st.size) != static_cast<zip_int64_t>(st.size))
                packed.clear();
        }
        zip_source_close(target);
    }
    zip_source_free(target);
    return packed;
}

void mutateBytes(std::string& bytes)
{
    const std::size_t size = bytes.size();
    bytes.resize(size * 2 + 64);
    bytes.resize(LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(bytes.data()), size, bytes.size()));
}

void mutateEntries(std::vector<Entry>& entries, std::minstd_rand& random)
{
    Entry& entry = entries[random() % entries.size()];
    switch (random() % 8) {
    case 0: mutateBytes(entry.name); break;
    case 1: entries.push_back(entry); break;
    case 2: entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(random() % entries.size())); break;
    default: mutateBytes(entry.bytes); break;
    }
}

} // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    std::minstd_rand random(seed);
    if (random() % 4 != 0) {
        if (std::optional<std::vector<Entry>> entries = unpack(data, size); entries && !entries->empty()) {
            mutateEntries(*entries, random);
            const std::string packed = pack(*entries, random() % 2 == 0);
            if (!packed.empty() && packed.size() <= maxSize) {
                std::memcpy(data, packed.data(), packed.size());
                return packed.size();
            }
        }
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = inputPath(data, size);
    readEveryPart(path);
    openChangeSaveReopen(path);
    return 0;
}
