#pragma once

// Running a built program as a user would, and what it left behind.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct RunOptions {
    // Variables to set (a value) or to remove (nullopt) in the inherited environment.
    std::map<std::string, std::optional<std::string>> environment;
    std::string workingDirectory; // empty: the test's own
    int timeoutSeconds = 120;     // the program is killed after this, and timedOut set
};

struct RunResult {
    int exitCode = -1; // -1 when killed by a signal
    std::string out;
    std::string err;
    bool timedOut = false;
};

// Options for a run in `workingDirectory` without a display, whatever the
// machine running the tests has: the program picks Qt's offscreen platform.
RunOptions HeadlessRunOptions(const std::string& workingDirectory);

// Runs `program` with `args` (argv[1...]) and waits for it to end.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options = {});

// The built executables.
std::string KalemarExecutable();
std::string KalemarDumpExecutable();

// A sample drawing of the shared sample collection, by file name.
std::string SamplePath(const std::string& name);

} // namespace testsupport
