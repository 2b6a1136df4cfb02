#include "platform/ui/Handler.h"

#include <QDialog>
#include <QWidget>

#include <exception>

#include "platform/ui/GuiApplication.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace ui {

namespace {

void endRun(QWidget* window)
{
    Script::Instance().Fail(std::current_exception());
    QWidget* topLevel = window == nullptr ? nullptr : window->window();
    if (auto* dialog = qobject_cast<QDialog*>(topLevel)) {
        dialog->done(QDialog::Rejected);
    } else if (topLevel != nullptr) {
        topLevel->hide();
    }
}

void showHandlerError(const std::string& message)
{
    MessageBox(message, GuiApplication::Title(), MB_OK, MB_ICONERROR);
}

} // namespace

void RunHandler(QWidget* window, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const ScriptError&) {
        endRun(window);
    } catch (const std::exception& error) {
        try {
            showHandlerError(error.what());
        } catch (const ScriptError&) {
            endRun(window);
        }
    } catch (...) {
        try {
            showHandlerError("Unknown exception");
        } catch (const ScriptError&) {
            endRun(window);
        }
    }
}

} // namespace ui
