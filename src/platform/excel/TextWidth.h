#pragma once

// How wide a text is on screen, for fitting a column to it.

#include <cstddef>
#include <string>

namespace excel {

// The characters of the longest line of a UTF-8 text: every character counts
// one whatever its number of bytes (a Cyrillic letter is two), and line
// breaks (LF, CR LF, CR) start a new line.
std::size_t LongestLineLength(const std::string& utf8);

// The lines of a text: 1, and one more for each line break (LF, CR LF, CR).
std::size_t LineCount(const std::string& utf8);

// The column width, in the spreadsheet's character units, that shows a text
// whose longest line has `characters` characters; a bold text is wider. Never
// narrower than the default width, never wider than the widest column.
double ColumnWidthFor(std::size_t characters, bool bold);

} // namespace excel
