#include "platform/version/VersionInfo.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/version/ElfSection.h"
#include "platform/version/VersionRecord.h"

namespace version {

namespace {

bool holdsRecord(const VersionBlock& block)
{
    return std::memcmp(block.tag, kVersionTag, sizeof block.tag) == 0 && block.length == sizeof(VersionBlock)
        && block.fixed.signature == kFixedInfoSignature;
}

// The file's record as it is in its section; nothing when there is none.
std::optional<VersionBlock> recordOf(const char* fileName)
{
    if (fileName == nullptr) {
        return std::nullopt;
    }
    const std::optional<std::vector<char>> section = ReadElfSection(fileName, kVersionSection);
    if (!section || section->size() < sizeof(VersionBlock)) {
        return std::nullopt;
    }
    VersionBlock block;
    std::memcpy(&block, section->data(), sizeof block);
    return holdsRecord(block) ? std::optional(block) : std::nullopt;
}

} // namespace

DWORD GetFileVersionInfoSizeA(const char* fileName, DWORD* handle)
{
    if (handle != nullptr) {
        *handle = 0;
    }
    return recordOf(fileName) ? static_cast<DWORD>(sizeof(VersionBlock)) : 0;
}

BOOL GetFileVersionInfoA(const char* fileName, DWORD /*handle*/, DWORD length, void* data)
{
    const std::optional<VersionBlock> block = recordOf(fileName);
    if (!block || data == nullptr) {
        return 0;
    }
    std::memcpy(data, &*block, std::min<std::size_t>(length, sizeof(VersionBlock)));
    return 1;
}

BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* length)
{
    if (block == nullptr || subBlock == nullptr || std::string_view(subBlock) != "\\") {
        return 0;
    }
    const auto* record = static_cast<const VersionBlock*>(block);
    if (!holdsRecord(*record)) {
        return 0;
    }
    *buffer = const_cast<FixedFileInfo*>(&record->fixed);
    *length = sizeof(FixedFileInfo);
    return 1;
}

} // namespace version
