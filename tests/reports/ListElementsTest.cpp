// The listing on drawings made for the case, read back by openpyxl (and once by
// LibreOffice Calc): which shapes are listed, in which order, into which
// columns, under which header.

#include <gtest/gtest.h>

#include <QPushButton>

#include <filesystem>

#include "host/Globals.h"
#include "platform/ui/RadioGroup.h"
#include "reports/Unit_Reports.h"
#include "support/StderrCapture.h"
#include "support/StencilDrawing.h"
#include "support/WorkbookReaders.h"

namespace {

namespace fs = std::filesystem;
using testsupport::CellGrid;
using testsupport::Fill;

const std::vector<std::string> kObjectHeader = {"Номер объекта", "Наименование объекта", "Номер нормативного документа"};
const std::vector<std::string> kProcedureHeader = {"Номер процедуры", "Исполнитель", "Наименование",
                                                   "Ссылка на пункт регламента или режим Мерадон",
                                                   "Описание процедуры"};

// Page 1 holds 2 objects, page 2 none, page 3 three, among procedures, a
// stamp, a frame and a connector that are no objects. Shapes renamed in the
// file stand for names no master gives: a stamp named as a procedure (it has
// no property row 5), a frame named as an object (no rows 2 and 3), and a
// shape whose name holds both "Object" and "Process".
class Listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::StencilDrawing drawing;
        Fill(drawing.Drop("Object", 1), {"1.2", "Клиент", "Договор", "р3", "", "описание", "0"});
        Fill(drawing.Drop("Process", 1), {"3.10", "Менеджер", "Принять заказ", "п. 3.1", "", "Принять\nи записать"});
        Fill(drawing.Drop("Stamp", 1), {"?", "Принять заказ"});
        drawing.DropConnector(1);
        Fill(drawing.Drop("Document", 1), {"007", "Счёт", "Политика"});
        Fill(drawing.Drop("Frame", 1), {"", ""});
        Fill(drawing.Drop("Process", 2), {"П-2", "Кладовщик", "Собрать", "", "", "Собрать товары"});
        Fill(drawing.Drop("Object", 3), {"1.3", "Заказ", "Положение"});
        Fill(drawing.Drop("Object", 3), {"1.3", "Заказ", "Положение", "", "", "копия", "1"});
        Fill(drawing.Drop("Frame", 3), {"9", "Рамка как объект"});
        Fill(drawing.Drop("Stamp", 3), {"4.1", "Штамп как процедура", "Имя", "ссылка"});
        Fill(drawing.Drop("Process", 3), {"4.2", "Оба слова", "Объект и процедура"});
        path = drawing.SaveAs(folder.File("listing.vsdx"));
        testsupport::RenameShape(path, 3, "Frame", "Document frame");
        testsupport::RenameShape(path, 3, "Stamp", "Process stamp");
        testsupport::RenameShape(path, 3, "Process", "ObjectProcess");
    }

    // Runs one listing on a session of the drawing and returns what openpyxl
    // reads of the workbook it wrote.
    testsupport::WorkbookFacts list(int type, int pages, const std::string& activePage = {})
    {
        std::unique_ptr<visio::Application> session = testsupport::OpenSession(path, activePage);
        VisioApp = session.get();
        std::string printed;
        {
            testsupport::StdoutCapture out;
            ListElements(type, pages);
            printed = out.Text();
        }
        VisioApp = nullptr;
        const std::string book = folder.File("Book" + std::to_string(++books) + ".xlsx").string();
        EXPECT_EQ(printed, book + "\n");
        return testsupport::ReadWorkbookWithOpenpyxl(book);
    }

    testsupport::TempDir folder;
    std::string path;
    int books = 0;
};

TEST_F(Listing, RowsFollowThePagesAndTheShapeOrderUnderTheirHeader)
{
    struct Case {
        const char* what;
        int type;
        int pages;
        const char* activePage;
        CellGrid cells;
    } cases[] = {
        {"objects of every page: 2, 0 and 3 objects give rows 2 to 6", 0, 0, "",
         {kObjectHeader,
          {"1.2", "Клиент", "Договор", "р3"},
          {"007", "Счёт", "Политика"},
          {"1.3", "Заказ", "Положение"},
          {"1.3", "Заказ", "Положение"},
          {"9", "Рамка как объект"}}},
        {"objects of the active page only", 0, 1, "3",
         {kObjectHeader, {"1.3", "Заказ", "Положение"}, {"1.3", "Заказ", "Положение"}, {"9", "Рамка как объект"}}},
        {"procedures of every page, a missing row 5 giving an empty cell", 1, 0, "",
         {kProcedureHeader,
          {"3.10", "Менеджер", "Принять заказ", "п. 3.1", "Принять\nи записать"},
          {"П-2", "Кладовщик", "Собрать", "", "Собрать товары"},
          {"4.1", "Штамп как процедура", "Имя", "ссылка"},
          {"4.2", "Оба слова", "Объект и процедура"}}},
        {"procedures of an active page that has none of its own", 1, 1, "1",
         {kProcedureHeader, {"3.10", "Менеджер", "Принять заказ", "п. 3.1", "Принять\nи записать"}}},
        {"switches: no header and no rows", 2, 0, "", {}},
    };
    for (const Case& c : cases) {
        const testsupport::WorkbookFacts facts = list(c.type, c.pages, c.activePage);
        ASSERT_EQ(facts.error, "") << c.what;
        EXPECT_EQ(facts.cells, c.cells) << c.what;
        EXPECT_EQ(facts.sheets, 1) << c.what;
    }
}

