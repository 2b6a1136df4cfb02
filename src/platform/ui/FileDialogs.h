#pragma once

// The common open and save dialogs, with Windows-style filters.

#include <optional>
#include <string>

#include <QString>

class QFileDialog;

namespace ui {

// Asks for a file to save. `filter` is in Windows form ("Access Database
// (*.mdb)|*.mdb|All (*.*)|*.*"); `defaultExt` ("mdb" or ".mdb") is appended
// when the chosen name has no extension; the dialog starts at `fileName`
// when one is given. Nothing when cancelled. A next scripted step "--file
// PATH" or "--cancel" answers it (the path as given, whether or not such a
// file exists); a headless run without one raises ScriptError.
std::optional<std::string> SaveFileDialog(const std::string& filter, const std::string& defaultExt,
                                          const std::string& fileName = std::string());

// Asks for a file to open, as SaveFileDialog (an empty filter offers every file).
std::optional<std::string> OpenFileDialog(const std::string& filter, const std::string& fileName = std::string());

// Sets up the dialog that a person answers: Qt's own dialog on every
// desktop, the filter's masks matching names without regard to letter case
// (notes.txt is offered under *.TXT, as Windows offers it), started at
// `fileName` when one is given.
void PrepareFileDialog(QFileDialog& dialog, const std::string& filter, const std::string& fileName);

// The Qt form of a Windows filter: "Access Database (*.mdb);;All (*)".
QString QtFileFilter(const std::string& windowsFilter);

// `path` with ".ext" appended when its file name has no extension.
std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt);

} // namespace ui
