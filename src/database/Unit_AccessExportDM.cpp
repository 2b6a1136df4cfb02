#include "database/Unit_AccessExportDM.h"

#include <filesystem>
#include <system_error>

#include "platform/jet/Dao.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/MessageBox.h"

std::unique_ptr<TdmExportAccess> dmExportAccess;

// The dialog names the format that is written; a name typed as .mdb is kept.
const char* const DatabaseFileFilter = "SQLite 3 Database (*.db)|*.db|All files (*.*)|*.*";
const char* const DatabaseFileDefaultExt = "db";

TdmExportAccess::TdmExportAccess() : ADOQuery1(ADOConnection1)
{
    ADOConnection1.SetLoginPrompt(false);
    ADOConnection1.SetMode(jet::cmReadWrite);
    ADOConnection1.SetProvider("Microsoft.Jet.OLEDB.4.0");
}

bool TdmExportAccess::ChooseDatabaseFile(std::string& path)
{
    const auto chosen = ui::SaveFileDialog(DatabaseFileFilter, DatabaseFileDefaultExt);
    if (!chosen)
        return false;
    path = *chosen;
    std::error_code error;
    if (std::filesystem::exists(path, error))
        return true;
    if (!CreateDatabaseFile(path)) {
        ui::MessageBox("Не могу создать файл базы данных !", "Ошибка", ui::MB_OK, ui::MB_ICONERROR);
        return false;
    }
    return true;
}

bool TdmExportAccess::CreateDatabaseFile(const std::string& path)
{
    jet::DBEngine engine;
    jet::Workspace& workspace = engine.Workspaces(0);
    try {
        // The database is not needed open: dropping it closes it.
        workspace.CreateDatabase(path, jet::dbLangGeneral, jet::dbVersion30);
        return true;
    } catch (const jet::JetError& error) {
        ui::ShowMessage(error.what());
        return false;
    }
}
