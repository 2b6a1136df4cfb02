#pragma once

// The version record that the build writes into a named section of an
// executable: the fixed file information of a Windows version resource,
// behind a tag of our own.

#include <cstdint>

namespace version {

// The section of the executable that holds the record (a macro, since the
// section attribute takes only a literal).
#define KALEMAR_VERSION_SECTION ".kalemar_version"
inline constexpr const char* kVersionSection = KALEMAR_VERSION_SECTION;

inline constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
inline constexpr std::uint32_t kFixedInfoStructVersion = 0x00010000;

// The fixed part of a version information block, field for field as the
// Windows version functions give it. A version is four 16-bit words: the
// high and low word of the MS value, then of the LS value.
struct FixedFileInfo {
    std::uint32_t signature = kFixedInfoSignature;
    std::uint32_t structVersion = kFixedInfoStructVersion;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0x3F;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0x40004;   // as a Windows build would mark it
    std::uint32_t fileType = 1;       // an application
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;
};

inline constexpr char kVersionTag[16] = "KALEMAR VERSION";

// The whole record: what GetFileVersionInfoA copies out.
struct VersionBlock {
    char tag[16] = {};
    std::uint32_t length = sizeof(VersionBlock);
    std::uint32_t reserved = 0;
    FixedFileInfo fixed;
};

constexpr VersionBlock MakeVersionBlock(std::uint32_t fileMS, std::uint32_t fileLS, std::uint32_t productMS,
                                        std::uint32_t productLS)
{
    VersionBlock block;
    for (int i = 0; i < 16; ++i) {
        block.tag[i] = kVersionTag[i];
    }
    block.fixed.fileVersionMS = fileMS;
    block.fixed.fileVersionLS = fileLS;
    block.fixed.productVersionMS = productMS;
    block.fixed.productVersionLS = productLS;
    return block;
}

} // namespace version
