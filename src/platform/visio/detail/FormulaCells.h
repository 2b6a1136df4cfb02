#pragma once

// The formula cells of a shape, own and inherited, indexed by the names of the
// cells their formulas read, so that a write looks only at the formulas that
// may read the written cell instead of at every formula of the shape.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
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
    // The names of the cells the formula may read (see readNameOf), sorted;
    // shared by every cell of the same formula text.
    const std::vector<std::string>* readNames = nullptr;
};

// Formula cells in order. A list that is kept and shared (a master's) is
// indexed by the names of the cells its formulas may read; a shape's own
// short list is searched. Both err on the side of naming a formula: the
// caller decides by resolving its references.
struct FormulaCellList {
    std::vector<FormulaCell> cells;

    void add(FormulaCell cell);
    void buildIndex();
    // Calls visit(position) for every formula that may read a cell of that
    // name, in list order.
    template <class Visit>
    void forEachReader(const std::string& readName, Visit&& visit) const {
        if (indexed_) {
            auto it = readers_.find(readName);
            if (it != readers_.end())
                for (std::uint32_t position : it->second)
                    visit(position);
            return;
        }
        for (std::uint32_t position = 0; position < cells.size(); ++position)
            if (std::binary_search(cells[position].readNames->begin(), cells[position].readNames->end(), readName))
                visit(position);
    }

private:
    bool indexed_ = false;
    std::unordered_map<std::string, std::vector<std::uint32_t>> readers_;
};

// Every cell of a shape that has a formula, local or inherited: its own cells
// first, then those of its master that it does not hold itself. A cell the
// shape lacks has the formula its master gives it, so the master's list,
// computed and indexed once per master, serves every instance as it is.
struct ShapeFormulaCells {
    ShapeRef shape;
    FormulaCellList own;
    std::shared_ptr<const FormulaCellList> master;

    // True when the shape holds the cell of the master's formula itself (a
    // cell in `since` was added after the list was made and does not count).
    bool overrides(const FormulaCell& inheritedCell,
                   const std::unordered_set<pugi::xml_node_struct*>& since = {}) const;
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
