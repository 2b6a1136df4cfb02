#pragma once

// One worksheet written as an .xlsx workbook with libxlsxwriter.

#include <string>

namespace excel {

class Worksheet;

// Writes `sheet` as the only worksheet of a workbook at `path`, whose document
// title is `title`. Every cell is a text cell. Row 1, when it holds anything,
// is the header: bold, frozen above the rows that scroll, and carrying an
// autofilter over the used range, and printed atop every page. The "number
// stored as text" warning is switched off for the used range, each column is
// as wide as its longest line, and the sheet prints across the page, one page
// wide. ExcelError with the reason when the file cannot be written.
void WriteWorkbookFile(const Worksheet& sheet, const std::string& path, const std::string& title);

} // namespace excel
