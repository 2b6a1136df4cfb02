#include "platform/visio/package/Package.h"

#include <filesystem>
#include <unordered_map>
#include <utility>

#include <sys/stat.h>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/ArchiveWriter.h"
#include "platform/visio/package/PartName.h"
#include "platform/visio/package/SourceArchive.h"
#include "platform/visio/package/TemporaryFile.h"

namespace visio {

using pkg::PartEntry;
using pkg::PartState;

struct Package::Impl {
    std::string path;
    PackageLimits limits;
    std::unique_ptr<pkg::SourceArchive> source;
    std::vector<PartEntry> parts;
    std::unordered_map<std::string, std::size_t> byName;   // folded name -> index in parts
    std::uint64_t revision = 0;                              // counts writes and removals

    void load(std::unique_ptr<pkg::SourceArchive> archive);
    const PartEntry* find(const std::string& partName) const;
    PartEntry* find(const std::string& partName);
    std::string label() const { return path.empty() ? std::string("new package") : path; }
    bool isSourceFile(const std::string& target) const;
    void checkSourceUnchanged(bool replacingIt) const;
};

void Package::Impl::load(std::unique_ptr<pkg::SourceArchive> archive) {
    std::vector<PartEntry> loaded;
    std::unordered_map<std::string, std::size_t> index;
    for (const pkg::ArchiveEntry& entry : archive->entries()) {
        index.emplace(pkg::foldedName("/" + entry.name), loaded.size());
        loaded.push_back(PartEntry{"/" + entry.name, entry, PartState::Original, {}, nullptr});
    }
    source = std::move(archive);
    parts = std::move(loaded);
    byName = std::move(index);
}

const PartEntry* Package::Impl::find(const std::string& partName) const {
    auto it = byName.find(pkg::foldedName(partName));
    return it == byName.end() ? nullptr : &parts[it->second];
}

PartEntry* Package::Impl::find(const std::string& partName) {
    return const_cast<PartEntry*>(std::as_const(*this).find(partName));
}

// The same file under another spelling, or the same file under its old name
// after it was replaced, both count as the source.
bool Package::Impl::isSourceFile(const std::string& target) const {
    if (!source)
        return false;
    std::error_code error;
    auto canonicalTarget = std::filesystem::weakly_canonical(target, error);
    auto canonicalSource = std::filesystem::weakly_canonical(source->path(), error);
    if (!error && canonicalTarget == canonicalSource)
        return true;
    pkg::FileIdentity onDisk;
    return pkg::statIdentity(target, onDisk) && onDisk.device == source->identity().device &&
           onDisk.inode == source->identity().inode;
}

// The parts that were not written are copied from the open file, so that file
// must still hold what it held; and a save over it must not overwrite a
// version somebody else wrote in between.
void Package::Impl::checkSourceUnchanged(bool replacingIt) const {
    pkg::FileIdentity opened;
    struct stat st {};
    bool intact = ::fstat(source->fd(), &st) == 0 &&
                  static_cast<std::uint64_t>(st.st_size) == source->identity().size &&
                  st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec == source->identity().mtimeNs;
    if (intact && replacingIt)
        intact = pkg::statIdentity(source->path(), opened) && opened.sameStat(source->identity());
    if (!intact)
        throw VisioError(source->path() + ": the file changed on disk since it was opened; not saved");
}

Package::Package() : impl_(std::make_unique<Impl>()) {}
Package::~Package() = default;

std::unique_ptr<Package> Package::open(const std::string& path, const PackageLimits& limits) {
    std::unique_ptr<Package> package(new Package);
    package->impl_->path = path;
    package->impl_->limits = limits;
    package->impl_->load(pkg::SourceArchive::open(path, limits));
    return package;
}

std::unique_ptr<Package> Package::create() { return std::unique_ptr<Package>(new Package); }

const std::string& Package::sourcePath() const { return impl_->path; }

std::vector<std::string> Package::partNames() const {
    std::vector<std::string> names;
    for (const PartEntry& part : impl_->parts)
        if (part.state != PartState::Removed)
            names.push_back(part.name);
    return names;
}

bool Package::has(const std::string& partName) const {
    const PartEntry* part = impl_->find(partName);
    return part && part->state != PartState::Removed;
}

std::string Package::read(const std::string& partName) const {
    const PartEntry* part = impl_->find(partName);
    if (!part || part->state == PartState::Removed)
        throw VisioError(impl_->label() + ": there is no part " + partName);
    if (part->state == PartState::Written)
        return part->produce ? part->produce() : part->bytes;
    return impl_->source->read(*part->stored);
}

// A name that differs from a stored one only in case names the same part, so
// it replaces that part and keeps the stored spelling.
void Package::write(const std::string& partName, std::string bytes) {
    pkg::entryNameOf(partName);
    ++impl_->revision;
    if (PartEntry* part = impl_->find(partName)) {
        part->state = PartState::Written;
        part->bytes = std::move(bytes);
        part->produce = nullptr;
        return;
    }
    impl_->byName.emplace(pkg::foldedName(partName), impl_->parts.size());
    impl_->parts.push_back(PartEntry{partName, std::nullopt, PartState::Written, std::move(bytes), nullptr});
}

void Package::writeLater(const std::string& partName, std::function<std::string()> produce) {
    write(partName, std::string());
    impl_->find(partName)->produce = std::move(produce);
}

// Removing a part that is not there leaves the package as it is.
void Package::remove(const std::string& partName) {
    if (PartEntry* part = impl_->find(partName)) {
        ++impl_->revision;
        part->state = PartState::Removed;
        part->bytes = std::string();
        part->produce = nullptr;
    }
}

bool Package::isChanged(const std::string& partName) const {
    const PartEntry* part = impl_->find(partName);
    return part && part->state != PartState::Original;
}

std::uint64_t Package::revision() const { return impl_->revision; }

bool Package::isChanged() const {
    for (const PartEntry& part : impl_->parts)
        if (part.state != PartState::Original)
            return true;
    return false;
}

// After a save over its own file the package continues on the new file, as if
// reopened: nothing changed, every part read from there.
void Package::save(const std::string& path) {
    Impl& d = *impl_;
    bool toSource = d.isSourceFile(path);
    if (d.source)
        d.checkSourceUnchanged(toSource);
    {
        pkg::TemporaryFile temporary(path);
        pkg::writeArchive(temporary.path(), path, d.source.get(), d.parts);
        if (toSource)
            d.checkSourceUnchanged(true);
        temporary.commit();
    }
    if (toSource) {
        d.load(pkg::SourceArchive::open(path, d.limits));
        d.path = path;
    }
}

} // namespace visio
