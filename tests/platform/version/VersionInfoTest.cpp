// The version record the build writes, read back through the stand-ins of
// the Windows version functions from executables on disk, and what they do
// with files that hold no record or a broken one.

#include <gtest/gtest.h>

#include <elf.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/version/ElfSection.h"
#include "platform/version/VersionInfo.h"
#include "platform/version/VersionRecord.h"
#include "support/Files.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace version {
namespace {

namespace fs = std::filesystem;

struct Versions {
    std::uint32_t fileMS, fileLS, productMS, productLS;
    bool operator==(const Versions&) const = default;
};

// The four version words the file's fixed information gives, read as a
// caller of the Windows functions reads them; nothing when a step fails.
std::optional<Versions> versionsOf(const std::string& path)
{
    DWORD handle = 99;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        return std::nullopt;
    }
    void* buffer = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", &buffer, &length) || length != sizeof(FixedFileInfo)) {
        return std::nullopt;
    }
    const auto* fixed = static_cast<const FixedFileInfo*>(buffer);
    EXPECT_EQ(fixed->signature, 0xFEEF04BDu);
    return Versions{fixed->fileVersionMS, fixed->fileVersionLS, fixed->productVersionMS, fixed->productVersionLS};
}

// The two words of "a.b.c.d".
std::pair<std::uint32_t, std::uint32_t> wordsOf(const std::string& text)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d), 4) << text;
    return {a << 16 | b, c << 16 | d};
}

std::optional<Versions> expected(const char* file, const char* product)
{
    if (file == nullptr) {
        return std::nullopt;
    }
    const auto [fileMS, fileLS] = wordsOf(file);
    const auto [productMS, productLS] = wordsOf(product);
    return Versions{fileMS, fileLS, productMS, productLS};
}

TEST(VersionInfo, ReadsTheRecordTheBuildWrote)
{
    struct Case {
        std::string file;
        const char* fileVersion; // null: no version
        const char* productVersion;
    };
    const Case cases[] = {
        {VERSION_FIXTURE_1_0_0_1, "1.0.0.1", "1.0.0.0"},
        {VERSION_FIXTURE_2_10_0_305, "2.10.0.305", "1.0.0.0"},
        {testsupport::KalemarExecutable(), KALEMAR_PROJECT_VERSION, KALEMAR_PROJECT_VERSION},
        {VERSION_FIXTURE_NONE, nullptr, nullptr},
        {"/no/such/file", nullptr, nullptr},
        {std::string(KALEMAR_SOURCE_DIR) + "/README.md", nullptr, nullptr},
        {"/dev/null", nullptr, nullptr},
        {"", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(versionsOf(c.file), expected(c.fileVersion, c.productVersion)) << c.file;
    }
}

TEST(VersionInfo, CopiesNoMoreThanItIsAskedToAndAnswersOnlyTheFixedPart)
{
    std::vector<char> block(sizeof(VersionBlock) + 8, '#');
    ASSERT_TRUE(GetFileVersionInfoA(VERSION_FIXTURE_1_0_0_1, 0, 20, block.data()));
    EXPECT_EQ(std::string(block.data(), 15), "KALEMAR VERSION");
    EXPECT_EQ(block[20], '#');

    ASSERT_TRUE(GetFileVersionInfoA(VERSION_FIXTURE_1_0_0_1, 0, static_cast<DWORD>(block.size()), block.data()));
    EXPECT_EQ(block[sizeof(VersionBlock)], '#');
    void* buffer = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\FileVersion", &buffer, &length));
    EXPECT_FALSE(VerQueryValueA(block.data(), "", &buffer, &length));
    EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &buffer, &length));
    const std::vector<char> zeros(sizeof(VersionBlock), 0);
    EXPECT_FALSE(VerQueryValueA(zeros.data(), "\\", &buffer, &length));
    EXPECT_EQ(buffer, nullptr);

    std::vector<char> untouched(sizeof(VersionBlock), '#');
    EXPECT_FALSE(GetFileVersionInfoA(VERSION_FIXTURE_NONE, 0, static_cast<DWORD>(untouched.size()), untouched.data()));
    EXPECT_EQ(untouched, std::vector<char>(sizeof(VersionBlock), '#'));
}

template <typename T>
void put(std::string& bytes, std::size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// Copies of an executable with a record, each broken in one place: none may
// crash the reader or make it read out of the file, and none has a version.
TEST(VersionInfo, ABrokenFileHasNoVersion)
{
    const std::string good = testsupport::FileBytes(VERSION_FIXTURE_1_0_0_1);
    const std::size_t tag = good.find("KALEMAR VERSION");
    ASSERT_NE(tag, std::string::npos);
    struct Case {
        const char* what;
        std::function<void(std::string&)> breakIt;
    };
    const Case cases[] = {
        {"cut after the identification", [](std::string& b) { b.resize(EI_NIDENT); }},
        {"cut in the middle", [](std::string& b) { b.resize(b.size() / 2); }},
        {"cut before the last byte", [](std::string& b) { b.pop_back(); }},
        {"another byte order", [](std::string& b) { b[EI_DATA] = ELFDATA2MSB; }},
        {"an unknown class", [](std::string& b) { b[EI_CLASS] = 7; }},
        {"section headers beyond the end", [](std::string& b) { put<Elf64_Off>(b, offsetof(Elf64_Ehdr, e_shoff), 1ull << 60); }},
        {"no section headers", [](std::string& b) { put<Elf64_Off>(b, offsetof(Elf64_Ehdr, e_shoff), 0); }},
        {"a wrong header size", [](std::string& b) { put<Elf64_Half>(b, offsetof(Elf64_Ehdr, e_shentsize), 12); }},
        {"a name table beyond the count", [](std::string& b) { put<Elf64_Half>(b, offsetof(Elf64_Ehdr, e_shstrndx), 60000); }},
        {"a count left to section 0, which has none", [](std::string& b) { put<Elf64_Half>(b, offsetof(Elf64_Ehdr, e_shnum), 0); }},
        {"a record with another tag", [tag](std::string& b) { b[tag] = 'X'; }},
        {"a record with another signature", [tag](std::string& b) { put<std::uint32_t>(b, tag + 24, 0); }},
    };
    testsupport::TempDir folder;
    for (const Case& c : cases) {
        std::string bytes = good;
        c.breakIt(bytes);
        const fs::path broken = folder.File("broken");
        testsupport::WriteFileBytes(broken, bytes);
        EXPECT_EQ(versionsOf(broken.string()), std::nullopt) << c.what;
    }
}

TEST(ElfSection, ReadsANamedSectionOnly)
{
    const std::optional<std::vector<char>> record = ReadElfSection(VERSION_FIXTURE_2_10_0_305, kVersionSection);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), sizeof(VersionBlock));
    EXPECT_TRUE(ReadElfSection(VERSION_FIXTURE_2_10_0_305, ".text").has_value());
    EXPECT_FALSE(ReadElfSection(VERSION_FIXTURE_2_10_0_305, ".kalemar").has_value());
    // .bss holds no bytes in the file.
    EXPECT_FALSE(ReadElfSection(VERSION_FIXTURE_2_10_0_305, ".bss").has_value());
}

} // namespace
} // namespace version
