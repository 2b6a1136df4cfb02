#pragma once

// One named section of an ELF file, read from disk.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace version {

// The largest section read; a version record is a few dozen bytes.
inline constexpr std::size_t kMaxSectionSize = 1 << 20;

// The bytes of the section called `name` in the ELF file at `path` (32 or 64
// bits, in this machine's byte order). Nothing when the file cannot be read,
// is no such ELF file, is cut short or malformed, has no such section, or the
// section holds no bytes in the file or more than kMaxSectionSize.
std::optional<std::vector<char>> ReadElfSection(const std::string& path, std::string_view name);

} // namespace version
