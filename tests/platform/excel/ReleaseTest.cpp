// Releasing the application: each new workbook becomes a new BookN.xlsx that
// never replaces a file, its path is printed, a workbook that cannot be
// written leaves nothing behind, and Visible opens what was written only on a
// desktop.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/excel/Excel.h"
#include "platform/excel/NewFile.h"
#include "support/StderrCapture.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/WorkbookReaders.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string releaseError(excel::Application& excel)
{
    try {
        excel.Release();
    } catch (const excel::ExcelError& error) {
        return error.what();
    }
    return "released";
}

TEST(Release, EachWorkbookTakesTheFirstFreeNumberAndItsPathIsPrinted)
{
    testsupport::TempDir folder;
    writeFile(folder.File("Book1.xlsx"), "someone else's");
    writeFile(folder.File("Book3.xlsx"), "another one");
    excel::Application excel({folder.Path().string(), "t", false, {}});
    excel.GetWorkbooks().Add();
    excel.Cells(1, 1, "first");
    excel.GetWorkbooks().Add();
    excel.Cells(1, 1, "second");

    std::vector<std::string> written;
    {
        testsupport::StdoutCapture out;
        written = excel.Release();
        const std::string book2 = folder.File("Book2.xlsx").string();
        const std::string book4 = folder.File("Book4.xlsx").string();
        EXPECT_EQ(written, (std::vector<std::string>{book2, book4}));
        EXPECT_EQ(out.Text(), book2 + "\n" + book4 + "\n");
    }
    EXPECT_EQ(excel.GetWorkbooks().Item(1).FullName(), written[0]);
    EXPECT_EQ(testsupport::FileBytes(folder.File("Book1.xlsx")), "someone else's");
    EXPECT_EQ(testsupport::FileBytes(folder.File("Book3.xlsx")), "another one");
    EXPECT_EQ(testsupport::ReadWorkbookWithOpenpyxl(written[1]).cells, testsupport::CellGrid{{"second"}});
    EXPECT_EQ(testsupport::FileNamesIn(folder.Path()),
              (std::vector<std::string>{"Book1.xlsx", "Book2.xlsx", "Book3.xlsx", "Book4.xlsx"}));

    // A workbook is written once; a later release writes only new ones.
    EXPECT_TRUE(excel.Release().empty());
    excel.GetWorkbooks().Add();
    EXPECT_EQ(excel.Release(), std::vector<std::string>{folder.File("Book5.xlsx").string()});
}

TEST(Release, ANameTakenWhileTheWorkbookIsWrittenIsNotReplaced)
{
    testsupport::TempDir folder;
    const std::string path = excel::WriteNewNumberedFile(folder.Path().string(), "Book", ".xlsx", [&](const std::string& temporary) {
        writeFile(temporary, "ours");
        writeFile(folder.File("Book1.xlsx"), "came first");
    });
    EXPECT_EQ(path, folder.File("Book2.xlsx").string());
    EXPECT_EQ(testsupport::FileBytes(folder.File("Book1.xlsx")), "came first");
    EXPECT_EQ(testsupport::FileBytes(path), "ours");
    EXPECT_EQ(testsupport::FileNamesIn(folder.Path()), (std::vector<std::string>{"Book1.xlsx", "Book2.xlsx"}));
}

TEST(Release, AFailedFillLeavesNoFileBehind)
{
    testsupport::TempDir folder;
    std::string temporary;
    try {
        excel::WriteNewNumberedFile(folder.Path().string(), "Book", ".xlsx", [&](const std::string& path) {
            temporary = path;
            writeFile(path, "half");
            throw excel::ExcelError("the disk broke");
        });
        ADD_FAILURE() << "written";
    } catch (const excel::ExcelError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write the workbook \"" + folder.File("Book1.xlsx").string() + "\": the disk broke");
    }
    EXPECT_EQ(fs::path(temporary).parent_path(), folder.Path());
    EXPECT_TRUE(testsupport::FileNamesIn(folder.Path()).empty());
}

TEST(Release, AMissingFolderIsReportedWithTheFileAndTheReason)
{
    testsupport::TempDir folder;
    excel::Application excel({folder.File("gone").string(), "t", false, {}});
    excel.GetWorkbooks().Add();
    EXPECT_EQ(releaseError(excel),
              "Cannot write the workbook \"" + folder.File("gone/Book1.xlsx").string() + "\": No such file or directory");
    EXPECT_TRUE(testsupport::FileNamesIn(folder.Path()).empty());
}

