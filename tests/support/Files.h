#pragma once

// What a folder and its files hold, for fixtures and for tests that check
// what a run left.

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The bytes of a file; empty when it cannot be read.
std::string FileBytes(const std::filesystem::path& path);

// Replaces the file's content with `bytes`.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// The names of the entries of a folder, sorted.
std::vector<std::string> FileNamesIn(const std::filesystem::path& folder);

} // namespace testsupport
