#pragma once

#include <string>
#include <utility>
#include <vector>

namespace visio::builtin {

// A package as a list of (absolute part name, bytes), [Content_Types].xml first.
using PartList = std::vector<std::pair<std::string, std::string>>;

// The parts of a blank metric drawing (A4 portrait, millimetres, one page
// "Page-1"), which every new drawing starts from. Authored in this folder.
const PartList& blankDrawingParts();

// The parts of the built-in stencil holding the "Dynamic connector" master, the
// one that Application::ConnectorToolDataObject drops.
const PartList& connectorStencilParts();

} // namespace visio::builtin
