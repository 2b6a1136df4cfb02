#pragma once

// Reading and writing cells: formulas, values, units, and the recalculation
// that keeps stored values right for readers that never evaluate formulas.

#include <optional>
#include <string>
#include <vector>

#include "platform/visio/detail/CellAccess.h"
#include "platform/visio/formula/Formula.h"

namespace visio::detail {

// The universal formula of a cell as Visio shows it; nothing when the cell
// exists nowhere along the inheritance chain.
std::optional<std::string> formulaOf(const ShapeRef& shape, const CellAddress& address);
// The formula that evaluates the cell (local or inherited), without markers;
// nothing for a constant or a deleted formula.
std::optional<std::string> activeFormula(const ShapeRef& shape, const CellAddress& address);
// The stored value (V) in internal units or as text.
std::optional<formula::Value> valueOf(const ShapeRef& shape, const CellAddress& address);

// Writes a formula; raises VisioError for an invalid one (the cell unchanged).
void writeFormula(const ShapeRef& shape, const CellAddress& address, const std::string& text);
// Stores a number as a local constant with a unit code ("MM", "" for none).
void writeConstant(const ShapeRef& shape, const CellAddress& address, double internalValue,
                   const std::string& unitCode);

// The page (or master) units in which drawing-unit lengths are shown: "MM", "IN".
std::string drawingUnitOf(SheetContainer* container);

// After `written` cells of `shape` changed: re-evaluates the formulas that read
// them, in the shape, its sub-shapes and the connectors glued to them, until the
// stored values settle. A formula that cannot be evaluated keeps its value and
// marks the document for recalculation when Visio opens it. Then the display
// texts of the fields whose values changed are written into the shapes' text.
void recalculateAfter(const ShapeRef& shape, const std::vector<CellAddress>& written);

// The text of a number for a V attribute: shortest form that reads back exactly.
std::string valueText(double value);

} // namespace visio::detail
