#include "platform/excel/WorkbookFile.h"

#include <xlsxwriter.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/excel/Excel.h"
#include "platform/excel/TextWidth.h"

namespace excel {

namespace {

constexpr int HeaderRow = 1;

bool isMultiLine(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

std::string cellName(int row, int column)
{
    char name[LXW_MAX_CELL_NAME_LENGTH];
    lxw_rowcol_to_cell(name, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1));
    return name;
}

// The four looks a cell can take: plain or bold (the header), on one line or
// wrapped at its line breaks; all at the top of their row, so that the cells
// of a row of several lines start on its first line together.
class CellFormats {
public:
    explicit CellFormats(lxw_workbook* book)
    {
        for (int bold = 0; bold < 2; ++bold)
            for (int wrapped = 0; wrapped < 2; ++wrapped) {
                lxw_format* format = workbook_add_format(book);
                format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
                if (bold)
                    format_set_bold(format);
                if (wrapped)
                    format_set_text_wrap(format);
                formats_[bold][wrapped] = format;
            }
    }
    lxw_format* For(bool bold, bool wrapped) const { return formats_[bold][wrapped]; }

private:
    lxw_format* formats_[2][2] = {};
};

// Keeps what the library prints on standard error out of the run's messages
// while it lives: the failure is reported once, by the caller, naming the
// workbook rather than its temporary file.
class QuietStandardError {
public:
    QuietStandardError()
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && nowhere >= 0)
            ::dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

// Owns the workbook until it is closed (written) or, on a failure before,
// freed without writing anything.
class OpenWorkbook {
public:
    OpenWorkbook(const std::string& path)
    {
        lxw_workbook_options options{};
        book_ = workbook_new_opt(path.c_str(), &options);
        if (book_ == nullptr)
            throw ExcelError("the workbook cannot be created (out of memory)");
    }
    ~OpenWorkbook()
    {
        if (book_ != nullptr)
            lxw_workbook_free(book_);
    }
    OpenWorkbook(const OpenWorkbook&) = delete;
    OpenWorkbook& operator=(const OpenWorkbook&) = delete;

    lxw_workbook* Get() const { return book_; }

    // Writes the file. The system's reason (a full disk, a refused folder) says
    // more than the library's summary where there is one.
    void Close()
    {
        errno = 0;
        lxw_error error = LXW_NO_ERROR;
        int systemError = 0;
        {
            const QuietStandardError quiet;
            error = workbook_close(book_);
            systemError = errno;
        }
        book_ = nullptr;
        if (error != LXW_NO_ERROR)
            throw ExcelError(systemError != 0 ? std::strerror(systemError) : lxw_strerror(error));
    }

private:
    lxw_workbook* book_ = nullptr;
};

void check(lxw_error error, const std::string& what)
{
    if (error != LXW_NO_ERROR)
        throw ExcelError(what + ": " + lxw_strerror(error));
}

void writeCells(lxw_worksheet* worksheet, const Worksheet& sheet, const CellFormats& formats)
{
    for (const auto& [address, text] : sheet.Cells()) {
        const auto [row, column] = address;
        lxw_format* format = formats.For(row == HeaderRow, isMultiLine(text));
        check(worksheet_write_string(worksheet, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                                     text.c_str(), format),
              "cell " + cellName(row, column));
    }
}

void fitColumns(lxw_worksheet* worksheet, const Worksheet& sheet)
{
    std::map<int, double> widths;
    for (const auto& [address, text] : sheet.Cells()) {
        const double width = ColumnWidthFor(LongestLineLength(text), address.first == HeaderRow);
        double& widest = widths[address.second];
        widest = std::max(widest, width);
    }
    for (const auto& [column, width] : widths) {
        const auto index = static_cast<lxw_col_t>(column - 1);
        check(worksheet_set_column(worksheet, index, index, width, nullptr), "column width");
    }
}

// Readers do not all grow a row to the lines of its wrapped cells, so a row
// holding a text of several lines is given the height of that many lines.
void fitRows(lxw_worksheet* worksheet, const Worksheet& sheet)
{
    std::map<int, std::size_t> lines;
    for (const auto& [address, text] : sheet.Cells()) {
        std::size_t& most = lines[address.first];
        most = std::max(most, LineCount(text));
    }
    for (const auto& [row, count] : lines)
        if (count > 1)
            check(worksheet_set_row(worksheet, static_cast<lxw_row_t>(row - 1),
                                    LXW_DEF_ROW_HEIGHT * static_cast<double>(count), nullptr),
                  "row height");
}

bool hasHeader(const Worksheet& sheet) { return !sheet.Cells().empty() && sheet.Cells().begin()->first.first == HeaderRow; }

void markUsedRange(lxw_worksheet* worksheet, const Worksheet& sheet)
{
    if (sheet.Cells().empty())
        return;
    const auto lastRow = static_cast<lxw_row_t>(sheet.LastRow() - 1);
    const auto lastColumn = static_cast<lxw_col_t>(sheet.LastColumn() - 1);
    char range[LXW_MAX_CELL_RANGE_LENGTH];
    lxw_rowcol_to_range(range, 0, 0, lastRow, lastColumn);
    check(worksheet_ignore_errors(worksheet, LXW_IGNORE_NUMBER_STORED_AS_TEXT, range), "ignored warnings");
    if (hasHeader(sheet)) {
        worksheet_freeze_panes(worksheet, 1, 0);
        check(worksheet_autofilter(worksheet, 0, 0, lastRow, lastColumn), "autofilter");
        check(worksheet_repeat_rows(worksheet, 0, 0), "header on every printed page");
    }
}

// A listing is wide: printed across the page, every column on one sheet of
// paper, as many sheets down as the rows need.
void setUpPrinting(lxw_worksheet* worksheet)
{
    worksheet_set_landscape(worksheet);
    worksheet_fit_to_pages(worksheet, 1, 0);
}

} // namespace

void WriteWorkbookFile(const Worksheet& sheet, const std::string& path, const std::string& title)
{
    OpenWorkbook book(path);
    lxw_doc_properties properties{};
    std::string titleText = title;
    properties.title = titleText.data();
    check(workbook_set_properties(book.Get(), &properties), "document title");
    lxw_worksheet* worksheet = workbook_add_worksheet(book.Get(), nullptr);
    if (worksheet == nullptr)
        throw ExcelError("the worksheet cannot be added (out of memory)");
    const CellFormats formats(book.Get());
    writeCells(worksheet, sheet, formats);
    fitColumns(worksheet, sheet);
    fitRows(worksheet, sheet);
    markUsedRange(worksheet, sheet);
    setUpPrinting(worksheet);
    book.Close();
}

} // namespace excel
