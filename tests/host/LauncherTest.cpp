// The launcher as a user runs it: the built executable, its exit code and
// what it writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

using testsupport::KalemarExecutable;
using testsupport::RunProgram;
using testsupport::RunResult;

const char* const kSample = "pyvsdx_test6_shape_properties.vsdx";

// The error report as it reaches standard error, whatever the code address.
std::string reportWithoutAddress(const std::string& err)
{
    return std::regex_replace(err, std::regex(" at [0-9A-F]{8,}\\."), " at ADDRESS.");
}

std::string report(const std::string& type, const std::string& message)
{
    return "Application Error: Exception " + type + " in module kalemar at ADDRESS.\n" + message + "\n";
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class LauncherTest : public testing::Test {
protected:
    testsupport::TempDir folder;

    RunResult kalemar(const std::vector<std::string>& args, testsupport::RunOptions options = {})
    {
        if (options.workingDirectory.empty()) {
            options.workingDirectory = folder.Path().string();
        }
        return RunProgram(KalemarExecutable(), args, options);
    }

    std::string drawingCopy() { return folder.CopyIn(testsupport::SamplePath(kSample), "order.vsdx").string(); }
};

TEST_F(LauncherTest, NumbersThatRunNothingEndQuietly)
{
    const std::vector<std::vector<std::string>> cases{
        {"1"}, {"12"}, {"0"}, {"-3"}, {"5", "1"}, {"5", "12"}, {"abc", "1"}, {"--select", "1"},
    };
    for (const auto& args : cases) {
        RunResult result = kalemar(args);
        EXPECT_EQ(result.exitCode, 0) << args.back() << result.err;
        EXPECT_EQ(result.out, "") << args.back();
        EXPECT_EQ(result.err, "") << args.back();
    }
}

TEST_F(LauncherTest, ABadCommandNumberEndsWithTheErrorReport)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"7", "abc"}, "'abc' is not a valid integer value."},
        {{"1", "abc"}, "'abc' is not a valid integer value."},
        {{"7", "2147483648"}, "'2147483648' is not a valid integer value."},
        {{"7", ""}, "'' is not a valid integer value."},
        {{"7", "1.5"}, "'1.5' is not a valid integer value."},
    };
    for (const Case& c : cases) {
        RunResult result = kalemar(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.message;
        EXPECT_EQ(reportWithoutAddress(result.err), report("EConvertError", c.message));
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(LauncherTest, WithoutArgumentsTheProgramsOwnPathIsTheNumber)
{
    RunResult result = RunProgram(KalemarExecutable(), {});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(reportWithoutAddress(result.err),
              report("EConvertError", "'" + KalemarExecutable() + "' is not a valid integer value."));
}

TEST_F(LauncherTest, TheNumberIsReadOnlyAfterTheDrawingWasOpened)
{
    RunResult result = kalemar({"--drawing", folder.File("missing.vsdx").string(), "abc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Application Error: Exception visio::VisioError in module kalemar at "), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("missing.vsdx"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("is not a valid integer value"), std::string::npos) << result.err;
}

TEST_F(LauncherTest, TheReportNamesTheSameAddressOnEveryRun)
{
    RunResult first = kalemar({"7", "abc"});
    RunResult second = kalemar({"7", "x"});
    std::smatch a;
    std::smatch b;
    ASSERT_TRUE(std::regex_search(first.err, a, std::regex(" at ([0-9A-F]{8,})\\.")));
    ASSERT_TRUE(std::regex_search(second.err, b, std::regex(" at ([0-9A-F]{8,})\\.")));
    EXPECT_EQ(a[1], b[1]);
    EXPECT_NE(a[1], "00000000");
}

TEST_F(LauncherTest, CommandLineErrorsEndWithTheErrorReport)
{
    struct Case {
        std::vector<std::string> args;
        std::string type;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus", "1"}, "host::CommandLineError", "unknown option --bogus (kalemar --help)."},
        {{"--drawing", "1"}, "host::CommandLineError", "--drawing needs a drawing file (kalemar --help)."},
        {{"--set", "tbCONST", "1"}, "ui::ScriptError", "--set got 'tbCONST': write --set NAME=TEXT."},
        {{"--press", "btnClose", "1"}, "ui::ScriptError",
         "step 1 (--press btnClose): no window, message box or file dialog is open."},
    };
    for (const Case& c : cases) {
        RunResult result = kalemar(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.message;
        EXPECT_EQ(reportWithoutAddress(result.err), report(c.type, c.message));
    }
}

TEST_F(LauncherTest, AnOpenedDrawingThatNoCommandChangedIsLeftAlone)
{
    const std::string drawing = drawingCopy();
    const std::string before = fileBytes(drawing);
    RunResult result = kalemar({"--drawing", drawing, "--page", "master_test", "--select", "4", "data_prop_test", "1"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(fileBytes(drawing), before);
}

TEST_F(LauncherTest, ASelectionOfAShapeThatIsNotThereIsAnError)
{
    RunResult result = kalemar({"--drawing", drawingCopy(), "--page", "master_test", "--select", "nosuch", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Exception visio::VisioError"), std::string::npos) << result.err;
}

TEST_F(LauncherTest, RunsWithoutADisplayOnItsOwn)
{
    testsupport::RunOptions options;
    options.environment = {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt},
                           {"QT_QPA_PLATFORM", std::nullopt}, {"XDG_RUNTIME_DIR", std::nullopt}};
    RunResult quiet = kalemar({"1"}, options);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
    RunResult failing = kalemar({"abc"}, options);
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_EQ(reportWithoutAddress(failing.err), report("EConvertError", "'abc' is not a valid integer value."));
}

TEST_F(LauncherTest, HelpIsPrintedWhereverItStands)
{
    for (const auto& args : {std::vector<std::string>{"--help"}, {"7", "--help"}, {"--help", "7"}}) {
        RunResult result = kalemar(args);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out.rfind("Usage: kalemar [SESSION] [STEPS] COMMAND\n", 0), 0u) << result.out;
        for (const char* part : {"--drawing FILE.vsdx", "--page NAME|INDEX", "--select ID|NAME", "--answer BUTTON",
                                 "--set tbCONST=1. --choose RzRadioGroup1=0", "  11  ", "Exit codes:"}) {
            EXPECT_NE(result.out.find(part), std::string::npos) << part;
        }
    }
}

} // namespace
