#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <utility>
#include <vector>

#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"

namespace ui {

namespace {

struct ButtonSpec {
    int id;
    const char* word; // as a scripted "--answer" names it
    const char* label;
    QMessageBox::ButtonRole role;
};

const ButtonSpec kOk{IDOK, "OK", "OK", QMessageBox::AcceptRole};
const ButtonSpec kCancel{IDCANCEL, "Cancel", "Cancel", QMessageBox::RejectRole};
const ButtonSpec kYes{IDYES, "Yes", "&Yes", QMessageBox::YesRole};
const ButtonSpec kNo{IDNO, "No", "&No", QMessageBox::NoRole};

// The buttons of a box in the order Windows shows them; the first is the default.
std::vector<ButtonSpec> buttonsOf(MbButtons buttons)
{
    switch (buttons) {
    case MB_OK:
        return {kOk};
    case MB_OKCANCEL:
        return {kOk, kCancel};
    case MB_YESNO:
        return {kYes, kNo};
    case MB_YESNOCANCEL:
        return {kYes, kNo, kCancel};
    }
    return {kOk};
}

QMessageBox::Icon qtIcon(MbIcon icon)
{
    switch (icon) {
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONNONE:
        break;
    }
    return QMessageBox::NoIcon;
}

int answerFromStep(const std::vector<ButtonSpec>& specs, const std::string& caption)
{
    ScriptStep step = Script::Instance().Take();
    for (const ButtonSpec& spec : specs) {
        if (step.value == spec.word) {
            return spec.id;
        }
    }
    throw ScriptError(DescribeStep(step) + ": message box '" + caption + "' has no button " + step.value);
}

// What closing the box by its close box or Escape means, as on Windows.
int closeResult(const std::vector<ButtonSpec>& specs)
{
    for (const ButtonSpec& spec : specs) {
        if (spec.id == IDCANCEL) {
            return IDCANCEL;
        }
    }
    return specs.front().id;
}

int askPerson(const std::string& text, const std::string& caption, const std::vector<ButtonSpec>& specs, MbIcon icon)
{
    QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::NoButton,
                    QApplication::activeModalWidget());
    std::vector<std::pair<QAbstractButton*, int>> added;
    for (const ButtonSpec& spec : specs) {
        QPushButton* button = box.addButton(QString::fromUtf8(spec.label), spec.role);
        added.emplace_back(button, spec.id);
        if (spec.id == IDCANCEL || specs.size() == 1) {
            box.setEscapeButton(button);
        }
    }
    box.setDefaultButton(static_cast<QPushButton*>(added.front().first));
    box.exec();
    for (const auto& [button, id] : added) {
        if (box.clickedButton() == button) {
            return id;
        }
    }
    return closeResult(specs);
}

} // namespace

void MirrorToStderr(const std::string& caption, const std::string& text)
{
    std::string line = caption + ": " + text;
    if (line.empty() || line.back() != '\n') {
        line += '\n';
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

int MessageBox(const std::string& text, const std::string& caption, MbButtons buttons, MbIcon icon)
{
    MirrorToStderr(caption, text);
    const std::vector<ButtonSpec> specs = buttonsOf(buttons);
    if (Script::Instance().NextIs(ScriptStep::Answer)) {
        return answerFromStep(specs, caption);
    }
    if (QApplication::instance() == nullptr || GuiApplication::IsHeadless()) {
        return specs.front().id;
    }
    return askPerson(text, caption, specs, icon);
}

void ShowMessage(const std::string& text)
{
    MessageBox(text, GuiApplication::Title(), MB_OK, MB_ICONNONE);
}

} // namespace ui
