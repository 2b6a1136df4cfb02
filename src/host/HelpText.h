#pragma once

#include <string>

namespace host {

// What `kalemar --help` prints: the command line, the steps, the commands
// and the exit codes.
std::string HelpText();

} // namespace host
