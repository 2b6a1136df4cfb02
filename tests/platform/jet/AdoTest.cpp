#include "platform/jet/Ado.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "platform/jet/Dao.h"
#include "platform/jet/SqliteShell.h"
#include "support/TempDir.h"

namespace {

using jettest::Sqlite3;
using testsupport::TempDir;

std::string jetConnectionString(const std::string& path)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
           ";Mode=ReadWrite;Persist Security Info=False";
}

void createDatabase(const std::string& path)
{
    jet::DBEngine engine;
    engine.Workspaces(0).CreateDatabase(path, jet::dbLangGeneral, jet::dbVersion30);
}

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const jet::JetError& error) {
        return error.what();
    }
    return "no error";
}

class AdoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createDatabase(path);
        connection.SetConnectionString(jetConnectionString(path));
        connection.Open();
    }

    int execute(const std::string& sql)
    {
        query.SQL().Clear();
        query.SQL().Add(sql);
        return query.ExecSQL();
    }

    TempDir folder;
    const std::string path = folder.File("export.mdb").string();
    jet::Connection connection;
    jet::Query query{connection};
};

TEST_F(AdoTest, ExecutesOneStatementOnTheNamedFile)
{
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(execute("create table Customers(Id Integer primary key not null )"), 0);
    execute("create table Orders(Id Integer primary key not null , CustomerId Integer constraint "
            "FK_Customers_Id references Customers(Id), Note Text(255))");
    EXPECT_EQ(Sqlite3(path, ".tables"), "Customers  Orders   \n");
    EXPECT_EQ(Sqlite3(path, "PRAGMA foreign_key_list(Orders)"),
              "0|0|Customers|CustomerId|Id|NO ACTION|NO ACTION|NONE\n");
    EXPECT_EQ(execute("insert into Customers values (1)"), 1);
}

TEST_F(AdoTest, AcceptsTrailingBlanksSemicolonsAndComments)
{
    const char* const cases[] = {
        "create table A(x);",
        "create table B(x) ;  \n ; ",
        "create table C(x); -- the end",
        "create table D(x) /* note */",
        "\n  create table E(x)\n",
    };
    for (const char* sql : cases)
        EXPECT_EQ(errorOf([&] { execute(sql); }), "no error") << sql;
    EXPECT_EQ(Sqlite3(path, ".tables"), "A  B  C  D  E\n");
}

TEST_F(AdoTest, RefusesASecondStatementAndRunsNothing)
{
    execute("create table X(a)");
    execute("insert into X values (42)");
    const char* const cases[] = {
        "create table T(a int); drop table X; --(Id Integer)",
        "create table T(a); create table U(b)",
        "create table T(a); insert into X values (1)",
        "select 1; delete from X",
        "create table T(a); garbage that does not parse",
    };
    for (const char* sql : cases)
        EXPECT_EQ(errorOf([&] { execute(sql); }),
                  "Cannot execute \"" + std::string(sql) + "\": the text holds more than one statement");
    EXPECT_EQ(Sqlite3(path, ".tables"), "X\n");
    EXPECT_EQ(Sqlite3(path, "select a from X"), "42\n");
}

TEST_F(AdoTest, ReportsTheStatementAndSqlitesReason)
{
    EXPECT_EQ(errorOf([&] { execute("create table (x)"); }),
              "Cannot execute \"create table (x)\": near \"(\": syntax error");
    EXPECT_EQ(errorOf([&] { execute("  -- nothing"); }),
              "Cannot execute \"  -- nothing\": the text holds no statement");
    EXPECT_EQ(errorOf([&] { execute(std::string("create table N(x)\0drop table N", 30)); }),
              "Cannot execute \"create table N(x)\\0drop table N\": the text holds a NUL character");
    execute("create table Twice(x)");
    EXPECT_EQ(errorOf([&] { execute("create table Twice(x)"); }),
              "Cannot execute \"create table Twice(x)\": table Twice already exists");
}

TEST_F(AdoTest, EnforcesForeignKeys)
{
    execute("create table P(Id Integer primary key not null )");
    execute("create table C(Ref Integer constraint FK_P_Id references P(Id))");
    EXPECT_EQ(errorOf([&] { execute("insert into C values (7)"); }),
              "Cannot execute \"insert into C values (7)\": FOREIGN KEY constraint failed");
}

TEST_F(AdoTest, JoinsTheLinesOfTheStatementText)
{
    query.SQL().Clear();
    query.SQL().Add("create table Lines(");
    query.SQL().Add("  x)");
    EXPECT_EQ(query.SQL().Text(), "create table Lines(\n  x)");
    query.ExecSQL();
    EXPECT_EQ(Sqlite3(path, ".tables"), "Lines\n");
}

TEST(Connection, OpensButNeverCreates)
{
    TempDir folder;
    const std::string missing = folder.File("missing.mdb").string();
    std::ofstream(folder.File("text.mdb").string()) << "This is a text file and no database at all.\n";
    struct Case {
        std::string connectionString;
        std::string message;
    };
    const Case cases[] = {
        {jetConnectionString(missing), "Cannot open database \"" + missing +
                                           "\": unable to open database file (No such file or directory)"},
        {jetConnectionString(folder.File("text.mdb").string()),
         "Cannot open database \"" + folder.File("text.mdb").string() + "\": file is not a database"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Mode=ReadWrite",
         "Cannot open a database: the connection string names no Data Source"},
        {"Data Source=;Mode=ReadWrite", "Cannot open a database: the connection string names no Data Source"},
    };
    for (const auto& c : cases) {
        jet::Connection connection;
        connection.SetConnectionString(c.connectionString);
        EXPECT_EQ(errorOf([&] { connection.Open(); }), c.message) << c.connectionString;
        EXPECT_FALSE(connection.Connected());
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(Connection, ReadsTheDataSourceAsOleDbWritesIt)
{
    TempDir folder;
    const std::string odd = folder.File("semi;colon 'q'.db").string();
    const std::string plain = folder.File("plain.db").string();
    createDatabase(odd);
    createDatabase(plain);
    const std::string cases[] = {
        "Data Source=\"" + odd + "\";Mode=ReadWrite",
        "provider=x; data source = '" + std::string(folder.File("semi;colon ''q''.db").string()) + "' ;",
        "Mode=ReadWrite;DATA SOURCE=  " + plain + "  ",
    };
    for (const auto& text : cases) {
        jet::Connection connection;
        connection.SetConnectionString(text);
        EXPECT_EQ(errorOf([&] { connection.Open(); }), "no error") << text;
        EXPECT_EQ(connection.ConnectionString(), text);
    }
}

TEST(Connection, ReadModeRefusesWriting)
{
    TempDir folder;
    const std::string path = folder.File("ro.db").string();
    createDatabase(path);
    jet::Connection connection;
    connection.SetConnectionString("Data Source=" + path + ";Mode=Read");
    connection.Open();
    jet::Query query(connection);
    query.SQL().Add("create table T(x)");
    EXPECT_EQ(errorOf([&] { query.ExecSQL(); }),
              "Cannot execute \"create table T(x)\": attempt to write a readonly database");
}

TEST(Query, NeedsAnOpenConnection)
{
    jet::Connection connection;
    jet::Query query(connection);
    query.SQL().Add("create table T(x)");
    EXPECT_EQ(errorOf([&] { query.ExecSQL(); }),
              "Cannot execute \"create table T(x)\": the connection is not open");
}

} // namespace
