#pragma once

// What a folder and its files hold, for tests that check what a run left.

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The bytes of a file; empty when it cannot be read.
std::string FileBytes(const std::filesystem::path& path);

// The names of the entries of a folder, sorted.
std::vector<std::string> FileNamesIn(const std::filesystem::path& folder);

} // namespace testsupport
