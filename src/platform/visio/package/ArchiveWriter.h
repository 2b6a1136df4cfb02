#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/visio/package/SourceArchive.h"

namespace visio::pkg {

enum class PartState { Original, Written, Removed };

// One part of a package as the package holds it.
struct PartEntry {
    std::string name;                   // "/visio/document.xml"
    std::optional<ArchiveEntry> stored; // where it is in the source archive
    PartState state = PartState::Original;
    std::string bytes;                  // the bytes written, when Written
    // When Written with no bytes yet: makes them when the archive takes the
    // part, so that one part's bytes at a time are held while packing.
    std::function<std::string()> produce;
};

// Writes the archive of `parts` into the file `path`. With a source, the file
// is a copy of the source as it was opened (VisioError when its content no
// longer matches the hash taken then) in which libzip then replaces the written
// entries, appends the new ones and deletes the removed ones, so every other
// entry keeps its packed bytes and its place. Without one, a new archive.
// `label` names the target in errors.
void writeArchive(const std::string& path, const std::string& label, const SourceArchive* source,
                  const std::vector<PartEntry>& parts);

} // namespace visio::pkg
