#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace visio::pkg {

// Why a ZIP entry name cannot name a part ("it climbs with '..'"), or nothing
// when it is safe: relative, '/'-separated, no empty, '.' or '..' segment, no
// backslash, NUL or control character.
std::optional<std::string> unsafeEntryNameReason(std::string_view entryName);

// Part names are case-insensitive (ASCII) in an OPC package; this is the key
// two names share when they name the same part.
std::string foldedName(std::string_view name);

// "/visio/document.xml" -> "visio/document.xml"; VisioError when `partName` is
// not absolute or not safe.
std::string entryNameOf(const std::string& partName);

} // namespace visio::pkg
