#include <gtest/gtest.h>

#include "platform/ui/FileDialogs.h"
#include "platform/ui/Script.h"

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

} // namespace
} // namespace ui
