#include "windows/Unit_Kart_Version.h"

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "platform/version/VersionInfo.h"
#include "platform/version/VersionRecord.h"

namespace {

// Names in the order they were read; looked up one by one, as the cache of a
// few files needs no more.
using VersionCache = std::vector<std::pair<std::string, std::unique_ptr<TVerData>>>;

VersionCache& cache()
{
    static VersionCache entries;
    return entries;
}

bool sameFileName(const std::string& a, const std::string& b)
{
    return QString::compare(QString::fromStdString(a), QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

VersionCache::iterator find(const std::string& fileName)
{
    VersionCache& entries = cache();
    return std::find_if(entries.begin(), entries.end(),
                        [&](const auto& entry) { return sameFileName(entry.first, fileName); });
}

std::string word(std::uint32_t value)
{
    return std::to_string(value & 0xFFFF);
}

std::string executablePath()
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

} // namespace

TVerData::~TVerData()
{
    std::free(data);
}

void LoadVersionData(const std::string& fileName)
{
    FreeVersionData(fileName);
    version::DWORD handle = 0;
    auto entry = std::make_unique<TVerData>();
    entry->size = static_cast<std::int32_t>(version::GetFileVersionInfoSizeA(fileName.c_str(), &handle));
    if (entry->size > 0) {
        entry->data = std::calloc(static_cast<std::size_t>(entry->size), 1);
        version::GetFileVersionInfoA(fileName.c_str(), handle, static_cast<version::DWORD>(entry->size), entry->data);
    }
    cache().emplace_back(fileName, std::move(entry));
}

std::string FileVersionText(const std::string& fileName)
{
    const auto found = find(fileName);
    if (found == cache().end() || found->second->data == nullptr) {
        return std::string();
    }
    void* buffer = nullptr;
    version::UINT length = 0;
    if (!version::VerQueryValueA(found->second->data, "\\", &buffer, &length)) {
        return std::string();
    }
    const auto* fixed = static_cast<const version::FixedFileInfo*>(buffer);
    return word(fixed->fileVersionMS >> 16) + "." + word(fixed->fileVersionMS) + "." + word(fixed->fileVersionLS >> 16)
        + "." + word(fixed->fileVersionLS);
}

void FreeVersionData(const std::string& fileName)
{
    const auto found = find(fileName);
    if (found != cache().end()) {
        cache().erase(found);
    }
}

void FreeAllVersionData()
{
    while (!cache().empty()) {
        FreeVersionData(cache().front().first);
    }
}

std::string CachedVersionText(const std::string& fileName)
{
    if (find(fileName) == cache().end()) {
        LoadVersionData(fileName);
    }
    return FileVersionText(fileName);
}

std::string AppVersionText()
{
    return CachedVersionText(executablePath());
}

std::string VersionCaption()
{
    return "Версия " + AppVersionText();
}
