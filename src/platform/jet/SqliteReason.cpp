#include "platform/jet/SqliteReason.h"

#include <cstring>
#include <sqlite3.h>

namespace jet {

std::string SqliteReason(sqlite3* handle, int resultCode)
{
    if (handle == nullptr)
        return sqlite3_errstr(resultCode);
    std::string reason = sqlite3_errmsg(handle);
    // The system's reason is recorded only for file failures and is kept
    // afterwards, so it is asked for only when this failure is one.
    const int primary = resultCode & 0xFF;
    if (primary != SQLITE_CANTOPEN && primary != SQLITE_IOERR)
        return reason;
    if (const int error = sqlite3_system_errno(handle); error != 0)
        reason += std::string(" (") + std::strerror(error) + ")";
    return reason;
}

} // namespace jet
