#pragma once

// What a control shows, as the lines that the "--print NAME" step writes.

#include <string>
#include <vector>

class QObject;

namespace ui {

// The content of `control` as printed lines, "NAME=VALUE" each: an edit's or a
// text pane's plain text, a check box's tick as 0 or 1, a combo box's current
// text, a button's or menu item's text without its shortcut marker, a radio
// group's, page control's or tab's index, a splitter's first pane size in
// pixels. Line breaks inside a value are written as the two characters \n. A
// list or table gives one line per row with its cells in column order,
// separated by tabs (empty cells kept); an empty list gives no line at all.
// False, with no line added, when the control shows no value to print.
bool ControlLines(const QObject& control, const std::string& name, std::vector<std::string>& lines);

} // namespace ui
