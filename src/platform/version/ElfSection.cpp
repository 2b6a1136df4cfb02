#include "platform/version/ElfSection.h"

#include <elf.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace version {

namespace {

constexpr std::size_t kMaxNameTable = 1 << 20;

// The file, read at offsets with every range checked against its size.
class FileReader {
public:
    explicit FileReader(const std::string& path) : in_(path, std::ios::binary)
    {
        if (in_) {
            in_.seekg(0, std::ios::end);
            const std::streamoff end = in_.tellg();
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
    }

    bool Read(std::uint64_t offset, void* target, std::uint64_t count)
    {
        if (!in_ || offset > size_ || count > size_ - offset) {
            return false;
        }
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(target), static_cast<std::streamsize>(count));
        return static_cast<bool>(in_);
    }

private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

// What a section header says in either class of ELF.
struct SectionHeader {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
};

template <typename Ehdr, typename Shdr>
class ElfFile {
public:
    explicit ElfFile(FileReader& file) : file_(file) {}

    std::optional<std::vector<char>> Section(std::string_view wanted)
    {
        Ehdr header;
        if (!file_.Read(0, &header, sizeof header) || header.e_shentsize != sizeof(Shdr) || header.e_shoff == 0) {
            return std::nullopt;
        }
        offset_ = header.e_shoff;
        SectionHeader first;
        if (!sectionHeader(0, first)) {
            return std::nullopt;
        }
        // Counts that do not fit the header are kept in section 0.
        const std::uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.size;
        const std::uint32_t namesIndex = header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first.link;
        SectionHeader names;
        std::vector<char> nameTable;
        if (namesIndex >= count || !sectionHeader(namesIndex, names) || !contents(names, kMaxNameTable, nameTable)) {
            return std::nullopt;
        }
        return find(wanted, count, nameTable);
    }

private:
    std::optional<std::vector<char>> find(std::string_view wanted, std::uint64_t count, const std::vector<char>& names)
    {
        for (std::uint64_t index = 1; index < count; ++index) {
            SectionHeader section;
            if (!sectionHeader(index, section)) {
                return std::nullopt;
            }
            std::vector<char> bytes;
            if (nameAt(names, section.name) == wanted) {
                return contents(section, kMaxSectionSize, bytes) ? std::optional(bytes) : std::nullopt;
            }
        }
        return std::nullopt;
    }

    static std::string_view nameAt(const std::vector<char>& names, std::uint32_t offset)
    {
        if (offset >= names.size()) {
            return {};
        }
        const char* start = names.data() + offset;
        return std::string_view(start, strnlen(start, names.size() - offset));
    }

    bool sectionHeader(std::uint64_t index, SectionHeader& section)
    {
        Shdr raw;
        if (index > UINT32_MAX || !file_.Read(offset_ + index * sizeof(Shdr), &raw, sizeof raw)) {
            return false;
        }
        section = SectionHeader{raw.sh_name, raw.sh_type, raw.sh_offset, raw.sh_size, raw.sh_link};
        return true;
    }

    bool contents(const SectionHeader& section, std::size_t limit, std::vector<char>& bytes)
    {
        if (section.type == SHT_NOBITS || section.size == 0 || section.size > limit) {
            return false;
        }
        bytes.resize(static_cast<std::size_t>(section.size));
        return file_.Read(section.offset, bytes.data(), section.size);
    }

    FileReader& file_;
    std::uint64_t offset_ = 0;
};

constexpr unsigned char kOwnByteOrder = std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;

} // namespace

std::optional<std::vector<char>> ReadElfSection(const std::string& path, std::string_view name)
{
    FileReader file(path);
    unsigned char ident[EI_NIDENT];
    if (!file.Read(0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0
        || ident[EI_DATA] != kOwnByteOrder) {
        return std::nullopt;
    }
    if (ident[EI_CLASS] == ELFCLASS64) {
        return ElfFile<Elf64_Ehdr, Elf64_Shdr>(file).Section(name);
    }
    if (ident[EI_CLASS] == ELFCLASS32) {
        return ElfFile<Elf32_Ehdr, Elf32_Shdr>(file).Section(name);
    }
    return std::nullopt;
}

} // namespace version
