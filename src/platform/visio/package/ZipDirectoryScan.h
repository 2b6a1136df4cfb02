#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace visio::pkg {

// libzip turns a NUL byte inside an entry name into a blank, so a name such as
// "visio/document.xml\0.exe" cannot be seen through its API. This reads the raw
// central directory of the ZIP file `fd` and returns the first entry name that
// holds a NUL (shown with "\0"), or nothing. It is a second look only: a
// directory it cannot read is left to libzip to judge.
std::optional<std::string> findEntryNameWithNul(int fd, std::uint64_t fileSize);

} // namespace visio::pkg