TEST(Release, AReadOnlyFolderIsReportedWithTheFileAndTheReason)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; the end-to-end case runs kalemar as another user";
    testsupport::TempDir folder;
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    excel::Application excel({folder.Path().string(), "t", false, {}});
    excel.GetWorkbooks().Add();
    const std::string message = releaseError(excel);
    fs::permissions(folder.Path(), fs::perms::owner_all);
    EXPECT_EQ(message, "Cannot write the workbook \"" + folder.File("Book1.xlsx").string() + "\": Permission denied");
    EXPECT_TRUE(testsupport::FileNamesIn(folder.Path()).empty());
}

// A disk that takes no more than a few hundred bytes: the process may not
// write beyond that size into any file.
class SmallDisk {
public:
    SmallDisk()
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = 300;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~SmallDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    sighandler_t previous_ = SIG_DFL;
};

TEST(Release, AFullDiskIsReportedAndNoHalfWrittenWorkbookStays)
{
    testsupport::TempDir folder;
    excel::Application excel({folder.Path().string(), "t", false, {}});
    excel.GetWorkbooks().Add();
    for (int row = 1; row <= 200; ++row)
        excel.Cells(row, 1, "Строка " + std::to_string(row));
    std::string message;
    {
        testsupport::StderrCapture err;
        {
            SmallDisk disk;
            message = releaseError(excel);
        }
        // The library's own complaint names the temporary file; only ours is told.
        EXPECT_EQ(err.Text(), "");
    }
    EXPECT_EQ(message, "Cannot write the workbook \"" + folder.File("Book1.xlsx").string() + "\": File too large");
    EXPECT_TRUE(testsupport::FileNamesIn(folder.Path()).empty());
    EXPECT_EQ(excel.GetWorkbooks().Item(1).FullName(), "");

    // With room again, the same workbook is written whole.
    EXPECT_EQ(excel.Release(), std::vector<std::string>{folder.File("Book1.xlsx").string()});
    EXPECT_EQ(testsupport::ReadWorkbookWithOpenpyxl(folder.File("Book1.xlsx").string()).cells.size(), 200u);
}

TEST(Release, VisibleOpensTheWrittenWorkbooksOnlyOnADesktop)
{
    struct Case {
        bool visible;
        bool desktop;
        bool opened;
    } cases[] = {
        {true, true, true},
        {true, false, false},
        {false, true, false},
        {false, false, false},
    };
    for (const Case& c : cases) {
        testsupport::TempDir folder;
        std::vector<std::string> opened;
        excel::Application excel({folder.Path().string(), "t", c.desktop, [&](const std::string& path) { opened.push_back(path); }});
        excel.SetVisible(c.visible);
        excel.GetWorkbooks().Add();
        excel.GetWorkbooks().Add();
        const std::vector<std::string> written = excel.Release();
        EXPECT_EQ(opened, c.opened ? written : std::vector<std::string>{}) << c.visible << c.desktop;
    }
}

TEST(Cells, GoToTheActiveSheetOfTheNewestWorkbook)
{
    testsupport::TempDir folder;
    excel::Application excel({folder.Path().string(), "t", false, {}});
    EXPECT_THROW(excel.Cells(1, 1, "x"), excel::ExcelError);
    excel.GetWorkbooks().Add();
    excel.Cells(1, 1, "first");
    excel.GetWorkbooks().Add();
    excel.Cells(1, 1, "second");
    excel.Cells(2, 2, "gone");
    excel.Cells(2, 2, "");
    EXPECT_EQ(excel.GetWorkbooks().Item(1).ActiveSheet().Cell(1, 1), "first");
    const excel::Worksheet& newest = excel.GetWorkbooks().Item(2).ActiveSheet();
    EXPECT_EQ(newest.Cell(1, 1), "second");
    EXPECT_EQ(newest.Cells().size(), 1u);
    EXPECT_EQ(newest.LastRow(), 1);
    EXPECT_EQ(newest.LastColumn(), 1);

    for (auto [row, column] : {std::pair{0, 1}, {1, 0}, {excel::MaxRows + 1, 1}, {1, excel::MaxColumns + 1}})
        EXPECT_THROW(excel.Cells(row, column, "x"), excel::ExcelError) << row << "," << column;
    excel.Cells(excel::MaxRows, excel::MaxColumns, "last");
    EXPECT_THROW(excel.GetWorkbooks().Item(3), excel::ExcelError);
}

} // namespace
