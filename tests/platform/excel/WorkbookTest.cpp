// Workbooks written on release, read back by openpyxl and LibreOffice Calc:
// texts stay texts, the header row is bold, frozen and filtered, columns fit
// their text, and the document title is the one given.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/excel/Excel.h"
#include "platform/excel/TextWidth.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "support/WorkbookReaders.h"

namespace {

namespace fs = std::filesystem;
using testsupport::CellGrid;

excel::Application application(const fs::path& folder)
{
    return excel::Application({folder.string(), "order.vsdx", false, {}});
}

void writeRows(excel::Application& excel, const CellGrid& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            excel.Cells(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows[r][c]);
}

// The width libxlsxwriter stores for a width asked for: whole pixels of a
// seven-pixel digit plus five pixels of padding, in 1/256ths of a digit.
double storedWidth(double asked)
{
    return std::floor((std::floor(asked * 7 + 0.5) + 5) / 7 * 256) / 256;
}

const CellGrid kListing = {
    {"Номер процедуры", "Исполнитель", "Наименование", "Ссылка на пункт регламента или режим Мерадон",
     "Описание процедуры"},
    {"1.2", "Менеджер", "Принять заказ", "", "Принять заказ\nи внести его в журнал"},
    {"007", "", "ООО \"Ромашка\", склад", "=1+1"},
    {"3.10", "2024-01-05", "1e5", "TRUE", "  с пробелами  "},
};

TEST(Workbook, ReadersNobodyHereWroteSeeTheSameTexts)
{
    testsupport::TempDir folder;
    excel::Application excel = application(folder.Path());
    excel.GetWorkbooks().Add();
    writeRows(excel, kListing);
    const std::vector<std::string> written = excel.Release();
    ASSERT_EQ(written, std::vector<std::string>{(folder.Path() / "Book1.xlsx").string()});

    const testsupport::WorkbookFacts facts = testsupport::ReadWorkbookWithOpenpyxl(written[0]);
    ASSERT_EQ(facts.error, "");
    EXPECT_EQ(facts.cells, kListing);
    for (const auto& [cell, type] : facts.types)
        EXPECT_EQ(type, "s") << testsupport::CellName(cell.first, cell.second);

    const testsupport::CalcSheet calc = testsupport::ReadWorkbookWithCalc(written[0]);
    ASSERT_EQ(calc.error, "");
    EXPECT_EQ(calc.cells, kListing);
    EXPECT_EQ(calc.numbers, std::vector<std::string>{});
}

TEST(Workbook, HeaderIsBoldFrozenAndFilteredAndTheTitleNamesTheDrawing)
{
    testsupport::TempDir folder;
    excel::Application excel = application(folder.Path());
    excel.GetWorkbooks().Add();
    writeRows(excel, kListing);
    const testsupport::WorkbookFacts facts = testsupport::ReadWorkbookWithOpenpyxl(excel.Release().at(0));
    ASSERT_EQ(facts.error, "");
    EXPECT_EQ(facts.title, "order.vsdx");
    EXPECT_EQ(facts.sheets, 1);
    EXPECT_EQ(facts.bold, (std::set<std::string>{"A1", "B1", "C1", "D1", "E1"}));
    EXPECT_EQ(facts.freeze, "A2");
    EXPECT_EQ(facts.filter, "A1:E4");
    EXPECT_EQ(facts.ignored, std::vector<std::string>{"A1:E4"});
    EXPECT_EQ(facts.print, "landscape 1 0 $1:$1");
}

TEST(Workbook, ColumnsFitTheirLongestLineCountedInCharacters)
{
    testsupport::TempDir folder;
    excel::Application excel = application(folder.Path());
    excel.GetWorkbooks().Add();
    // Row 2: the same number of characters in Cyrillic (two bytes each) and
    // in Latin letters; a long text on two shorter lines; a short column.
    writeRows(excel, {{"A", "B", "C", "D"},
                      {"Наименование объекта длинное", "abcdefghijklmnopqrstuvwxyz12", "первая строка\nвторая", "1"}});
    const testsupport::WorkbookFacts facts = testsupport::ReadWorkbookWithOpenpyxl(excel.Release().at(0));
    ASSERT_EQ(facts.error, "");
    EXPECT_DOUBLE_EQ(facts.widths.at("A"), storedWidth(excel::ColumnWidthFor(28, false)));
    EXPECT_DOUBLE_EQ(facts.widths.at("B"), facts.widths.at("A"));
    EXPECT_DOUBLE_EQ(facts.widths.at("C"), storedWidth(excel::ColumnWidthFor(13, false)));
    EXPECT_DOUBLE_EQ(facts.widths.at("D"), storedWidth(8.43));
    // The row with a text of two lines is two lines high; the others keep theirs.
    EXPECT_EQ(facts.heights, (std::map<int, double>{{2, 30}}));
}

TEST(TextWidth, CountsCharactersOfTheLongestLineAndTheLines)
{
    struct Case {
        const char* text;
        std::size_t length;
    } cases[] = {
        {"", 0},
        {"1.2", 3},
        {"Привет", 6},            // 12 bytes
        {"ab\ncdef\ng", 4},
        {"abc\r\nd", 3},
        {"ёж\rёлка", 4},
        {"日本語", 3},            // three bytes a character
        {"a\xF0\x9F\x98\x80z", 3}, // four bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(excel::LongestLineLength(c.text), c.length) << c.text;
    struct Lines {
        const char* text;
        std::size_t count;
    } lines[] = {{"", 1}, {"one", 1}, {"a\nb", 2}, {"a\r\nb\r\n", 3}, {"a\rb", 2}, {"\n\n", 3}};
    for (const Lines& l : lines)
        EXPECT_EQ(excel::LineCount(l.text), l.count) << l.text;
    EXPECT_DOUBLE_EQ(excel::ColumnWidthFor(0, false), 8.43);
    EXPECT_DOUBLE_EQ(excel::ColumnWidthFor(10000, true), 255);
    EXPECT_GT(excel::ColumnWidthFor(20, true), excel::ColumnWidthFor(20, false));
}

TEST(Workbook, AnEmptyWorkbookHasOneEmptySheetAndNoHeader)
{
    testsupport::TempDir folder;
    excel::Application excel = application(folder.Path());
    excel.GetWorkbooks().Add();
    const testsupport::WorkbookFacts facts = testsupport::ReadWorkbookWithOpenpyxl(excel.Release().at(0));
    ASSERT_EQ(facts.error, "");
    EXPECT_EQ(facts.sheets, 1);
    EXPECT_TRUE(facts.cells.empty());
    EXPECT_EQ(facts.freeze, "");
    EXPECT_EQ(facts.filter, "");
    EXPECT_TRUE(facts.ignored.empty());
}

TEST(Workbook, AHeaderWithoutRowsIsStillFrozenAndFiltered)
{
    testsupport::TempDir folder;
    excel::Application excel = application(folder.Path());
    excel.GetWorkbooks().Add();
    writeRows(excel, {{"Номер объекта", "Наименование объекта", "Номер нормативного документа"}});
    const testsupport::WorkbookFacts facts = testsupport::ReadWorkbookWithOpenpyxl(excel.Release().at(0));
    EXPECT_EQ(facts.freeze, "A2");
    EXPECT_EQ(facts.filter, "A1:C1");
    EXPECT_EQ(facts.bold.size(), 3u);
}

TEST(Workbook, RowsWithoutAHeaderAreNeitherBoldNorFrozen)
{
    testsupport::TempDir folder;
    excel::Application excel = application(folder.Path());
    excel.GetWorkbooks().Add();
    excel.Cells(2, 1, "1.1");
    excel.Cells(3, 2, "x");
    const testsupport::WorkbookFacts facts = testsupport::ReadWorkbookWithOpenpyxl(excel.Release().at(0));
    EXPECT_EQ(facts.cells, (CellGrid{{}, {"1.1"}, {"", "x"}}));
    EXPECT_TRUE(facts.bold.empty());
    EXPECT_EQ(facts.freeze, "");
    EXPECT_EQ(facts.filter, "");
    EXPECT_EQ(facts.ignored, std::vector<std::string>{"A1:B3"});
}

} // namespace
