#pragma once

// Fixtures that no stencil master gives, made by editing the page parts of a
// drawing the engine saved: a shape without property rows, a row without its
// value cell, a page whose XML is broken.

#include <functional>
#include <string>

#include <pugixml.hpp>

namespace numberingtest {

// Edits the top-level shape named `shapeName` in the page parts of the drawing
// at `path` and rewrites that part; fails the test when no page has the shape.
void EditShape(const std::string& path, const std::string& shapeName, const std::function<void(pugi::xml_node)>& edit);

// Replaces the page part that holds `shapeName` with text that is not XML.
void BreakPageOf(const std::string& path, const std::string& shapeName);

// Renames a shape (Name and NameU).
void Rename(pugi::xml_node shape, const std::string& name);

// Gives the shape an empty property section of its own, hiding the master's rows.
void DeletePropertyRows(pugi::xml_node shape);

// One property row of a shape's own section, by position (N) or by index (IX);
// a null value leaves out the value cell.
struct OwnRow {
    std::string key;          // "Row_2", or an index when byIndex
    const char* value = nullptr;
    bool byIndex = false;
};

// Replaces the shape's property section with `rows` (the shape should have no
// master rows of its own, as a connector has none).
void SetOwnPropertyRows(pugi::xml_node shape, const std::vector<OwnRow>& rows);

// Sets the value cell of the shape's property row `rowName` ("Row_1") to the
// formula "No Formula", which reads as the empty text.
void SetNoFormula(pugi::xml_node shape, const std::string& rowName);

} // namespace numberingtest
