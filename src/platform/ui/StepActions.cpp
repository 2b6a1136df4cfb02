#include "platform/ui/StepActions.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <vector>

#include "platform/ui/ControlText.h"
#include "platform/ui/RadioGroup.h"

namespace ui {

namespace {

[[noreturn]] void refuse(const QWidget& window, const ScriptStep& step, const std::string& why)
{
    throw ScriptError(DescribeStep(step) + ": window '" + WindowCaption(window) + "' " + why);
}

[[noreturn]] void refuseControl(const QWidget& window, const ScriptStep& step, const std::string& why)
{
    refuse(window, step, "control '" + step.control + "' " + why);
}

QObject* findControl(QWidget& window, const ScriptStep& step)
{
    const QString name = QString::fromStdString(step.control);
    if (auto* widget = window.findChild<QWidget*>(name)) {
        return widget;
    }
    if (auto* action = window.findChild<QAction*>(name)) {
        return action;
    }
    refuse(window, step, "has no control '" + step.control + "'");
}

bool sameItemText(QString item, const QString& wanted)
{
    return item == wanted || item.remove(QLatin1Char('&')) == wanted;
}

// Typing replaces the selection; insert() emits textEdited like keystrokes do.
void typeInto(QLineEdit& edit, const QString& text)
{
    edit.selectAll();
    edit.insert(text);
}

// A splitter's text is the size of its first pane in pixels, as a person
// would drag it; the last pane takes what the first gives up or gains.
void moveSplitter(QWidget& window, QSplitter& splitter, const ScriptStep& step)
{
    int pixels = -1;
    auto [end, error] = std::from_chars(step.value.data(), step.value.data() + step.value.size(), pixels);
    if (error != std::errc() || end != step.value.data() + step.value.size() || pixels < 0) {
        refuseControl(window, step, "takes a size in pixels, not '" + step.value + "'");
    }
    QList<int> sizes = splitter.sizes();
    if (sizes.size() < 2) {
        refuseControl(window, step, "has no second pane");
    }
    sizes.back() = std::max(0, sizes.back() + sizes.front() - pixels);
    sizes.front() = pixels;
    splitter.setSizes(sizes);
    emit splitter.splitterMoved(splitter.sizes().front(), 1);
}

void setText(QWidget& window, QObject& control, const ScriptStep& step)
{
    const QString text = QString::fromStdString(step.value);
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        if (edit->isReadOnly()) {
            refuseControl(window, step, "is read-only");
        }
        typeInto(*edit, text);
    } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        if (!combo->isEditable()) {
            refuseControl(window, step, "is a list without a text: use --choose");
        }
        typeInto(*combo->lineEdit(), text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(&control)) {
        if (rich->isReadOnly()) {
            refuseControl(window, step, "is read-only");
        }
        rich->setPlainText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&control)) {
        if (plain->isReadOnly()) {
            refuseControl(window, step, "is read-only");
        }
        plain->setPlainText(text);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(&control)) {
        typeInto(*spin->findChild<QLineEdit*>(), text);
        spin->interpretText();
    } else if (auto* splitter = qobject_cast<QSplitter*>(&control)) {
        moveSplitter(window, *splitter, step);
    } else {
        refuseControl(window, step, "takes no text");
    }
}

void tick(QWidget& window, QObject& control, const ScriptStep& step, bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(&control);
    if (button == nullptr || !button->isCheckable()) {
        refuseControl(window, step, "is not a check box");
    }
    if (button->isChecked() != checked) {
        button->click();
    }
}

// The index that a choose step names: a number, or "@text" looked up by `textAt`.
template <typename TextAt>
int chosenIndex(QWidget& window, const ScriptStep& step, int count, TextAt textAt)
{
    if (!step.value.empty() && step.value.front() == '@') {
        const QString wanted = QString::fromStdString(step.value.substr(1));
        for (int index = 0; index < count; ++index) {
            if (sameItemText(textAt(index), wanted)) {
                return index;
            }
        }
        refuseControl(window, step, "has no item '" + step.value.substr(1) + "'");
    }
    int index = -1;
    auto [end, error] = std::from_chars(step.value.data(), step.value.data() + step.value.size(), index);
    if (error != std::errc() || end != step.value.data() + step.value.size() || index < 0) {
        refuseControl(window, step, "has no item '" + step.value + "'");
    }
    if (index >= count) {
        refuseControl(window, step, "has no item " + step.value + " (it has " + std::to_string(count) + ")");
    }
    return index;
}

void chooseInRadioGroup(QWidget& window, RadioGroup& group, const ScriptStep& step)
{
    int index = chosenIndex(window, step, group.Count(), [&](int i) { return group.ItemText(i); });
    QRadioButton* button = group.Button(index);
    if (!button->isEnabled()) {
        refuseControl(window, step, "has item " + std::to_string(index) + " disabled");
    }
    button->click();
}

void chooseInCombo(QWidget& window, QComboBox& combo, const ScriptStep& step)
{
    int index = chosenIndex(window, step, combo.count(), [&](int i) { return combo.itemText(i); });
    combo.setCurrentIndex(index);
    // A person's choice also reports itself as activated.
    emit combo.activated(index);
    emit combo.textActivated(combo.itemText(index));
}

// The first column of the first row (depth first) that shows `text` in any
// of its columns: a field list is chosen by its field name, whichever column
// holds it. Invalid when no row does.
QModelIndex firstRowShowing(const QAbstractItemModel& model, const QModelIndex& parent, const QString& text)
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        for (int column = 0; column < model.columnCount(parent); ++column) {
            if (model.data(model.index(row, column, parent), Qt::DisplayRole).toString() == text) {
                return model.index(row, 0, parent);
            }
        }
        QModelIndex inner = firstRowShowing(model, model.index(row, 0, parent), text);
        if (inner.isValid()) {
            return inner;
        }
    }
    return {};
}

