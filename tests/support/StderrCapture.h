#pragma once

// What the code under test writes to the process's real standard error or
// standard output.

#include <string>

namespace testsupport {

// From construction on, the file descriptor goes to a file; Text() returns
// what was written so far; the destructor gives the old descriptor back.
class OutputCapture {
public:
    explicit OutputCapture(int descriptor);
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    std::string Text() const;

private:
    void flush() const;

    int descriptor_;
    int saved_ = -1;
    std::string path_;
};

class StderrCapture : public OutputCapture {
public:
    StderrCapture() : OutputCapture(2) {}
};

class StdoutCapture : public OutputCapture {
public:
    StdoutCapture() : OutputCapture(1) {}
};

} // namespace testsupport
