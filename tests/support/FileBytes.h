#pragma once

// A file's bytes as a whole, for fixtures and for what a run wrote.

#include <filesystem>
#include <string>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's content with `bytes`.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

} // namespace testsupport
