#include "host/Launcher.h"

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/Commands.h"
#include "host/CurrentError.h"
#include "host/Globals.h"
#include "host/HelpText.h"
#include "model/Utils.h"
#include "platform/ui/ErrorReport.h"
#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"
#include "windows/Unit_Kart_Version.h"

namespace host {

namespace {

// The code running when an error escapes: the launcher, or the command it
// called. The error report names it.
const void* runningCode = nullptr;

template <typename Function>
const void* codeOf(Function* function)
{
    return reinterpret_cast<const void*>(function);
}

void queueSteps(const std::vector<ui::ScriptStep>& steps)
{
    ui::Script& script = ui::Script::Instance();
    script.Clear();
    for (const ui::ScriptStep& step : steps) {
        script.Add(step);
    }
}

void runCommandNumber(int number)
{
    const CommandEntry* command = FindCommand(number);
    if (command == nullptr) {
        return;
    }
    if (command->run != nullptr) {
        runningCode = codeOf(command->run);
    }
    RunCommand(*command);
    runningCode = codeOf(&RunLauncher);
}

// A step failure that no window raised again still ends the run, and so do
// steps that nothing used.
void finishScript()
{
    ui::Script& script = ui::Script::Instance();
    if (std::exception_ptr failure = script.TakeFailure()) {
        std::rethrow_exception(failure);
    }
    script.CheckAllUsed();
}

void clearGlobals()
{
    SelectedShape = visio::Shape();
    VisioApp = nullptr;
}

void saveChangedDocuments()
{
    for (const std::string& path : VisioApp->SaveChangedDocuments()) {
        std::cout << path << '\n';
    }
    std::cout.flush();
}

int run(const std::vector<std::string>& arguments, std::unique_ptr<visio::Application>& session)
{
    const CommandLine line = ParseCommandLine(arguments);
    if (line.help) {
        std::cout << HelpText();
        std::cout.flush();
        return 0;
    }
    if (line.version) {
        const std::string version = AppVersionText();
        std::cout << ui::GuiApplication::Title() << (version.empty() ? "" : " " + version) << std::endl;
        return 0;
    }
    queueSteps(line.steps);
    session = std::make_unique<visio::Application>(SessionOptionsOf(line));
    VisioApp = session.get();
    SelectedShape = CaptureSelection(*VisioApp);
    // The number is read only once the session is open, so an argument error
    // is reported after the drawing was reached.
    runCommandNumber(StrToInt(line.commandArgument));
    finishScript();
    saveChangedDocuments();
    clearGlobals();
    session.reset();
    return 0;
}

} // namespace

visio::Shape CaptureSelection(const visio::Application& application)
{
    if (application.ActiveWindow().GetSelection().Count() > 0) {
        return application.ActiveWindow().GetSelection().Item(1);
    }
    return visio::Shape();
}

int RunLauncher(int argc, char** argv)
{
    // Kept before Qt takes its own options out of argv: the last argument is
    // the command number whatever it is.
    const std::vector<std::string> arguments(argv, argv + argc);
    ui::GuiApplication application(argc, argv);
    std::unique_ptr<visio::Application> session;
    runningCode = codeOf(&RunLauncher);
    try {
        return run(arguments, session);
    } catch (...) {
        const ErrorDescription error = DescribeCurrentException();
        clearGlobals();
        session.reset();
        ui::ShowErrorReport(error.typeName, error.message, ModuleOffset(runningCode));
        return 1;
    }
}

} // namespace host
