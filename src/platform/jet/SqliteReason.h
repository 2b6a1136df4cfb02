#pragma once

#include <string>

struct sqlite3;

namespace jet {

// SQLite's message for a failed call on `handle` (which may be null), with the
// system's reason when the failure came from the file system.
std::string SqliteReason(sqlite3* handle, int resultCode);

} // namespace jet
