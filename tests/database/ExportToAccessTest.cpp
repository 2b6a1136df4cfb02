#include <gtest/gtest.h>

#include "database/Unit_AccessExportDM.h"
#include "database/Unit_DBExport.h"
#include "ObjectDrawing.h"
#include "platform/jet/JetError.h"
#include "platform/jet/SqliteShell.h"
#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

using dbtest::Field;
using jettest::Sqlite3;

const char* const NoTablesBox = "Сообщение:   Таблицы БД не найдены !   \n";
const char* const CannotCreateBox = "Ошибка: Не могу создать файл базы данных !\n";

class ExportToAccessTest : public dbtest::ObjectDrawing {
protected:
    void SetUp() override
    {
        ObjectDrawing::SetUp();
        ui::Script::Instance().Clear();
        dmExportAccess = std::make_unique<TdmExportAccess>();
    }

    void TearDown() override
    {
        dmExportAccess.reset();
        ui::Script::Instance().Clear();
        ObjectDrawing::TearDown();
    }

    // Queues scripted steps as the command line gives them.
    void steps(const std::vector<std::string>& args)
    {
        for (std::size_t i = 0; i < args.size();) {
            auto step = ui::ParseScriptArgument(args, i);
            ASSERT_TRUE(step) << args[i];
            ui::Script::Instance().Add(*step);
        }
    }

    // Runs command 4 as the launcher does; returns the boxes shown.
    std::string exportShowingBoxes()
    {
        testsupport::StderrCapture boxes;
        ExportToAccess();
        EXPECT_TRUE(ui::Script::Instance().Empty()) << "steps left over";
        return boxes.Text();
    }

    void drawOrdersAndCustomers()
    {
        Table("Object", "Customers", {Field("Id", "Integer", 1), Field("Name", "VarChar", 0)});
        Table("Object", "Orders", {Field("Id", "Integer", 1),
                                   Field("CustomerId", "Integer", 2, "Customers", "Id"),
                                   Field("Note", "VarChar", 0)});
    }

    testsupport::TempDir folder;
    const std::string path = folder.File("export.db").string();
};

TEST_F(ExportToAccessTest, CreatesTheFileAndOneTablePerDefinition)
{
    drawOrdersAndCustomers();
    steps({"--file", path});
    EXPECT_EQ(exportShowingBoxes(), "");
    EXPECT_EQ(Sqlite3(path, ".schema"),
              "CREATE TABLE Customers(Id Integer primary key not null , Name Text(255));\n"
              "CREATE TABLE Orders(Id Integer primary key not null , CustomerId Integer constraint "
              "FK_Customers_Id references Customers(Id), Note Text(255));\n");
    EXPECT_EQ(Sqlite3(path, "select name, upper(type), \"notnull\", pk from pragma_table_info('Orders')"),
              "Id|INTEGER|1|1\nCustomerId|INTEGER|0|0\nNote|TEXT(255)|0|0\n");
    EXPECT_EQ(Sqlite3(path, "PRAGMA foreign_key_list(Orders)"),
              "0|0|Customers|CustomerId|Id|NO ACTION|NO ACTION|NONE\n");
    EXPECT_EQ(dmExportAccess->ADOConnection1.ConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
                  ";Mode=ReadWrite;Persist Security Info=False");
}

TEST_F(ExportToAccessTest, StatementsFollowDocumentOrderAndSkipEmptyTables)
{
    // Orders refers to a table defined later; it is sent first all the same.
    Table("Object", "Orders", {Field("CustomerId", "Integer", 2, "Customers", "Id")});
    Table("Object", "", {Field("Lost", "Integer", 0)});
    Table("Object", "NoFields", {});
    Table("Document", "OnlyInTargets", {Field("Id", "Integer", 1)});
    Table("Object", "Customers", {Field("Id", "Integer", 3, "X", "Y")}, 2);
    steps({"--file", path});
    EXPECT_EQ(exportShowingBoxes(), "");
    EXPECT_EQ(Sqlite3(path, "select name from sqlite_master order by rowid"), "Orders\nCustomers\n");
    EXPECT_EQ(Sqlite3(path, "PRAGMA foreign_key_list(Customers)"), "");
}

