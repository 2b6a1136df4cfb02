#pragma once

// The commands of the system by number, as the last argument selects them.

#include <span>
#include <stdexcept>

namespace host {

// A command whose subsystem this build does not have yet.
class CommandNotAvailableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command runs on VisioApp and SelectedShape and returns when it is done
// (when its window has closed); its errors escape to the launcher.
using CommandFunction = void (*)();

struct CommandEntry {
    int number;
    const char* description; // for the help text
    CommandFunction run;     // null while the command is not built
};

// The commands 2 to 11 in number order.
std::span<const CommandEntry> CommandTable();

// The command of `number`; null for numbers that run nothing (0, 1, 12, -5).
const CommandEntry* FindCommand(int number);

// Runs the command; CommandNotAvailableError "Command N is not available yet"
// when it is not built.
void RunCommand(const CommandEntry& command);

} // namespace host
