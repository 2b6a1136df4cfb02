#include "platform/ui/ControlText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>

#include "platform/ui/RadioGroup.h"

namespace ui {

namespace {

// One printed line holds one value: line breaks become the two characters \n.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(QChar::ParagraphSeparator), QChar('\n'));
    text.replace(QChar(QChar::LineSeparator), QChar('\n'));
    text.replace(QChar('\r'), QChar('\n'));
    text.replace(QChar('\n'), QStringLiteral("\\n"));
    return text;
}

// "&Открыть" shows as "Открыть"; "&&" is a literal ampersand.
QString withoutShortcutMarker(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

QString cellText(const QAbstractItemModel& model, const QModelIndex& index)
{
    return oneLine(model.data(index, Qt::DisplayRole).toString()).replace(QChar('\t'), QChar(' '));
}

// Rows of a list, table or tree: the top-level rows under the view's root.
std::vector<QString> rowsOf(const QAbstractItemView& view)
{
    std::vector<QString> rows;
    const QAbstractItemModel* model = view.model();
    if (model == nullptr) {
        return rows;
    }
    const QModelIndex root = view.rootIndex();
    const int columns = model->columnCount(root);
    for (int row = 0; row < model->rowCount(root); ++row) {
        QStringList cells;
        for (int column = 0; column < columns; ++column) {
            cells << cellText(*model, model->index(row, column, root));
        }
        rows.push_back(cells.join(QChar('\t')));
    }
    return rows;
}

// The single value a control shows; false when it shows none.
bool singleValue(const QObject& control, QString& value)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        value = edit->text();
    } else if (const auto* rich = qobject_cast<const QTextEdit*>(&control)) {
        value = rich->toPlainText();
    } else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&control)) {
        value = plain->toPlainText();
    } else if (const auto* group = qobject_cast<const RadioGroup*>(&control)) {
        value = QString::number(group->ItemIndex());
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        value = combo->currentText();
    } else if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        value = QString::number(box->isChecked() ? 1 : 0);
    } else if (const auto* radio = qobject_cast<const QRadioButton*>(&control)) {
        value = QString::number(radio->isChecked() ? 1 : 0);
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        value = withoutShortcutMarker(button->text());
    } else if (const auto* action = qobject_cast<const QAction*>(&control)) {
        value = withoutShortcutMarker(action->text());
    } else if (const auto* tabs = qobject_cast<const QTabWidget*>(&control)) {
        value = QString::number(tabs->currentIndex());
    } else if (const auto* splitter = qobject_cast<const QSplitter*>(&control)) {
        const QList<int> sizes = splitter->sizes();
        value = QString::number(sizes.isEmpty() ? 0 : sizes.front());
    } else if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(&control)) {
        value = spin->text();
    } else if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        value = label->text();
    } else {
        return false;
    }
    return true;
}

} // namespace

bool ControlLines(const QObject& control, const std::string& name, std::vector<std::string>& lines)
{
    const QString prefix = QString::fromStdString(name) + QLatin1Char('=');
    if (const auto* view = qobject_cast<const QAbstractItemView*>(&control)) {
        for (const QString& row : rowsOf(*view)) {
            lines.push_back((prefix + row).toStdString());
        }
        return true;
    }
    QString value;
    if (!singleValue(control, value)) {
        return false;
    }
    lines.push_back((prefix + oneLine(value)).toStdString());
    return true;
}

} // namespace ui