TEST_F(ExportToAccessTest, AnExistingFileIsUsedAsItIs)
{
    Sqlite3(path, "create table Kept(x); insert into Kept values ('row')");
    drawOrdersAndCustomers();
    steps({"--file", path});
    EXPECT_EQ(exportShowingBoxes(), "");
    EXPECT_EQ(Sqlite3(path, "select name from sqlite_master order by rowid"), "Kept\nCustomers\nOrders\n");
    EXPECT_EQ(Sqlite3(path, "select x from Kept"), "row\n");
}

TEST_F(ExportToAccessTest, NoTablesWarnsAndLeavesTheEmptyFile)
{
    Drop("Object");
    Table("Document", "NotCollected", {Field("Id", "Integer", 1)});
    steps({"--file", path, "--answer", "OK"});
    EXPECT_EQ(exportShowingBoxes(), NoTablesBox);
    EXPECT_EQ(Sqlite3(path, "PRAGMA integrity_check"), "ok\n");
    EXPECT_EQ(Sqlite3(path, ".schema"), "");
}

TEST_F(ExportToAccessTest, CancelledDialogDoesNothing)
{
    drawOrdersAndCustomers();
    // Not even the drawing is walked.
    VisioApp = nullptr;
    steps({"--cancel"});
    EXPECT_EQ(exportShowingBoxes(), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(ExportToAccessTest, FileThatCannotBeCreatedShowsTheEnginesReason)
{
    drawOrdersAndCustomers();
    const std::string missing = folder.File("no such folder/export.db").string();
    steps({"--file", missing, "--answer", "OK", "--answer", "OK"});
    EXPECT_EQ(exportShowingBoxes(), ui::GuiApplication::Title() + ": Cannot create database \"" +
                                        missing + "\": No such file or directory\n" +
                                        CannotCreateBox);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    EXPECT_FALSE(dmExportAccess->ADOConnection1.Connected());
}

TEST_F(ExportToAccessTest, NameCarryingASecondStatementIsRefusedNotRun)
{
    Sqlite3(path, "create table X(a); insert into X values (1)");
    Table("Object", "First", {Field("Id", "Integer", 1)});
    Table("Object", "T(a int); drop table X; --", {Field("Id", "Integer", 1)});
    Table("Object", "Never", {Field("Id", "Integer", 1)});
    steps({"--file", path});
    try {
        ExportToAccess();
        ADD_FAILURE() << "the smuggled statement was accepted";
    } catch (const jet::JetError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot execute \"create table T(a int); drop table X; --(Id Integer primary key not "
                  "null )\": the text holds more than one statement");
    }
    EXPECT_EQ(Sqlite3(path, "select name from sqlite_master order by rowid"), "X\nFirst\n");
    EXPECT_EQ(Sqlite3(path, "select a from X"), "1\n");
}

TEST_F(ExportToAccessTest, RefusedStatementEndsTheExportKeepingEarlierTables)
{
    Table("Object", "Dup", {Field("Id", "Integer", 1)});
    Table("Object", "Dup", {Field("Id", "Integer", 1)});
    Table("Object", "After", {Field("Id", "Integer", 1)});
    steps({"--file", path});
    EXPECT_THROW(ExportToAccess(), jet::JetError);
    EXPECT_EQ(Sqlite3(path, "select name from sqlite_master"), "Dup\n");
}

TEST_F(ExportToAccessTest, DialogOffersTheSqliteFormat)
{
    drawOrdersAndCustomers();
    const std::string typed = folder.File("typed").string();
    steps({"--file", typed});
    EXPECT_EQ(exportShowingBoxes(), "");
    EXPECT_EQ(Sqlite3(typed + ".db", ".tables"), "Customers  Orders   \n");
    EXPECT_STREQ(DatabaseFileDefaultExt, "db");
    EXPECT_EQ(std::string(DatabaseFileFilter).rfind("SQLite 3 Database (*.db)|*.db", 0), 0u);
}

} // namespace
