#pragma once

// What the code under test writes to the process's real standard error.

#include <string>

namespace testsupport {

// From construction on, file descriptor 2 goes to a file; Text() returns what
// was written so far; the destructor gives the old standard error back.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string Text() const;

private:
    int saved_ = -1;
    std::string path_;
};

} // namespace testsupport
