#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QListView>

#include <fstream>
#include <set>

#include "platform/ui/FileDialogs.h"
#include "platform/ui/Script.h"
#include "support/TempDir.h"

namespace ui {
namespace {

TEST(QtFileFilter, ConvertsWindowsFilters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Access Database (*.mdb)|*.mdb|All (*.*)|*.*", "Access Database (*.mdb);;All (*)"},
        {"Texts|*.txt;*.rtf", "Texts (*.txt *.rtf)"},
        {"SQLite database (*.mdb)|*.mdb", "SQLite database (*.mdb)"},
        {"|*.vsdx", "*.vsdx"},
        {"", ""},
        {"Odd description only", ""},
    };
    for (const auto& [windows, qt] : cases) {
        EXPECT_EQ(QtFileFilter(windows).toStdString(), qt) << windows;
    }
}

TEST(WithDefaultExtension, AppendsOnlyWhenTheNameHasNone)
{
    struct Case {
        std::string path, ext, expected;
    };
    const Case cases[] = {
        {"base", "mdb", "base.mdb"},         {"base", ".mdb", "base.mdb"},
        {"base.db", "mdb", "base.db"},       {"dir.d/base", "mdb", "dir.d/base.mdb"},
        {"base", "", "base"},                {"/tmp/Отчёт", "mdb", "/tmp/Отчёт.mdb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithDefaultExtension(c.path, c.ext), c.expected) << c.path;
    }
}

class FileDialogTest : public testing::Test {
protected:
    void SetUp() override { Script::Instance().Clear(); }
    void TearDown() override { Script::Instance().Clear(); }
};

TEST_F(FileDialogTest, FileStepAnswersWithTheDefaultExtension)
{
    Script::Instance().Add({ScriptStep::File, "", "out/base", "--file out/base"});
    EXPECT_EQ(SaveFileDialog("Access Database (*.mdb)|*.mdb", "mdb"), "out/base.mdb");
    Script::Instance().Add({ScriptStep::File, "", "notes.txt", "--file notes.txt"});
    EXPECT_EQ(OpenFileDialog(""), "notes.txt");
    EXPECT_TRUE(Script::Instance().Empty());
}

TEST_F(FileDialogTest, CancelStepCancels)
{
    Script::Instance().Add({ScriptStep::Cancel, "", "", "--cancel"});
    EXPECT_EQ(OpenFileDialog(""), std::nullopt);
    EXPECT_TRUE(Script::Instance().Empty());
}

TEST_F(FileDialogTest, HeadlessWithoutAFileStepIsAScriptError)
{
    try {
        SaveFileDialog("", "mdb");
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "file dialog 'Save As' waits for a person: give a --file or --cancel step (kalemar --help)");
    }
    Script::Instance().Add({ScriptStep::Press, "btnOPEN", "", "--press btnOPEN"});
    try {
        OpenFileDialog("");
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "step 1 (--press btnOPEN): file dialog 'Open' is open and needs a --file or --cancel step");
    }
}

// The names a person's open dialog lists, once its folder has been read.
std::set<std::string> listedNames(QFileDialog& dialog, std::size_t expected)
{
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    EXPECT_NE(view, nullptr);
    std::set<std::string> names;
    QDeadlineTimer deadline(10000);
    while (view != nullptr && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        names.clear();
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            names.insert(model->index(row, 0, view->rootIndex()).data().toString().toStdString());
        }
        if (names.size() >= expected) {
            break;
        }
    }
    return names;
}

TEST(PrepareFileDialog, MasksMatchWithoutRegardToCase)
{
    testsupport::TempDir folder;
    for (const char* name : {"notes.txt", "Rule.Rtf", "UPPER.TXT", "other.doc", "txt"}) {
        std::ofstream(folder.File(name)) << "x";
    }
    QFileDialog dialog;
    PrepareFileDialog(dialog, "*.TXT, *.RTF|*.TXT;*.RTF", folder.File("notes.txt").string());
    dialog.setDirectory(QString::fromStdString(folder.Path().string()));
    EXPECT_EQ(listedNames(dialog, 3), (std::set<std::string>{"Rule.Rtf", "UPPER.TXT", "notes.txt"}));
    EXPECT_EQ(dialog.selectedFiles().value(0).toStdString(), folder.File("notes.txt").string());
}

} // namespace
} // namespace ui
