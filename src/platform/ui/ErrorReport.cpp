#include "platform/ui/ErrorReport.h"

#include <QApplication>

#include <cstdio>

#include "platform/ui/GuiApplication.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace ui {

namespace {

const char* const kCaption = "Application Error";

std::string hexAddress(unsigned long long address)
{
    char text[32];
    std::snprintf(text, sizeof text, "%08llX", address);
    return text;
}

} // namespace

std::string ErrorReportText(const std::string& typeName, const std::string& message, unsigned long long address)
{
    std::string text = "Exception " + typeName + " in module " + GuiApplication::ModuleName() + " at "
        + hexAddress(address) + ".\n" + message;
    if (text.back() != '.') {
        text += '.';
    }
    return text + "\n";
}

void ShowErrorReport(const std::string& typeName, const std::string& message, unsigned long long address)
{
    const std::string text = ErrorReportText(typeName, message, address);
    if (QApplication::instance() == nullptr) {
        MirrorToStderr(kCaption, text);
        return;
    }
    try {
        MessageBox(text, kCaption, MB_OK, MB_ICONERROR);
    } catch (const ScriptError&) {
        // A step meant for something else cannot answer the report; the run
        // ends all the same, and the report has reached standard error.
    }
}

} // namespace ui
