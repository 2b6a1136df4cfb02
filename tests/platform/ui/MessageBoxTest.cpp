#include <gtest/gtest.h>

#include "platform/ui/ErrorReport.h"
#include "platform/ui/GuiApplication.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"
#include "support/StderrCapture.h"

namespace ui {
namespace {

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override { Script::Instance().Clear(); }
    void TearDown() override { Script::Instance().Clear(); }

    static void answerWith(const std::string& word)
    {
        Script::Instance().Add({ScriptStep::Answer, "", word, "--answer " + word});
    }
};

TEST_F(MessageBoxTest, HeadlessWithoutStepTakesTheFirstButton)
{
    ASSERT_TRUE(GuiApplication::IsHeadless());
    const std::pair<MbButtons, int> cases[] = {
        {MB_OK, IDOK}, {MB_OKCANCEL, IDOK}, {MB_YESNO, IDYES}, {MB_YESNOCANCEL, IDYES}};
    for (const auto& [buttons, expected] : cases) {
        EXPECT_EQ(MessageBox("text", "caption", buttons, MB_ICONQUESTION), expected);
    }
}

TEST_F(MessageBoxTest, AnswerStepChoosesTheButton)
{
    struct Case {
        MbButtons buttons;
        std::string word;
        int expected;
    };
    const Case cases[] = {
        {MB_OK, "OK", IDOK},          {MB_OKCANCEL, "Cancel", IDCANCEL}, {MB_YESNO, "No", IDNO},
        {MB_YESNOCANCEL, "Yes", IDYES}, {MB_YESNOCANCEL, "Cancel", IDCANCEL},
    };
    for (const Case& c : cases) {
        answerWith(c.word);
        EXPECT_EQ(MessageBox("text", "caption", c.buttons, MB_ICONNONE), c.expected) << c.word;
        EXPECT_TRUE(Script::Instance().Empty());
    }
}

TEST_F(MessageBoxTest, AnswerWithAButtonTheBoxLacksIsAScriptError)
{
    answerWith("Yes");
    try {
        MessageBox("Сохранить?", "Сообщение", MB_OKCANCEL, MB_ICONQUESTION);
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "step 1 (--answer Yes): message box 'Сообщение' has no button Yes");
    }
}

TEST_F(MessageBoxTest, OtherStepsAreLeftForTheWindows)
{
    Script::Instance().Add({ScriptStep::Press, "btnSAVE", "", "--press btnSAVE"});
    EXPECT_EQ(MessageBox("text", "caption", MB_YESNO, MB_ICONNONE), IDYES);
    EXPECT_TRUE(Script::Instance().NextIs(ScriptStep::Press));
}

TEST_F(MessageBoxTest, CaptionAndTextGoToStandardError)
{
    testsupport::StderrCapture capture;
    MessageBox(" Поле уже есть ", "Предупреждение", MB_OK, MB_ICONWARNING);
    MessageBox("first line\nsecond line", "Сообщение", MB_OK, MB_ICONNONE);
    ShowMessage("done\n");
    EXPECT_EQ(capture.Text(), "Предупреждение:  Поле уже есть \n"
                              "Сообщение: first line\nsecond line\n"
                              "test_ui: done\n");
}

TEST_F(MessageBoxTest, ErrorReportTextAddsTheFullStop)
{
    struct Case {
        std::string message;
        unsigned long long address;
        std::string expected;
    };
    const Case cases[] = {
        {"'abc' is not a valid integer value", 0,
         "Exception EConvertError in module test_ui at 00000000.\n'abc' is not a valid integer value.\n"},
        {"Shape 'Process.12' has no property row 6.", 0x1A2B3CULL,
         "Exception EConvertError in module test_ui at 001A2B3C.\nShape 'Process.12' has no property row 6.\n"},
        {"", 0, "Exception EConvertError in module test_ui at 00000000.\n.\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorReportText("EConvertError", c.message, c.address), c.expected);
    }
}

TEST_F(MessageBoxTest, ErrorReportIsABoxCaptionedApplicationError)
{
    testsupport::StderrCapture capture;
    ShowErrorReport("visio::VisioError", "drawing.vsdx: no such file");
    EXPECT_EQ(capture.Text(), "Application Error: Exception visio::VisioError in module test_ui at 00000000.\n"
                              "drawing.vsdx: no such file.\n");
}

TEST_F(MessageBoxTest, ErrorReportIgnoresAStepMeantForSomethingElse)
{
    answerWith("Cancel");
    testsupport::StderrCapture capture;
    EXPECT_NO_THROW(ShowErrorReport("std::runtime_error", "boom"));
    EXPECT_NE(capture.Text().find("Application Error: Exception std::runtime_error"), std::string::npos);
}

TEST(GuiApplication, TitleIsTheExecutableName)
{
    EXPECT_EQ(GuiApplication::Title(), "test_ui");
    EXPECT_EQ(GuiApplication::ModuleName(), "test_ui");
}

} // namespace
} // namespace ui
