// The windowed commands run from the command line with scripted steps, on
// copies of the bundled example drawing, and what they leave behind read by
// independent means: kalemar-dump for the drawing, the sqlite3 shell for the
// database.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::KalemarDumpExecutable;
using testsupport::KalemarExecutable;
using testsupport::RunProgram;
using testsupport::RunResult;

const std::string kExample = std::string(KALEMAR_SOURCE_DIR) + "/examples/order-process.vsdx";

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ScriptedCommands : public testing::Test {
protected:
    testsupport::TempDir folder;
    fs::path drawing = folder.CopyIn(kExample, "order.vsdx");

    RunResult kalemar(const std::vector<std::string>& args)
    {
        // Headless whatever the machine running the tests has.
        return RunProgram(KalemarExecutable(), args, testsupport::HeadlessRunOptions(folder.Path().string()));
    }

    // "page name/shape name" -> the raw formula of property row 0, for every
    // top-level shape that has property rows.
    std::map<std::string, std::string> numbers()
    {
        const RunResult dump = RunProgram(KalemarDumpExecutable(), {drawing.string()});
        EXPECT_EQ(dump.exitCode, 0) << dump.err;
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
        std::map<std::string, std::string> rows;
        for (const QJsonValue& page : root.value("pages").toArray()) {
            for (const QJsonValue& shape : page.toObject().value("shapes").toArray()) {
                const QJsonArray properties = shape.toObject().value("properties").toArray();
                if (properties.isEmpty())
                    continue;
                rows[page.toObject().value("name").toString().toStdString() + "/" +
                     shape.toObject().value("name").toString().toStdString()] = properties.at(0).toString().toStdString();
            }
        }
        return rows;
    }

    std::string sqlite(const fs::path& database, const std::string& query)
    {
        const RunResult result = RunProgram("/usr/bin/sqlite3", {database.string(), query});
        EXPECT_EQ(result.exitCode, 0) << query << ": " << result.err;
        return result.out;
    }
};

TEST_F(ScriptedCommands, NumberingWritesObjectsCopiesAndThenProceduresInOneWindow)
{
    const RunResult run = kalemar({"--drawing", drawing.string(), "--page", "1",
                                   "--choose", "RzRadioGroup1=0", "--set", "tbCONST=1.", "--press", "btnSAVE",
                                   "--choose", "RzRadioGroup1=@Процедуры", "--set", "tbCONST=П ", "--press", "btnSAVE",
                                   "--press", "btnClose", "7"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, drawing.string() + "\n");
    EXPECT_EQ(run.err, "");

    const std::map<std::string, std::string> expected{
        {"Приём заказа/Frame", R"("")"},
        // Two columns of objects, each from the top down.
        {"Приём заказа/Object", R"("1.1")"},     // Клиент, 35 mm / 250 mm
        {"Приём заказа/Object.2", R"("1.2")"},   // Заказ, 35 mm / 190 mm
        {"Приём заказа/Object.3", R"("1.3")"},   // Товар, 175 mm / 250 mm
        {"Приём заказа/Object.4", R"("1.4")"},   // Позиция заказа, 175 mm / 190 mm
        {"Приём заказа/Document", R"("1.5")"},   // Счёт на оплату, 175 mm / 60 mm
        // One column of procedures; the blank of the fixed part is dropped.
        {"Приём заказа/Process", R"("П1")"},
        {"Приём заказа/Process.7", R"("П2")"},
        {"Приём заказа/Process.8", R"("П3")"},
        // The copy of Заказ on the other page carries its number; the rest of
        // that page is not the active one and stays as it was.
        {"Отгрузка/Object", R"("1.2")"},
        {"Отгрузка/Object.2", R"("")"},
        {"Отгрузка/Process", R"("")"},
        {"Отгрузка/Process.4", R"("")"},
    };
    EXPECT_EQ(numbers(), expected);
}

TEST_F(ScriptedCommands, NumberingClosedWithoutAPassLeavesTheFileAlone)
{
    const std::string before = fileBytes(drawing);
    const RunResult run = kalemar({"--drawing", drawing.string(), "--set", "tbCONST=X", "--press", "btnClose", "7"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(fileBytes(drawing), before);
}

TEST_F(ScriptedCommands, AStepTheNumberingWindowCannotTakeEndsTheRunUnsaved)
{
    struct Case {
        std::vector<std::string> steps;
        std::string message;
    };
    const Case cases[] = {
        {{"--set", "tbCONSTX=1"}, "step 1 (--set tbCONSTX=1): window 'Нумерация элементов' has no control 'tbCONSTX'."},
        {{"--set", "tbCONST=1", "--press", "btnRun"},
         "step 2 (--press btnRun): window 'Нумерация элементов' has no control 'btnRun'."},
        {{"--choose", "RzRadioGroup1=2", "--press", "btnSAVE"},
         "step 1 (--choose RzRadioGroup1=2): window 'Нумерация элементов' control 'RzRadioGroup1' has no item 2 (it has 2)."},
    };
    const std::string before = fileBytes(drawing);
    for (const Case& c : cases) {
        std::vector<std::string> args{"--drawing", drawing.string()};
        args.insert(args.end(), c.steps.begin(), c.steps.end());
        args.push_back("7");
        const RunResult run = kalemar(args);
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(fileBytes(drawing), before) << c.message;
    }
}

TEST_F(ScriptedCommands, DatabaseExportCreatesEveryTableWithItsKeys)
{
    const fs::path database = folder.Path() / "orders.db";
    const RunResult run = kalemar({"--drawing", drawing.string(), "--file", database.string(), "4"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_TRUE(fs::exists(database));

    // Document order: the first page's tables, then the second's.
    EXPECT_EQ(sqlite(database, "select name from sqlite_master where type = 'table' order by rowid"),
              "Customers\nOrders\nProducts\nOrderItems\nWaybills\n");
    EXPECT_EQ(sqlite(database, "select m.name, p.name, p.type, p.\"notnull\" from sqlite_master m, "
                               "pragma_table_info(m.name) p where p.pk = 1 order by m.rowid"),
              "Customers|Id|INTEGER|1\nOrders|Id|INTEGER|1\nProducts|Id|INTEGER|1\nOrderItems|Id|INTEGER|1\n"
              "Waybills|Id|INTEGER|1\n");
    EXPECT_EQ(sqlite(database, "select m.name, f.\"from\", f.\"table\", f.\"to\" from sqlite_master m, "
                               "pragma_foreign_key_list(m.name) f order by m.rowid, f.\"from\""),
              "Orders|CustomerId|Customers|Id\nOrderItems|OrderId|Orders|Id\nOrderItems|ProductId|Products|Id\n"
              "Waybills|OrderId|Orders|Id\n");
    EXPECT_EQ(sqlite(database, "select sql from sqlite_master where name = 'Orders'"),
              "CREATE TABLE Orders(Id Integer primary key not null , CustomerId Integer constraint FK_Customers_Id "
              "references Customers(Id), OrderDate DATETIME, Note Text(255))\n");
    EXPECT_EQ(sqlite(database, "select count(*) from Orders"), "0\n");
}

TEST_F(ScriptedCommands, DatabaseExportCancelledWritesNothing)
{
    const RunResult run = kalemar({"--drawing", drawing.string(), "--cancel", "4"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path()))
        files.push_back(entry.path().filename());
    EXPECT_EQ(files, std::vector<fs::path>{"order.vsdx"});
}

} // namespace
