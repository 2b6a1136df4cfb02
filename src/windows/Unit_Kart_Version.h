#pragma once

// The version of an executable file, read from its version information and
// kept in a process-wide cache so that each file is read at most once.

#include <cstdint>
#include <string>

// The version information block of one file; the block is owned and freed
// with the record.
struct TVerData {
    std::int32_t size = 0;
    void* data = nullptr;

    TVerData() = default;
    ~TVerData();
    TVerData(const TVerData&) = delete;
    TVerData& operator=(const TVerData&) = delete;
};

// Reads the file's version information into the cache, replacing an entry of
// the same name (compared without regard to letter case). A file without
// version information gets an entry with an empty block.
void LoadVersionData(const std::string& fileName);

// "a.b.c.d" of the file version of a file in the cache, each word in full
// decimal; empty when the file is not in the cache or its block has no fixed
// part.
std::string FileVersionText(const std::string& fileName);

// Drops one file from the cache; nothing happens when it is not there.
void FreeVersionData(const std::string& fileName);

// Empties the cache.
void FreeAllVersionData();

// The version text of a file, read into the cache first when it is not in it.
std::string CachedVersionText(const std::string& fileName);

// The version text of the running executable.
std::string AppVersionText();

// The about window's caption of the version: "Версия " and AppVersionText().
std::string VersionCaption();
