#pragma once

// What the top-level error report says about the error that ended a run.

#include <string>

namespace host {

struct ErrorDescription {
    std::string typeName; // demangled ("visio::VisioError", "EConvertError")
    std::string message;
};

// The exception being handled; call only inside a catch block.
ErrorDescription DescribeCurrentException();

// Where `code` lies in its module, as an offset from the module's start, so
// the same build reports the same address on every run; 0 when unknown.
unsigned long long ModuleOffset(const void* code);

} // namespace host
