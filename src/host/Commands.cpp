#include "host/Commands.h"

#include <algorithm>
#include <memory>
#include <string>

#include "database/Unit_AccessExportDM.h"
#include "database/Unit_DBExport.h"
#include "editors/Unit_ObjectEdit.h"
#include "editors/Unit_ProcedureEdit.h"
#include "editors/Unit_TextView.h"
#include "frames/BuildDetailPage.h"
#include "numbering/Unit_AutoNum.h"
#include "reports/Unit_Reports.h"
#include "windows/Unit_Splash.h"
#include "windows/Unit_TWoW.h"

namespace host {

namespace {

// The export's data module lives exactly as long as the command: closing it
// closes the database connection before the drawing is released.
void RunDatabaseExport()
{
    dmExportAccess = std::make_unique<TdmExportAccess>();
    struct ModuleRelease {
        ~ModuleRelease() { dmExportAccess.reset(); }
    } release;
    ExportToAccess();
}

// One line per command; a command joins the build by naming its entry here.
const CommandEntry kCommands[] = {
    {2, "entity diagram of the objects' tables, drawn as a new drawing", BuildEntityDiagram},
    {3, "two-pane text editor", ShowTWoW},
    {4, "export of the objects' tables into a new database file", RunDatabaseExport},
    {5, "object editor of the selected object", EditObject},
    {6, "procedure editor of the selected procedure", EditProcedure},
    {7, "numbering of the objects or procedures of the active page", ExecuteAutoNum},
    {8, "about window with the program's version", ShowAbout},
    {9, "text viewer that creates elements from selected text", ShowTextView},
    {10, "listing of the elements into a new spreadsheet", ExecuteReports},
    {11, "detail page of the detail frame on the active page", BuildDetailPage},
};

} // namespace

std::span<const CommandEntry> CommandTable()
{
    return kCommands;
}

const CommandEntry* FindCommand(int number)
{
    auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                           [number](const CommandEntry& entry) { return entry.number == number; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

void RunCommand(const CommandEntry& command)
{
    if (command.run == nullptr) {
        throw CommandNotAvailableError("Command " + std::to_string(command.number) + " is not available yet");
    }
    command.run();
}

} // namespace host
