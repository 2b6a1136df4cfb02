#include "platform/jet/Dao.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

#include "platform/jet/SqliteShell.h"
#include "support/TempDir.h"

namespace {

using jettest::Sqlite3;
using testsupport::TempDir;

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

jet::Database create(const std::string& path)
{
    jet::DBEngine engine;
    return engine.Workspaces(0).CreateDatabase(path, jet::dbLangGeneral, jet::dbVersion30);
}

TEST(CreateDatabase, WritesAnEmptySqliteDatabase)
{
    TempDir folder;
    const std::string path = folder.File("new.mdb").string();
    {
        const jet::Database database = create(path);
        EXPECT_EQ(database.Name(), path);
    }
    EXPECT_EQ(contentsOf(path).substr(0, 16), std::string("SQLite format 3\0", 16));
    EXPECT_EQ(Sqlite3(path, "PRAGMA integrity_check"), "ok\n");
    EXPECT_EQ(Sqlite3(path, ".schema"), "");
    // Dropped, the database is closed: another program can write it.
    EXPECT_EQ(Sqlite3(path, "create table t(a); select count(*) from sqlite_master"), "1\n");
}

struct RefusalCase {
    const char* what;
    std::string path;
    const char* reason;
};

TEST(CreateDatabase, RefusesWithTheReasonAndLeavesNoFile)
{
    TempDir folder;
    std::ofstream(folder.File("plain.txt").string()) << "not a folder";
    std::ofstream(folder.File("taken.db").string()) << "someone else's";
    std::filesystem::create_directory(folder.File("folder.db").string());
    const RefusalCase cases[] = {
        {"missing folder", folder.File("missing/new.db").string(), "No such file or directory"},
        {"parent is a file", folder.File("plain.txt/new.db").string(), "Not a directory"},
        {"file exists", folder.File("taken.db").string(), "Database already exists"},
        {"folder of that name", folder.File("folder.db").string(), "Database already exists"},
        {"name too long", folder.File(std::string(300, 'x') + ".db").string(), "File name too long"},
        {"no name", "", "no file name given"},
    };
    for (const auto& c : cases) {
        try {
            create(c.path);
            ADD_FAILURE() << c.what << ": created";
        } catch (const jet::JetError& error) {
            EXPECT_EQ(error.what(), "Cannot create database \"" + c.path + "\": " + c.reason)
                << c.what;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing").string()));
    EXPECT_EQ(contentsOf(folder.File("taken.db").string()), "someone else's");
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("folder.db").string()));
}

TEST(CreateDatabase, ReadOnlyFolderGivesThePermissionReason)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir folder;
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec);
    const std::string path = folder.File("new.db").string();
    std::string message = "created in a read-only folder";
    try {
        create(path);
    } catch (const jet::JetError& error) {
        message = error.what();
    }
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(message, "Cannot create database \"" + path + "\": Permission denied");
}

TEST(DBEngine, HasOnlyTheDefaultWorkspace)
{
    jet::DBEngine engine;
    EXPECT_EQ(&engine.Workspaces(0), &engine.Workspaces(0));
    EXPECT_THROW(engine.Workspaces(1), jet::JetError);
}

} // namespace
