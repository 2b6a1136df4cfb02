#include "platform/visio/package/XmlMemory.h"

#include <cstdint>
#include <cstdlib>
#include <map>

#include <sys/mman.h>

#include <pugixml.hpp>

namespace visio::pkg {

namespace {

constexpr std::size_t HugePage = 2u << 20;
constexpr std::size_t RegionSize = 16 * HugePage;
// Larger requests (long texts) come from the ordinary heap.
constexpr std::size_t LargestFromRegion = RegionSize / 8;
constexpr std::size_t Alignment = 64;

struct Region {
    std::size_t size = 0;
    std::size_t used = 0;
    std::size_t live = 0; // blocks handed out and not yet given back
};

// The program runs on one thread; so do the engine's tests.
struct Regions {
    std::map<std::uintptr_t, Region> byStart;
    std::uintptr_t current = 0;
    bool installed = false;

    std::uintptr_t open() {
        // Over-map by a huge page and trim, so that the region starts on a
        // huge-page boundary and the kernel can back all of it with them.
        void* mapped = ::mmap(nullptr, RegionSize + HugePage, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (mapped == MAP_FAILED)
            return 0;
        auto raw = reinterpret_cast<std::uintptr_t>(mapped);
        std::uintptr_t start = (raw + HugePage - 1) & ~(HugePage - 1);
        if (start > raw)
            ::munmap(mapped, start - raw);
        if (std::uintptr_t end = raw + RegionSize + HugePage; end > start + RegionSize)
            ::munmap(reinterpret_cast<void*>(start + RegionSize), end - start - RegionSize);
        ::madvise(reinterpret_cast<void*>(start), RegionSize, MADV_HUGEPAGE);
        byStart[start] = Region{RegionSize, 0, 0};
        return start;
    }

    void* allocate(std::size_t size) {
        size = (size + Alignment - 1) & ~(Alignment - 1);
        if (size > LargestFromRegion)
            return std::malloc(size);
        auto it = byStart.find(current);
        if (it == byStart.end() || it->second.used + size > it->second.size) {
            current = open();
            if (current == 0)
                return std::malloc(size);
            it = byStart.find(current);
        }
        Region& region = it->second;
        void* block = reinterpret_cast<void*>(current + region.used);
        region.used += size;
        ++region.live;
        return block;
    }

    void deallocate(void* block) {
        auto p = reinterpret_cast<std::uintptr_t>(block);
        auto it = byStart.upper_bound(p);
        if (it == byStart.begin() || p >= std::prev(it)->first + std::prev(it)->second.size) {
            std::free(block); // not ours: the heap's, or from before the regions were used
            return;
        }
        --it;
        Region& region = it->second;
        if (--region.live != 0)
            return;
        // An emptied region is given back; the current one is used again.
        if (it->first == current) {
            region.used = 0;
            return;
        }
        ::munmap(reinterpret_cast<void*>(it->first), region.size);
        byStart.erase(it);
    }
};

Regions& regions() {
    static Regions instance;
    return instance;
}

void* allocateXml(std::size_t size) { return regions().allocate(size); }
void deallocateXml(void* block) { regions().deallocate(block); }

} // namespace

// Under AddressSanitizer the trees stay on the heap, where it watches them.
#if defined(__SANITIZE_ADDRESS__)
#define KALEMAR_XML_ON_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KALEMAR_XML_ON_HEAP 1
#endif
#endif

void UseLargeRegionsForXmlTrees() {
    Regions& r = regions();
#ifdef KALEMAR_XML_ON_HEAP
    r.installed = true;
#endif
    if (r.installed)
        return;
    pugi::set_memory_management_functions(allocateXml, deallocateXml);
    r.installed = true;
}

bool XmlTreesInRegions() {
#ifdef KALEMAR_XML_ON_HEAP
    return false;
#else
    return regions().installed;
#endif
}

std::size_t XmlRegionBytes() {
    std::size_t bytes = 0;
    for (const auto& [start, region] : regions().byStart)
        bytes += region.size;
    return bytes;
}

} // namespace visio::pkg
