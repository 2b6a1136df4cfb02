#pragma once

// The data module of the database export: the connection to the database file
// and the command that executes the export's statements on it.

#include <memory>
#include <string>

#include "platform/jet/Ado.h"

class TdmExportAccess {
public:
    // The connection asks for no login, opens read-write with the Jet provider;
    // the query is bound to it.
    TdmExportAccess();

    jet::Connection ADOConnection1;
    jet::Query ADOQuery1;

    // Asks for the database file. False when the dialog is cancelled or a new
    // file cannot be created (the reason and an error box are shown); true with
    // `path` set when the export may go on. An existing file is used as it is.
    bool ChooseDatabaseFile(std::string& path);

    // Creates an empty database file; false, after showing the engine's reason,
    // when the engine refuses.
    bool CreateDatabaseFile(const std::string& path);
};

// The data module of the running command 4; created by the launcher before
// ExportToAccess and destroyed after it, which closes the connection.
extern std::unique_ptr<TdmExportAccess> dmExportAccess;

// The save dialog's filter and default extension: the file written is SQLite 3.
extern const char* const DatabaseFileFilter;
extern const char* const DatabaseFileDefaultExt;
