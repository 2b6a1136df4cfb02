#include "host/CommandLine.h"

#include <algorithm>
#include <cstddef>

namespace host {

namespace {

bool isOption(const std::string& argument)
{
    return argument.rfind("--", 0) == 0;
}

std::string takeValue(const std::vector<std::string>& options, std::size_t& i, const std::string& what)
{
    const std::string& option = options[i];
    if (i + 1 >= options.size() || isOption(options[i + 1])) {
        throw CommandLineError(option + " needs " + what + " (kalemar --help)");
    }
    i += 2;
    return options[i - 1];
}

void setOnce(std::string& target, const std::vector<std::string>& options, std::size_t& i, const std::string& what)
{
    const std::string option = options[i];
    if (!target.empty()) {
        throw CommandLineError(option + " is given twice");
    }
    target = takeValue(options, i, what);
}

// --select takes every following argument up to the next option.
void takeSelection(const std::vector<std::string>& options, std::size_t& i, std::vector<std::string>& selection)
{
    for (++i; i < options.size() && !isOption(options[i]); ++i) {
        selection.push_back(options[i]);
    }
}

void readOption(const std::vector<std::string>& options, std::size_t& i, CommandLine& line)
{
    const std::string& option = options[i];
    if (option == "--drawing") {
        setOnce(line.drawing, options, i, "a drawing file");
    } else if (option == "--page") {
        setOnce(line.page, options, i, "a page name or number");
    } else if (option == "--select") {
        takeSelection(options, i, line.selection);
    } else if (std::optional<ui::ScriptStep> step = ui::ParseScriptArgument(options, i)) {
        step->number = static_cast<int>(line.steps.size()) + 1;
        line.steps.push_back(*step);
    } else if (isOption(option)) {
        throw CommandLineError("unknown option " + option + " (kalemar --help)");
    } else {
        ++i;
    }
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    if (arguments.empty()) {
        return line;
    }
    line.help = std::find(arguments.begin() + 1, arguments.end(), "--help") != arguments.end();
    line.version = std::find(arguments.begin() + 1, arguments.end(), "--version") != arguments.end();
    line.commandArgument = arguments.back();
    if (line.help || line.version || arguments.size() < 2) {
        return line;
    }
    const std::vector<std::string> options(arguments.begin() + 1, arguments.end() - 1);
    for (std::size_t i = 0; i < options.size();) {
        readOption(options, i, line);
    }
    return line;
}

visio::SessionOptions SessionOptionsOf(const CommandLine& line)
{
    visio::SessionOptions options;
    options.drawingPath = line.drawing;
    options.page = line.page;
    options.selection = line.selection;
    options.stencilFolders = visio::Application::DefaultStencilFolders();
    return options;
}

} // namespace host
