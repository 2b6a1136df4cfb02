#pragma once

// The formula cells of a shape, own and inherited, indexed by the names of the
// cells their formulas read, so that a write looks only at the formulas that
// may read the written cell instead of at every formula of the shape.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/visio/detail/CellAccess.h"
#include "platform/visio/formula/Formula.h"

namespace visio::detail {

// The cell's key within its shape: section, row and cell name.
std::string canonicalKey(const CellAddress& address);

// The parsed formula of a text, shared by every cell that holds the same
// text; null when the text does not parse.
const std::shared_ptr<const formula::Expression>& parsedFormula(const std::string& text);

// The name a written cell is found under in the index: its cell name in lower
// case ("width", "value", "x").
std::string readNameOf(const CellAddress& address);

struct FormulaCell {
    CellAddress address;
    std::string formula;
    bool inherited = false;
    std::string key;   // canonicalKey(address)
};

// Formula cells in order, with, for each name a cell may be read under, the
// positions of the formulas that may read it. The index errs on the side of
// listing a formula: the caller decides by resolving the references.
struct FormulaCellList {
    std::vector<FormulaCell> cells;
    std::unordered_map<std::string, std::vector<std::uint32_t>> readers;

    void add(FormulaCell cell);
    const std::vector<std::uint32_t>* readersOf(const std::string& readName) const;
};

// Every cell of a shape that has a formula, local or inherited: its own cells
// first, then those of its master that it does not hold itself. A cell the
// shape lacks has the formula its master gives it, so the master's list,
// computed and indexed once per master, serves every instance as it is.
struct ShapeFormulaCells {
    FormulaCellList own;
    // Keys of every cell the shape holds, formula or not: a local constant
    // hides the master's formula. A shape holds few cells; a short list beats
    // hashing the master's many keys.
    std::vector<std::string> ownKeys;
    std::shared_ptr<const FormulaCellList> master;

    bool overrides(const FormulaCell& inheritedCell) const;
    // Calls visit(cell, inherited) for every cell in order.
    template <class Visit>
    void forEach(Visit&& visit) const {
        for (const FormulaCell& fc : own.cells)
            visit(fc, fc.inherited);
        if (master)
            for (const FormulaCell& fc : master->cells)
                if (!overrides(fc))
                    visit(fc, true);
    }
};

ShapeFormulaCells formulaCells(const ShapeRef& shape);

// The list of a master shape (or any shape whose list does not change while
// it is used), computed once and kept in its container until that changes.
std::shared_ptr<const FormulaCellList> formulaCellsOf(const ShapeRef& shape);

} // namespace visio::detail
