#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace visio {

// Limits that keep a hostile package from exhausting memory. A package whose
// entries exceed them is refused before anything is unpacked.
struct PackageLimits {
    std::uint64_t maxEntrySize = 512ull << 20;   // one part, unpacked
    std::uint64_t maxTotalSize = 2048ull << 20;  // all parts, unpacked
    std::uint64_t maxEntries = 100000;
    std::uint64_t maxCompressionRatio = 1000;    // unpacked / packed, per entry
};

// An OPC package (the ZIP container of .vsdx/.vssx/.vsdm/.vstx files) held as
// a set of parts. Part names are absolute ("/visio/document.xml"). Parts that
// are never written are copied into a saved package unchanged: their packed
// bytes are taken over as they are, so the part stays byte for byte the same.
// Every failure raises VisioError naming the file and the problem.
class Package {
public:
    // Opens the package at `path`. Refuses (VisioError, nothing kept open) an
    // empty file, a file that is not a ZIP, a truncated or inconsistent ZIP, an
    // entry over the limits, and a duplicate or unsafe entry name.
    static std::unique_ptr<Package> open(const std::string& path,
                                         const PackageLimits& limits = {});
    // A new package with no parts, not tied to any file.
    static std::unique_ptr<Package> create();

    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // The file this package was opened from; empty for a created one.
    const std::string& sourcePath() const;

    // Part names in the order of the ZIP directory, written parts appended.
    std::vector<std::string> partNames() const;
    bool has(const std::string& partName) const;

    // The unpacked bytes of a part; VisioError when the part is missing or its
    // data are corrupt (bad CRC, short data).
    std::string read(const std::string& partName) const;

    // Replaces or adds a part. The new bytes are packed on save.
    void write(const std::string& partName, std::string bytes);
    // Replaces or adds a part whose bytes `produce` makes when they are needed:
    // on save, while the part is packed, or when the part is read.
    void writeLater(const std::string& partName, std::function<std::string()> produce);
    void remove(const std::string& partName);
    // True when the part was written or removed since opening.
    bool isChanged(const std::string& partName) const;
    bool isChanged() const;
    // Grows with every write and removal, saved or not: a caller that notes it
    // can tell later whether anything was written since.
    std::uint64_t revision() const;

    // Writes the package to `path` atomically: a temporary file beside the
    // target, flushed and synced, then renamed over it. When `path` is the
    // file the package came from and that file changed on disk since it was
    // opened (size, modification time or content), the save is refused and
    // nothing is written. On any failure the target stays as it was and the
    // temporary file is removed.
    void save(const std::string& path);

private:
    Package();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One relationship of a .rels part.
struct Relationship {
    std::string id;
    std::string type;
    std::string target;      // as written in the .rels part
    bool external = false;   // TargetMode="External"
};

// The .rels part name of a source part: "/visio/document.xml" ->
// "/visio/_rels/document.xml.rels"; "/" (the package) -> "/_rels/.rels".
std::string relationshipsPartName(const std::string& sourcePart);

// Resolves a relative relationship target against its source part:
// ("/visio/pages/pages.xml", "page1.xml") -> "/visio/pages/page1.xml";
// "../masters/master1.xml" climbs one folder. Refuses targets that leave the
// package root.
std::string resolvePartName(const std::string& sourcePart, const std::string& target);
// The inverse: the target text for `partName` relative to `sourcePart`.
std::string relativeTarget(const std::string& sourcePart, const std::string& partName);

// Reads the relationships of `sourcePart` ("/" for the package); an absent
// .rels part gives none; a malformed one raises VisioError.
std::vector<Relationship> readRelationships(const Package& package,
                                            const std::string& sourcePart);

// The absolute part name of the first relationship of `type` from `sourcePart`,
// or nothing.
std::optional<std::string> findRelatedPart(const Package& package,
                                           const std::string& sourcePart,
                                           const std::string& type);

// Adds a relationship to `sourcePart`'s .rels part (creating it) and returns its
// new id ("rIdN", the first free N). The .rels part is rewritten in the style
// of the existing one.
std::string addRelationship(Package& package, const std::string& sourcePart,
                            const std::string& type, const std::string& targetPart);

// The content type of a part from [Content_Types].xml (Override first, then the
// Default of its extension); empty when none applies.
std::string contentTypeOf(const Package& package, const std::string& partName);
// Adds or replaces the Override of `partName` in [Content_Types].xml.
void setContentTypeOverride(Package& package, const std::string& partName,
                            const std::string& contentType);

} // namespace visio
