#include "support/RunProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/TempDir.h"

extern char** environ;

namespace testsupport {

namespace {

std::vector<std::string> environmentFor(const RunOptions& options)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        std::size_t equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    for (const auto& [name, value] : options.environment) {
        if (value) {
            variables[name] = *value;
        } else {
            variables.erase(name);
        }
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : variables) {
        result.push_back(name + "=" + value);
    }
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::string readWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// In the child: only async-signal-safe calls until exec.
[[noreturn]] void execChild(const std::string& program, std::vector<char*>& argv, std::vector<char*>& envp,
                            const std::string& outPath, const std::string& errPath, const std::string& folder)
{
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
        ::_exit(126);
    }
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
        ::_exit(126);
    }
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
}

int waitFor(pid_t child, int timeoutSeconds, bool& timedOut)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            timedOut = true;
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options)
{
    TempDir capture;
    const std::string outPath = capture.File("stdout").string();
    const std::string errPath = capture.File("stderr").string();
    std::vector<std::string> argvTexts{program};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    std::vector<std::string> envTexts = environmentFor(options);
    std::vector<char*> argv = pointersTo(argvTexts);
    std::vector<char*> envp = pointersTo(envTexts);

    pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("cannot start " + program);
    }
    if (child == 0) {
        execChild(program, argv, envp, outPath, errPath, options.workingDirectory);
    }
    RunResult result;
    result.exitCode = waitFor(child, options.timeoutSeconds, result.timedOut);
    result.out = readWhole(outPath);
    result.err = readWhole(errPath);
    return result;
}

RunOptions HeadlessRunOptions(const std::string& workingDirectory)
{
    RunOptions options;
    options.workingDirectory = workingDirectory;
    options.environment["DISPLAY"] = std::nullopt;
    options.environment["WAYLAND_DISPLAY"] = std::nullopt;
    options.environment["QT_QPA_PLATFORM"] = std::nullopt;
    return options;
}

std::string KalemarExecutable()
{
    return std::string(KALEMAR_BINARY_DIR) + "/src/host/kalemar";
}

std::string KalemarDumpExecutable()
{
    return std::string(KALEMAR_BINARY_DIR) + "/src/host/kalemar-dump";
}

std::string SamplePath(const std::string& name)
{
    return std::string(KALEMAR_SAMPLES_DIR) + "/" + name;
}

} // namespace testsupport
