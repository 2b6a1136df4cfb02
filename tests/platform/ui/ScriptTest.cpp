#include <gtest/gtest.h>

#include "platform/ui/Script.h"

namespace ui {
namespace {

struct ParseCase {
    std::vector<std::string> args;
    ScriptStep::Kind kind;
    std::string control;
    std::string value;
    std::string text;
};

const ParseCase kParseCases[] = {
    {{"--set", "tbCONST=1."}, ScriptStep::Set, "tbCONST", "1.", "--set tbCONST=1."},
    {{"--set", "edtNAIM="}, ScriptStep::Set, "edtNAIM", "", "--set edtNAIM="},
    {{"--set", "edtNAIM=a=b"}, ScriptStep::Set, "edtNAIM", "a=b", "--set edtNAIM=a=b"},
    {{"--tick", "cbCOPY"}, ScriptStep::Tick, "cbCOPY", "", "--tick cbCOPY"},
    {{"--untick", "cbCOPY"}, ScriptStep::Untick, "cbCOPY", "", "--untick cbCOPY"},
    {{"--choose", "RzRadioGroup1=0"}, ScriptStep::Choose, "RzRadioGroup1", "0", "--choose RzRadioGroup1=0"},
    {{"--choose", "cbTYPE=@VarChar"}, ScriptStep::Choose, "cbTYPE", "@VarChar", "--choose cbTYPE=@VarChar"},
    {{"--press", "btnSAVE"}, ScriptStep::Press, "btnSAVE", "", "--press btnSAVE"},
    {{"--mark", "reTEXT=Склад"}, ScriptStep::Mark, "reTEXT", "Склад", "--mark reTEXT=Склад"},
    {{"--print", "tvFields"}, ScriptStep::Print, "tvFields", "", "--print tvFields"},
    {{"--answer", "yes"}, ScriptStep::Answer, "", "Yes", "--answer yes"},
    {{"--answer", "CANCEL"}, ScriptStep::Answer, "", "Cancel", "--answer CANCEL"},
    {{"--file", "out/base.mdb"}, ScriptStep::File, "", "out/base.mdb", "--file out/base.mdb"},
    {{"--cancel"}, ScriptStep::Cancel, "", "", "--cancel"},
};

TEST(ParseScriptArgument, ParsesEachStepAndMovesPastIt)
{
    for (const ParseCase& c : kParseCases) {
        std::vector<std::string> args = c.args;
        args.push_back("7");
        std::size_t i = 0;
        std::optional<ScriptStep> step = ParseScriptArgument(args, i);
        ASSERT_TRUE(step) << c.text;
        EXPECT_EQ(step->kind, c.kind) << c.text;
        EXPECT_EQ(step->control, c.control) << c.text;
        EXPECT_EQ(step->value, c.value) << c.text;
        EXPECT_EQ(step->text, c.text);
        EXPECT_EQ(i, c.args.size()) << c.text;
    }
}

TEST(ParseScriptArgument, LeavesOtherArgumentsAlone)
{
    const std::vector<std::string> args{"--drawing", "order.vsdx", "5", "--help"};
    for (std::size_t start = 0; start < args.size(); ++start) {
        std::size_t i = start;
        EXPECT_FALSE(ParseScriptArgument(args, i)) << args[start];
        EXPECT_EQ(i, start);
    }
}

TEST(ParseScriptArgument, RefusesMalformedSteps)
{
    const std::vector<std::vector<std::string>> malformed{
        {"--press"},                  // no value at all
        {"--press", "--tick"},        // the next option is no value
        {"--set", "tbCONST"},         // no "="
        {"--set", "=1."},             // no control name
        {"--choose", "rgTYPE=first"}, // neither an index nor "@text"
        {"--choose", "rgTYPE=-1"},
        {"--answer", "Retry"},        // no such button
        {"--file"},
    };
    for (const auto& args : malformed) {
        std::size_t i = 0;
        EXPECT_THROW(ParseScriptArgument(args, i), ScriptError) << args.front();
    }
}

TEST(ParseScriptArgument, NamesTheUsageInItsError)
{
    std::vector<std::string> args{"--set", "tbCONST"};
    std::size_t i = 0;
    try {
        ParseScriptArgument(args, i);
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "--set got 'tbCONST': write --set NAME=TEXT");
    }
}

TEST(Script, NumbersStepsAndKeepsTheirOrder)
{
    Script& script = Script::Instance();
    script.Clear();
    EXPECT_FALSE(script.HadSteps());
    script.Add({ScriptStep::Press, "a", "", "--press a"});
    script.Add({ScriptStep::Answer, "", "OK", "--answer OK"});
    EXPECT_TRUE(script.NextIs(ScriptStep::Press));
    EXPECT_EQ(DescribeStep(script.Take()), "step 1 (--press a)");
    EXPECT_EQ(DescribeStep(script.Peek()), "step 2 (--answer OK)");
    try {
        script.CheckAllUsed();
        FAIL() << "a step is left";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(), "step 2 (--answer OK): no window, message box or file dialog is open");
    }
    script.Take();
    EXPECT_TRUE(script.Empty());
    EXPECT_TRUE(script.HadSteps());
    EXPECT_NO_THROW(script.CheckAllUsed());
    script.Clear();
}

} // namespace
} // namespace ui
