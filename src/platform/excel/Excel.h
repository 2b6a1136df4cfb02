#pragma once

// The spreadsheet stand-in: the part of a spreadsheet application that the
// element listing drives (Visible, Workbooks.Add, Cells on the active sheet).
// Workbooks are held in memory and written as .xlsx files when the
// application is released. Every refused call raises ExcelError.

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace excel {

class ExcelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest sheet a workbook holds, as the spreadsheet application has it.
inline constexpr int MaxRows = 1048576;
inline constexpr int MaxColumns = 16384;

// The texts of one worksheet by row and column, both counted from 1. Texts stay
// texts: "1.2", "007" and "3.10" are never read as numbers or dates.
class Worksheet {
public:
    // Sets a cell; the empty text empties it. ExcelError outside the sheet.
    void SetCell(int row, int column, const std::string& text);
    // The cell's text; empty for an empty cell.
    std::string Cell(int row, int column) const;
    // The used range: the last row and column holding a text; 0 when empty.
    int LastRow() const;
    int LastColumn() const;
    // The non-empty cells, row by row, each row by column.
    const std::map<std::pair<int, int>, std::string>& Cells() const { return cells_; }

private:
    std::map<std::pair<int, int>, std::string> cells_;
};

class Workbook {
public:
    Worksheet& ActiveSheet() { return sheet_; }
    const Worksheet& ActiveSheet() const { return sheet_; }
    // The file the workbook was written to on release; empty before.
    const std::string& FullName() const { return fullName_; }

private:
    friend class Application;
    Worksheet sheet_;
    std::string fullName_;
};

class Workbooks {
public:
    // A new workbook of one empty worksheet, which becomes the active workbook.
    Workbook& Add();
    int Count() const { return static_cast<int>(books_.size()); }
    // 1-based; ExcelError out of range.
    Workbook& Item(int index);

private:
    friend class Application;
    std::vector<std::unique_ptr<Workbook>> books_;
};

// Where and how the workbooks of an application are written and shown.
struct Settings {
    std::string folder;     // workbooks are written here as BookN.xlsx
    std::string title;      // the document title of every workbook written
    bool hasDesktop = false; // a person sees the screen: Visible opens what is written
    // Opens a written workbook with the desktop's default program; empty: the
    // desktop services of Qt.
    std::function<void(const std::string& path)> openOnDesktop;
};

class Application {
public:
    explicit Application(Settings settings);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    Workbooks& GetWorkbooks() { return workbooks_; }

    // Writes `text` into the cell at `row`, `column` of the active sheet of the
    // newest workbook. ExcelError when there is no workbook or the cell lies
    // outside the sheet.
    void Cells(int row, int column, const std::string& text);

    // The end of the reference: every workbook not written yet is written, in
    // the order added, as a new "BookN.xlsx" in the settings' folder (the
    // first N whose file does not exist; no file is ever replaced) and its
    // path printed on standard output; when Visible and the run has a desktop,
    // it is then opened there. Returns the paths written. ExcelError naming
    // the file and the reason at the first workbook that cannot be written;
    // no part of that file is left behind, and the workbooks written before
    // it stay written.
    std::vector<std::string> Release();

private:
    Settings settings_;
    bool visible_ = false;
    Workbooks workbooks_;
};

} // namespace excel
