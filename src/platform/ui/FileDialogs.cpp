#include "platform/ui/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

#include <filesystem>

#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"

namespace ui {

namespace {

enum class DialogKind { Open, Save };

const char* captionOf(DialogKind kind)
{
    return kind == DialogKind::Open ? "Open" : "Save As";
}

// Windows writes the patterns into the description too ("Text (*.txt)");
// Qt reads the patterns from the trailing parentheses, so those are replaced.
QString descriptionWithoutPatterns(QString description)
{
    description = description.trimmed();
    if (description.endsWith(QLatin1Char(')'))) {
        qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0) {
            description = description.left(open).trimmed();
        }
    }
    return description;
}

QString qtPatterns(const QString& windowsPatterns)
{
    QStringList patterns;
    for (const QString& pattern : windowsPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString trimmed = pattern.trimmed();
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(QLatin1Char(' '));
}

std::optional<std::string> answerFromScript(DialogKind kind, const std::string& defaultExt)
{
    Script& script = Script::Instance();
    if (script.NextIs(ScriptStep::File)) {
        return WithDefaultExtension(script.Take().value, defaultExt);
    }
    if (script.NextIs(ScriptStep::Cancel)) {
        script.Take();
        return std::nullopt;
    }
    const std::string dialog = std::string("file dialog '") + captionOf(kind) + "'";
    if (!script.Empty()) {
        throw ScriptError(DescribeStep(script.Peek()) + ": " + dialog + " is open and needs a --file or --cancel step");
    }
    throw ScriptError(dialog + " waits for a person: give a --file or --cancel step (kalemar --help)");
}

bool scriptAnswers()
{
    const Script& script = Script::Instance();
    return script.NextIs(ScriptStep::File) || script.NextIs(ScriptStep::Cancel) || GuiApplication::IsHeadless();
}

std::optional<std::string> askPerson(DialogKind kind, const std::string& filter, const std::string& defaultExt,
                                     const std::string& fileName)
{
    QFileDialog dialog(QApplication::activeModalWidget(), QString::fromUtf8(captionOf(kind)));
    dialog.setAcceptMode(kind == DialogKind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(kind == DialogKind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    PrepareFileDialog(dialog, filter, fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return WithDefaultExtension(dialog.selectedFiles().front().toStdString(), defaultExt);
}

std::optional<std::string> runDialog(DialogKind kind, const std::string& filter, const std::string& defaultExt,
                                     const std::string& fileName)
{
    if (scriptAnswers()) {
        return answerFromScript(kind, defaultExt);
    }
    return askPerson(kind, filter, defaultExt, fileName);
}

} // namespace

QString QtFileFilter(const std::string& windowsFilter)
{
    const QStringList parts = QString::fromStdString(windowsFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = descriptionWithoutPatterns(parts[i]);
        QString patterns = qtPatterns(parts[i + 1]);
        filters << (description.isEmpty() ? patterns : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt)
{
    std::string extension = defaultExt;
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    if (extension.empty() || std::filesystem::path(path).has_extension()) {
        return path;
    }
    return path + "." + extension;
}

std::optional<std::string> SaveFileDialog(const std::string& filter, const std::string& defaultExt,
                                          const std::string& fileName)
{
    return runDialog(DialogKind::Save, filter, defaultExt, fileName);
}

std::optional<std::string> OpenFileDialog(const std::string& filter, const std::string& fileName)
{
    return runDialog(DialogKind::Open, filter, std::string(), fileName);
}

void PrepareFileDialog(QFileDialog& dialog, const std::string& filter, const std::string& fileName)
{
    // The desktop's own dialogs match masks as their toolkit does, which on
    // Linux is with regard to case.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    const QString qtFilter = QtFileFilter(filter);
    if (!qtFilter.isEmpty()) {
        dialog.setNameFilter(qtFilter);
    }
    if (!fileName.empty()) {
        dialog.selectFile(QString::fromStdString(fileName));
    }
}

} // namespace ui
