#pragma once

#include <stdexcept>
#include <string>

namespace jet {

// The one error type of the database stand-in: a database that cannot be
// created or opened, a statement the engine refuses. The message names the file
// or the statement and carries the engine's own reason.
class JetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace jet
