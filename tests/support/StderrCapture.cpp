#include "support/StderrCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

OutputCapture::OutputCapture(int descriptor) : descriptor_(descriptor)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kalemar-output-XXXXXX").string();
    int file = ::mkstemp(pattern.data());
    if (file < 0) {
        throw std::runtime_error("cannot create a file to capture an output stream");
    }
    path_ = pattern;
    flush();
    saved_ = ::dup(descriptor_);
    ::dup2(file, descriptor_);
    ::close(file);
}

OutputCapture::~OutputCapture()
{
    flush();
    ::dup2(saved_, descriptor_);
    ::close(saved_);
    std::remove(path_.c_str());
}

// Both the C and the C++ streams of the descriptor, so nothing buffered is
// written after the descriptor was given back.
void OutputCapture::flush() const
{
    if (descriptor_ == 1) {
        std::cout.flush();
        std::fflush(stdout);
    } else {
        std::cerr.flush();
        std::fflush(stderr);
    }
}

std::string OutputCapture::Text() const
{
    flush();
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace testsupport
