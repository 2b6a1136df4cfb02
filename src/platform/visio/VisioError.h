#pragma once

#include <stdexcept>
#include <string>

namespace visio {

// The one error type of the drawing engine. Every refused call raises it, with a
// message that says what was refused and where ("Shape 'Process.12' has no
// property row 6", "drawing.vsdx: part /visio/pages/page1.xml is not well-formed").
class VisioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace visio
