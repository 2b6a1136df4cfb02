#pragma once

// The program's entry: one command against one drawing session per run.

#include "platform/visio/Visio.h"

namespace host {

// The whole run: creates the application object, reads the command line,
// opens the session (VisioApp), captures the selection (SelectedShape),
// converts the last argument to the command number, runs that command and
// saves what it changed, printing each file written on standard output.
// Returns 0; or 1 after the error report when anything fails, with nothing
// saved; `--help` prints the help and returns 0.
int RunLauncher(int argc, char** argv);

// The first shape of the active window's selection; empty when nothing is
// selected. Raises what the session raises.
visio::Shape CaptureSelection(const visio::Application& application);

} // namespace host
