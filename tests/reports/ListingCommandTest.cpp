// Command 10 run as a user runs it, with scripted steps, on copies of the
// bundled example drawing: the workbooks beside the drawing read back by
// openpyxl, compared with what kalemar-dump reads of the drawing; and a
// workbook that cannot be written leaving every file as it was.

#include <gtest/gtest.h>

#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

#include "model/Utils.h"
#include "support/RunProgram.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/WorkbookReaders.h"

namespace {

namespace fs = std::filesystem;
using testsupport::CellGrid;
using testsupport::RunProgram;
using testsupport::RunResult;

const std::string kExample = std::string(KALEMAR_SOURCE_DIR) + "/examples/order-process.vsdx";

class ListingCommand : public testing::Test {
protected:
    testsupport::TempDir folder;
    fs::path drawing = folder.CopyIn(kExample, "order.vsdx");

    testsupport::RunOptions headless()
    {
        return testsupport::HeadlessRunOptions(folder.Path().string());
    }

    RunResult kalemar(const std::vector<std::string>& steps)
    {
        std::vector<std::string> args{"--drawing", drawing.string()};
        args.insert(args.end(), steps.begin(), steps.end());
        args.push_back("10");
        return RunProgram(testsupport::KalemarExecutable(), args, headless());
    }

    // The rows a listing of `kind` gives, as kalemar-dump reads the drawing:
    // per page in order, per shape in order, the unquoted values of the
    // listed property rows.
    CellGrid expectedRows(int kind, const std::string& onlyPage = {})
    {
        const RunResult dump = RunProgram(testsupport::KalemarDumpExecutable(), {drawing.string()});
        EXPECT_EQ(dump.exitCode, 0) << dump.err;
        const std::vector<int> rows = kind == 0 ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 1, 2, 3, 5};
        CellGrid grid;
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
        for (const QJsonValue& page : root.value("pages").toArray()) {
            if (!onlyPage.empty() && page.toObject().value("name").toString().toStdString() != onlyPage)
                continue;
            for (const QJsonValue& shape : page.toObject().value("shapes").toArray()) {
                if (shape.toObject().value("kind").toInt() != kind)
                    continue;
                const QJsonArray properties = shape.toObject().value("properties").toArray();
                std::vector<std::string> cells;
                for (int row : rows)
                    cells.push_back(row < properties.size() ? StripQuotes(properties.at(row).toString().toStdString())
                                                            : std::string());
                while (!cells.empty() && cells.back().empty())
                    cells.pop_back();
                grid.push_back(cells);
            }
        }
        return grid;
    }
};

TEST_F(ListingCommand, EachPressWritesAWorkbookBesideTheDrawingAndLeavesTheDrawingAlone)
{
    const std::string before = testsupport::FileBytes(drawing);
    const RunResult run = kalemar({"--press", "btnSAVE",
                                   "--choose", "rgTYPE=@Процедур", "--choose", "rgPAGE=1", "--press", "btnSAVE",
                                   "--choose", "rgTYPE=2", "--press", "btnSAVE", "--press", "btnClose"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const fs::path book1 = folder.File("Book1.xlsx"), book2 = folder.File("Book2.xlsx"), book3 = folder.File("Book3.xlsx");
    EXPECT_EQ(run.out, book1.string() + "\n" + book2.string() + "\n" + book3.string() + "\n");
    EXPECT_EQ(testsupport::FileBytes(drawing), before);

    CellGrid objects{{"Номер объекта", "Наименование объекта", "Номер нормативного документа"}};
    const CellGrid objectRows = expectedRows(0);
    objects.insert(objects.end(), objectRows.begin(), objectRows.end());
    EXPECT_GE(objectRows.size(), 2u);
    EXPECT_EQ(testsupport::ReadWorkbookWithOpenpyxl(book1.string()).cells, objects);

    // The drawing opens on its first page, which is the active one.
    const testsupport::WorkbookFacts procedures = testsupport::ReadWorkbookWithOpenpyxl(book2.string());
    ASSERT_FALSE(procedures.cells.empty());
    EXPECT_EQ(procedures.cells.front().size(), 5u);
    EXPECT_EQ(CellGrid(procedures.cells.begin() + 1, procedures.cells.end()), expectedRows(1, "Приём заказа"));
    EXPECT_EQ(procedures.title, "order.vsdx");

    const testsupport::WorkbookFacts switches = testsupport::ReadWorkbookWithOpenpyxl(book3.string());
    EXPECT_EQ(switches.error, "");
    EXPECT_TRUE(switches.cells.empty());
}

TEST_F(ListingCommand, AWorkbookThatCannotBeWrittenIsReportedAndNothingIsLeftBehind)
{
    // The folder of the drawing takes no new file. Permissions do not bind
    // root, so root runs the program as nobody.
    fs::permissions(folder.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    std::string program = testsupport::KalemarExecutable();
    std::vector<std::string> args{"--drawing", drawing.string(), "--press", "btnSAVE", "--press", "btnClose", "10"};
    if (::geteuid() == 0) {
        args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", program});
        program = "/usr/bin/setpriv";
    } else {
        fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::remove);
    }
    const std::string before = testsupport::FileBytes(drawing);
    const RunResult run = RunProgram(program, args, headless());
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::add);

    // The message box names the file and the reason; the window stayed open
    // for the next step, which closed it.
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "kalemar: Cannot write the workbook \"" + folder.File("Book1.xlsx").string() +
                           "\": Permission denied\n");
    EXPECT_EQ(testsupport::FileNamesIn(folder.Path()), std::vector<std::string>{"order.vsdx"});
    EXPECT_EQ(testsupport::FileBytes(drawing), before);
}

TEST_F(ListingCommand, AStepTheWindowCannotTakeEndsTheRunWithoutAWorkbook)
{
    const RunResult run = kalemar({"--choose", "rgPAGE=2", "--press", "btnSAVE"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("window 'Получение данных' control 'rgPAGE' has no item 2 (it has 2)."), std::string::npos)
        << run.err;
    EXPECT_EQ(testsupport::FileNamesIn(folder.Path()), std::vector<std::string>{"order.vsdx"});
}

} // namespace
