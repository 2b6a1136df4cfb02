#pragma once

#include "platform/visio/detail/CellAccess.h"

namespace visio::detail {

// Glues the end of a 1-D shape (its BeginX or EndX cell) to a connection point
// or to the pin of another shape on the same page: the end's formulas follow
// the target, the connection is recorded in the page's Connects, and the
// connector is recalculated.
void glue(const ShapeRef& connector, const CellAddress& end, const ShapeRef& target, const CellAddress& targetCell);

} // namespace visio::detail
