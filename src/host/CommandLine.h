#pragma once

// The command line of a run: the session it opens, the scripted steps, and
// the command number as its last argument.

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/Script.h"
#include "platform/visio/Visio.h"

namespace host {

// An option the launcher does not know, or one without its value.
class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    bool help = false;                 // --help anywhere: print the help and end
    bool version = false;              // --version anywhere: print the version and end
    std::string drawing;               // --drawing FILE
    std::string page;                  // --page NAME|INDEX
    std::vector<std::string> selection; // --select ID|NAME ..., in order
    std::vector<ui::ScriptStep> steps; // in order, numbered from 1
    std::string commandArgument;       // the last argument, argument 0 when there is none
};

// Reads a run's arguments (`arguments[0]` is the program's path). Options are
// read only before the last argument, which is always the command number;
// other arguments that are no options are ignored ("5 7" runs 7); --help and
// --version anywhere end the reading (help first). Raises
// CommandLineError for an unknown "--" option, a missing value or a repeated
// --drawing or --page, and ui::ScriptError for a malformed step.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The session that the command line describes, with the bundled stencils.
visio::SessionOptions SessionOptionsOf(const CommandLine& line);

} // namespace host
