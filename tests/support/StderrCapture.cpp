#include "support/StderrCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

StderrCapture::StderrCapture()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kalemar-stderr-XXXXXX").string();
    int file = ::mkstemp(pattern.data());
    if (file < 0) {
        throw std::runtime_error("cannot create a file to capture standard error");
    }
    path_ = pattern;
    std::fflush(stderr);
    saved_ = ::dup(2);
    ::dup2(file, 2);
    ::close(file);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
    std::remove(path_.c_str());
}

std::string StderrCapture::Text() const
{
    std::fflush(stderr);
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace testsupport
