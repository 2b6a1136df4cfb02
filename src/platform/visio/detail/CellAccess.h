#pragma once

// Where a cell lives in the XML, and how a shape inherits cells and rows from
// its master and its styles.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visio/detail/Internal.h"

namespace visio::detail {

struct ShapeRef {
    SheetContainer* container = nullptr;
    pugi::xml_node node;
    explicit operator bool() const { return container && node; }
};

struct CellAddress {
    std::string section;     // XML section name; empty for a singleton cell
    std::string rowKey;      // N or IX of the row
    bool rowByIndex = false;
    std::string rowType;     // T of a geometry row
    std::string name;        // the Cell's N
    std::string formulaName; // "Width", "Prop.Name", "Connections.X9"
};

// A row is known by its name (N) when it has one, else by its index (IX).
inline bool rowIsIndexed(pugi::xml_node row) { return row.attribute("IX") && !row.attribute("N"); }
inline const char* rowKeyOf(pugi::xml_node row) { return row.attribute(rowIsIndexed(row) ? "IX" : "N").value(); }

struct RowInfo {
    std::string key;
    bool byIndex = false;
    std::string type;
};

// The master shape that `shape` inherits from: the master's top shape for an
// instance, the master's sub-shape named by MasterShape for a sub-shape.
ShapeRef masterShapeOf(const ShapeRef& shape);

// The section element of `shape` itself (not inherited).
pugi::xml_node localSection(pugi::xml_node shape, std::string_view section, std::string_view sectionIndex = {});
pugi::xml_node localRow(pugi::xml_node shape, const CellAddress& address);
pugi::xml_node localCell(pugi::xml_node shape, const CellAddress& address);
// localCell of a shape of a page or a master; a master's lookups are kept.
pugi::xml_node cellOf(const ShapeRef& shape, const CellAddress& address);

// The rows of a section as the shape sees them: the master's rows in master
// order less those the shape deletes, then rows only the shape has.
std::vector<RowInfo> mergedRows(const ShapeRef& shape, const std::string& section);
// The same rows, as lookups keep them: shared with the master when the
// shape's own rows only override the master's, else merged once.
const std::vector<RowInfo>& rowsFor(const ShapeRef& shape, std::string_view section);

// A cell found along the inheritance chain: the shape, its master shape, the
// styles. `inherited` is true when it is not the shape's own cell.
struct FoundCell {
    ShapeRef owner;
    pugi::xml_node cell;
    bool inherited = false;
    bool fromStyle = false;
};
std::optional<FoundCell> findCell(const ShapeRef& shape, const CellAddress& address);

// CellsSRC: the address of (section, row, column); nothing when the shape has
// no such section or row or the column has no cell name.
std::optional<CellAddress> addressOfSRC(const ShapeRef& shape, int section, int row, int column);
// Whether addressOfSRC finds the cell, without making its address.
bool existsSRC(const ShapeRef& shape, int section, int row, int column);
// A cell by its formula name ("PinX", "Prop.Name", "User.Row_1.Prompt",
// "Connections.X9", "Geometry1.X2", "Char.Size"); nothing when unknown.
std::optional<CellAddress> addressOfName(const ShapeRef& shape, const std::string& name);

// The local cell for writing, created with its section and row when absent
// (a row inherited from the master is created with the master's row type).
pugi::xml_node ensureLocalCell(const ShapeRef& shape, const CellAddress& address);

// True when a cell of this name holds a length measured in drawing units.
bool isLengthCell(const CellAddress& address);

// The shape's display name for messages and Shape::Name.
std::string shapeName(const ShapeRef& shape);

} // namespace visio::detail
