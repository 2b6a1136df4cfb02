#pragma once

// Where the XML trees of the parts live. pugixml keeps a tree in pages that it
// asks for one at a time; a large drawing takes hundreds of megabytes of them.
// Taken from large regions that the kernel may back with huge pages, the pages
// cost a fraction of the page faults that parsing a large part otherwise
// spends a third of its time in.

#include <cstddef>

namespace visio::pkg {

// Makes pugixml take its pages from large regions from now on; pages it took
// before are given back as they were taken. Idempotent.
void UseLargeRegionsForXmlTrees();

// Whether the trees live in the regions (not under AddressSanitizer, which
// watches them on the heap); and the bytes of the regions held (for tests).
bool XmlTreesInRegions();
std::size_t XmlRegionBytes();

} // namespace visio::pkg