TEST_F(Listing, ValuesStayTextsForCalcToo)
{
    const testsupport::WorkbookFacts facts = list(0, 0);
    for (const auto& [cell, type] : facts.types)
        EXPECT_EQ(type, "s") << testsupport::CellName(cell.first, cell.second);
    EXPECT_EQ(facts.title, "listing.vsdx");
    EXPECT_EQ(facts.freeze, "A2");
    EXPECT_EQ(facts.filter, "A1:D6");

    const testsupport::CalcSheet calc = testsupport::ReadWorkbookWithCalc(folder.File("Book1.xlsx").string());
    ASSERT_EQ(calc.error, "");
    EXPECT_EQ(calc.cells, facts.cells);
    EXPECT_EQ(calc.numbers, std::vector<std::string>{});
}

TEST_F(Listing, EveryPressOfTheWindowMakesAFurtherWorkbook)
{
    std::unique_ptr<visio::Application> session = testsupport::OpenSession(path);
    VisioApp = session.get();
    TfrmReports window;
    EXPECT_EQ(window.rgTYPE->ItemIndex(), 0);
    EXPECT_EQ(window.rgPAGE->ItemIndex(), 0);
    std::string printed;
    {
        testsupport::StdoutCapture out;
        window.btnSAVE->click();
        window.rgTYPE->SetItemIndex(1);
        window.rgPAGE->SetItemIndex(1);
        window.btnSAVE->click();
        printed = out.Text();
    }
    VisioApp = nullptr;
    EXPECT_EQ(printed, folder.File("Book1.xlsx").string() + "\n" + folder.File("Book2.xlsx").string() + "\n");
    EXPECT_EQ(testsupport::ReadWorkbookWithOpenpyxl(folder.File("Book1.xlsx").string()).cells.size(), 6u);
    EXPECT_EQ(testsupport::ReadWorkbookWithOpenpyxl(folder.File("Book2.xlsx").string()).cells.size(), 2u);
    // Listing reads the drawing only.
    EXPECT_FALSE(session->ActiveDocument().IsChanged());
}

TEST_F(Listing, AFailureMidwayKeepsTheRowsListedBeforeIt)
{
    testsupport::BreakPage(path, 3);
    std::unique_ptr<visio::Application> session = testsupport::OpenSession(path);
    VisioApp = session.get();
    std::string message;
    {
        testsupport::StdoutCapture out;
        try {
            ListElements(0, 0);
        } catch (const visio::VisioError& error) {
            message = error.what();
        }
        EXPECT_EQ(out.Text(), folder.File("Book1.xlsx").string() + "\n");
    }
    VisioApp = nullptr;
    EXPECT_NE(message.find("not well-formed"), std::string::npos) << message;
    EXPECT_EQ(testsupport::ReadWorkbookWithOpenpyxl(folder.File("Book1.xlsx").string()).cells,
              (CellGrid{kObjectHeader, {"1.2", "Клиент", "Договор", "р3"}, {"007", "Счёт", "Политика"}}));
}

TEST(WriteElementRow, OtherKindsWriteNothing)
{
    testsupport::StencilDrawing drawing;
    const visio::Shape stamp = drawing.Drop("Stamp");
    Fill(stamp, {"?", "name"});
    testsupport::TempDir folder;
    excel::Application excel({folder.Path().string(), "t", false, {}});
    excel.GetWorkbooks().Add();
    for (std::uint8_t kind : {std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{7}})
        WriteElementRow(excel, stamp, 2, kind);
    EXPECT_TRUE(excel.GetWorkbooks().Item(1).ActiveSheet().Cells().empty());
    WriteElementRow(excel, stamp, 2, 0);
    EXPECT_EQ(excel.GetWorkbooks().Item(1).ActiveSheet().Cell(2, 2), "name");
}

} // namespace