void chooseInView(QWidget& window, QAbstractItemView& view, const ScriptStep& step)
{
    QAbstractItemModel* model = view.model();
    if (model == nullptr) {
        refuseControl(window, step, "has no items");
    }
    QModelIndex item;
    if (!step.value.empty() && step.value.front() == '@') {
        item = firstRowShowing(*model, view.rootIndex(), QString::fromStdString(step.value.substr(1)));
        if (!item.isValid()) {
            refuseControl(window, step, "has no item '" + step.value.substr(1) + "'");
        }
    } else {
        int row = chosenIndex(window, step, model->rowCount(view.rootIndex()), [](int) { return QString(); });
        item = model->index(row, 0, view.rootIndex());
    }
    view.setCurrentIndex(item);
    emit view.clicked(item);
}

void choose(QWidget& window, QObject& control, const ScriptStep& step)
{
    if (auto* group = qobject_cast<RadioGroup*>(&control)) {
        chooseInRadioGroup(window, *group, step);
    } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        chooseInCombo(window, *combo, step);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(&control)) {
        tabs->setCurrentIndex(chosenIndex(window, step, tabs->count(), [&](int i) { return tabs->tabText(i); }));
    } else if (auto* view = qobject_cast<QAbstractItemView*>(&control)) {
        chooseInView(window, *view, step);
    } else {
        refuseControl(window, step, "has no items to choose from");
    }
}

void press(QWidget& window, QObject& control, const ScriptStep& step)
{
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        button->click();
    } else if (auto* action = qobject_cast<QAction*>(&control)) {
        if (!action->isEnabled()) {
            refuseControl(window, step, "is disabled");
        }
        action->trigger();
    } else {
        refuseControl(window, step, "is not a button");
    }
}

// The text is looked up in the pane's plain text, where every paragraph and
// line break is a "\n" and each character keeps its position, so that a
// phrase running over several lines can be marked too. Letter case does not
// matter, as in the pane's own search.
template <typename TextPane>
void markInPane(QWidget& window, TextPane& pane, const ScriptStep& step)
{
    QTextCursor cursor = pane.textCursor();
    cursor.clearSelection();
    if (!step.value.empty()) {
        const QString wanted = QString::fromStdString(step.value);
        const qsizetype at = pane.toPlainText().indexOf(wanted, 0, Qt::CaseInsensitive);
        if (at < 0) {
            refuseControl(window, step, "has no text '" + step.value + "'");
        }
        cursor.setPosition(static_cast<int>(at));
        cursor.setPosition(static_cast<int>(at + wanted.size()), QTextCursor::KeepAnchor);
    }
    pane.setTextCursor(cursor);
}

void mark(QWidget& window, QObject& control, const ScriptStep& step)
{
    if (auto* rich = qobject_cast<QTextEdit*>(&control)) {
        markInPane(window, *rich, step);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&control)) {
        markInPane(window, *plain, step);
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        const QString wanted = QString::fromStdString(step.value);
        qsizetype at = edit->text().indexOf(wanted);
        if (at < 0) {
            refuseControl(window, step, "has no text '" + step.value + "'");
        }
        edit->deselect();
        if (!wanted.isEmpty()) {
            edit->setSelection(static_cast<int>(at), static_cast<int>(wanted.size()));
        }
    } else {
        refuseControl(window, step, "has no text to mark");
    }
}

void print(QWidget& window, QObject& control, const ScriptStep& step)
{
    std::vector<std::string> lines;
    if (!ControlLines(control, step.control, lines)) {
        refuseControl(window, step, "shows nothing to print");
    }
    for (const std::string& line : lines) {
        std::cout << line << '\n';
    }
    std::cout.flush();
}

void refuseBoxStep(QWidget& window, const ScriptStep& step)
{
    if (step.kind == ScriptStep::Answer) {
        refuse(window, step, "is open, and no message box is");
    }
    refuse(window, step, "is open, and no file dialog is");
}

} // namespace

std::string WindowCaption(const QWidget& window)
{
    QString caption = window.windowTitle();
    return (caption.isEmpty() ? window.objectName() : caption).toStdString();
}

void PerformStep(QWidget& window, const ScriptStep& step)
{
    if (step.kind == ScriptStep::Answer || step.kind == ScriptStep::File || step.kind == ScriptStep::Cancel) {
        refuseBoxStep(window, step);
    }
    QObject* control = findControl(window, step);
    if (step.kind == ScriptStep::Print) {
        print(window, *control, step);
        return;
    }
    if (auto* widget = qobject_cast<QWidget*>(control); widget != nullptr && !widget->isEnabled()) {
        refuseControl(window, step, "is disabled");
    }
    switch (step.kind) {
    case ScriptStep::Set:
        setText(window, *control, step);
        break;
    case ScriptStep::Tick:
    case ScriptStep::Untick:
        tick(window, *control, step, step.kind == ScriptStep::Tick);
        break;
    case ScriptStep::Choose:
        choose(window, *control, step);
        break;
    case ScriptStep::Press:
        press(window, *control, step);
        break;
    case ScriptStep::Mark:
        mark(window, *control, step);
        break;
    case ScriptStep::Answer:
    case ScriptStep::File:
    case ScriptStep::Cancel:
    case ScriptStep::Print:
        break;
    }
}

} // namespace ui
