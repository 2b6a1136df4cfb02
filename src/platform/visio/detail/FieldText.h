#pragma once

// Text fields as readers see them. Visio keeps each field's current display
// text inside its <fld> element of the shape's Text; readers that never
// evaluate formulas (libvisio, LibreOffice) draw that stored text and ignore
// the Field section. So whenever the values of a shape's fields change, the
// display texts are rewritten, in the instance's own Text.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/visio/detail/CellAccess.h"

namespace visio::detail {

// The display texts of the fields of a shape and its sub-shapes at one
// moment, by shape and field row.
using FieldDisplays = std::map<std::pair<pugi::xml_node_struct*, std::string>, std::optional<std::string>>;

// What the fields of `shape` and its sub-shapes display now; empty at once
// for shapes without text fields.
FieldDisplays fieldDisplaysOf(const ShapeRef& shape);

// For `shape` and its sub-shapes: writes the display text of every field whose
// value changed since `before` was taken (or whose value cell is among
// `written`) into its <fld> element. An instance that has no Text of its own
// first gets a copy of its master's. Fields that did not change are left as
// they are, and so are fields whose value has no plain display (a date, an
// error).
void refreshFieldTexts(const ShapeRef& shape, const FieldDisplays& before, const std::vector<CellAddress>& written);

// The text a reader draws for `shape`: its own Text, else its master's, with
// each field shown by its stored display text; without the line feed that ends
// the stored text.
std::string shownText(const ShapeRef& shape);

// The characters of a stored text as an XML reader sees them: CR LF and a
// lone CR as LF (parts are parsed without line-end normalisation, so that
// they save byte for byte), without the line feed that ends the text.
std::string textAsRead(const std::string& raw);

} // namespace visio::detail
