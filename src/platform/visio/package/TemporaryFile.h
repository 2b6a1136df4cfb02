#pragma once

#include <string>

namespace visio::pkg {

// A new file beside `target` (same folder, hidden name) that either replaces
// the target on commit() or is removed when it goes out of scope: the target
// is never half written.
class TemporaryFile {
public:
    // Creates the file; VisioError when the folder does not take it.
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }

    // Gives the file the target's permissions (or the usual ones for a new
    // file), flushes it to disk, renames it over the target and flushes the
    // folder; VisioError naming the target on any failure.
    void commit();

private:
    std::string target_;
    std::string path_;
    unsigned mode_ = 0;
    bool committed_ = false;
};

} // namespace visio::pkg
