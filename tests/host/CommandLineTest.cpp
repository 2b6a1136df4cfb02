#include <gtest/gtest.h>

#include "host/CommandLine.h"
#include "host/Commands.h"

namespace host {
namespace {

std::vector<std::string> run(std::vector<std::string> args)
{
    args.insert(args.begin(), "/opt/kalemar/kalemar");
    return args;
}

TEST(ParseCommandLine, TheLastArgumentIsTheCommandWhateverComesBefore)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"7"}, "7"},
        {{"5", "7"}, "7"},
        {{"7", "abc"}, "abc"},
        {{"--drawing", "order.vsdx", "5"}, "5"},
        {{"--drawing"}, "--drawing"}, // the last argument is never an option's value
        {{}, "/opt/kalemar/kalemar"}, // no arguments: the program's own path
    };
    for (const auto& [args, command] : cases) {
        EXPECT_EQ(ParseCommandLine(run(args)).commandArgument, command);
    }
}

TEST(ParseCommandLine, ReadsTheSession)
{
    CommandLine line = ParseCommandLine(run({"--drawing", "order.vsdx", "--page", "2", "--select", "3", "Process.7",
                                             "--select", "9", "6"}));
    EXPECT_EQ(line.drawing, "order.vsdx");
    EXPECT_EQ(line.page, "2");
    EXPECT_EQ(line.selection, (std::vector<std::string>{"3", "Process.7", "9"}));
    EXPECT_TRUE(line.steps.empty());
    EXPECT_FALSE(line.help);

    visio::SessionOptions options = SessionOptionsOf(line);
    EXPECT_EQ(options.drawingPath, "order.vsdx");
    EXPECT_EQ(options.page, "2");
    EXPECT_EQ(options.selection, line.selection);
    EXPECT_EQ(options.stencilFolders, visio::Application::DefaultStencilFolders());
}

TEST(ParseCommandLine, SelectWithoutValuesSelectsNothing)
{
    EXPECT_TRUE(ParseCommandLine(run({"--select", "7"})).selection.empty());
    EXPECT_TRUE(ParseCommandLine(run({"--select", "--press", "btnClose", "7"})).selection.empty());
}

TEST(ParseCommandLine, ReadsStepsInOrderAmongTheOptions)
{
    CommandLine line = ParseCommandLine(run({"--drawing", "order.vsdx", "--set", "tbCONST=1.", "--choose",
                                             "RzRadioGroup1=0", "--press", "btnSAVE", "--press", "btnClose", "7"}));
    ASSERT_EQ(line.steps.size(), 4u);
    EXPECT_EQ(line.steps[0].kind, ui::ScriptStep::Set);
    EXPECT_EQ(line.steps[0].control, "tbCONST");
    EXPECT_EQ(line.steps[0].value, "1.");
    EXPECT_EQ(line.steps[3].text, "--press btnClose");
    EXPECT_EQ(line.steps[3].number, 4);
    EXPECT_EQ(line.commandArgument, "7");
}

TEST(ParseCommandLine, HelpAnywhereWins)
{
    for (const auto& args : {std::vector<std::string>{"--help"}, {"--help", "7"}, {"7", "--help"},
                             {"--bogus", "--help", "7"}}) {
        EXPECT_TRUE(ParseCommandLine(run(args)).help);
    }
}

TEST(ParseCommandLine, VersionAnywhereEndsTheReading)
{
    for (const auto& args : {std::vector<std::string>{"--version"}, {"--version", "8"}, {"8", "--version"},
                             {"--bogus", "--version", "--drawing"}}) {
        const CommandLine line = ParseCommandLine(run(args));
        EXPECT_TRUE(line.version);
        EXPECT_FALSE(line.help);
    }
    EXPECT_FALSE(ParseCommandLine(run({"8"})).version);
}

TEST(ParseCommandLine, RefusesUnknownOptionsAndMissingValues)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus", "7"}, "unknown option --bogus (kalemar --help)"},
        {{"--drawing", "7"}, "--drawing needs a drawing file (kalemar --help)"},
        {{"--page", "--select", "3", "7"}, "--page needs a page name or number (kalemar --help)"},
        {{"--drawing", "a.vsdx", "--drawing", "b.vsdx", "7"}, "--drawing is given twice"},
    };
    for (const Case& c : cases) {
        try {
            ParseCommandLine(run(c.args));
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const CommandLineError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    EXPECT_THROW(ParseCommandLine(run({"--set", "tbCONST", "7"})), ui::ScriptError);
}

TEST(ParseCommandLine, IgnoresArgumentsThatAreNoOptions)
{
    CommandLine line = ParseCommandLine(run({"5", "-x", "order.vsdx", "7"}));
    EXPECT_TRUE(line.drawing.empty());
    EXPECT_EQ(line.commandArgument, "7");
}

TEST(Commands, TheTableHoldsTwoToElevenAndNothingElse)
{
    for (int number : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
        const CommandEntry* entry = FindCommand(number);
        ASSERT_NE(entry, nullptr) << number;
        EXPECT_EQ(entry->number, number);
    }
    for (int number : {0, 1, 12, -1, -5}) {
        EXPECT_EQ(FindCommand(number), nullptr) << number;
    }
}

TEST(Commands, ACommandNotBuiltYetSaysSo)
{
    const CommandEntry unbuilt{7, "numbering", nullptr};
    try {
        RunCommand(unbuilt);
        FAIL() << "no error";
    } catch (const CommandNotAvailableError& error) {
        EXPECT_STREQ(error.what(), "Command 7 is not available yet");
    }
}

} // namespace
} // namespace host
