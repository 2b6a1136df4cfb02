#pragma once

// What programs nobody here wrote read of an .xlsx workbook: openpyxl (through
// tests/support/read_workbook.py) and LibreOffice Calc (its CSV export).

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// A sheet's cells as rows of texts, row 1 first; a row ends at its last
// non-empty cell, and the grid at its last non-empty row.
using CellGrid = std::vector<std::vector<std::string>>;

struct WorkbookFacts {
    std::string error; // the reader's complaint; empty when it read the file
    std::string title;
    int sheets = 0;
    std::string freeze;              // the first cell that scrolls, "A2"; empty when nothing is frozen
    std::string filter;              // the autofilter's range; empty when none
    std::vector<std::string> ignored; // ranges whose "number stored as text" warning is off
    std::map<std::string, double> widths; // column letter -> width as stored
    std::map<int, double> heights;   // row -> height in points, for rows given one
    std::string print;               // "landscape 1 0 $1:$1": orientation, pages wide and tall, title rows
    std::set<std::string> bold;      // cells shown bold, "A1"
    std::map<std::pair<int, int>, std::string> types; // (row, column) -> openpyxl's data type
    CellGrid cells;
};

// openpyxl's reading of the first sheet of the workbook at `path`.
WorkbookFacts ReadWorkbookWithOpenpyxl(const std::string& path);

struct CalcSheet {
    std::string error;    // LibreOffice's complaint; empty when it converted the file
    CellGrid cells;
    // Cells that Calc exported as numbers, not texts: "B3".
    std::vector<std::string> numbers;
};

// LibreOffice Calc's reading of the first sheet, through its CSV export with
// every text cell quoted (so a cell that Calc took for a number shows). Runs
// soffice headless with a profile of its own.
CalcSheet ReadWorkbookWithCalc(const std::string& path);

// "A1"-style name of a cell.
std::string CellName(int row, int column);

} // namespace testsupport
