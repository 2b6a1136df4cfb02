#pragma once

// The entity diagram made to read on its page: each connector gets a
// right-angled route through the gaps between the entities, stored the way
// Visio stores a dynamic connector's route, with its label beside it; then
// the page is sized to hold the whole diagram with a margin, and the diagram
// is moved onto it as one piece. The entities keep their places relative to
// each other; the connectors stay glued and follow them.

#include <cstddef>
#include <vector>

#include "platform/visio/Visio.h"

// A connector of the diagram and the entities it joins, as indices into the
// entities in the order they were drawn (rows of three).
struct TDrawnConnector {
    visio::Shape Connector;
    std::size_t From = 0;
    std::size_t To = 0;
};

// The margin left around the diagram on its page, in millimetres.
inline constexpr double DiagramMarginMm = 10;

// Routes the connectors, sizes the page and moves the diagram onto it. Does
// nothing on a page without entities. Raises VisioError when a cell it
// writes is refused.
void FitEntityDiagram(const visio::Page& page, const std::vector<visio::Shape>& entities,
                      const std::vector<TDrawnConnector>& connectors);
