#pragma once

// A fresh folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of `name` inside the folder (nothing is created).
    std::filesystem::path File(const std::string& name) const { return path_ / name; }
    // Copies `source` into the folder as `name` and returns the copy's path.
    std::filesystem::path CopyIn(const std::filesystem::path& source, const std::string& name) const;

private:
    std::filesystem::path path_;
};

} // namespace testsupport
