#pragma once

// The sqlite3 shell, a reader nobody here wrote, to look at the files that the
// database layer leaves behind.

#include <cstdio>
#include <stdexcept>
#include <string>

namespace jettest {

inline std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What `sqlite3 FILE COMMAND` prints, standard output and error together.
inline std::string Sqlite3(const std::string& file, const std::string& command)
{
    const std::string line = "sqlite3 " + shellQuoted(file) + " " + shellQuoted(command) + " 2>&1";
    FILE* pipe = ::popen(line.c_str(), "r");
    if (pipe == nullptr)
        throw std::runtime_error("cannot run " + line);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

} // namespace jettest
