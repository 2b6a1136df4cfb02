#include "editors/Unit_ProcedureEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/WindowPlacement.h"
#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/ui/Handler.h"
#include "platform/ui/ModalWindow.h"

namespace {

constexpr int NumberRow = 0;
constexpr int PerformerRow = 1;
constexpr int NameRow = 2;
constexpr int LinkRow = 3;
constexpr int DescriptionRow = 5;
constexpr int FieldWidth = 420;

QString unquotedRow(int row)
{
    return QString::fromStdString(StripQuotes(ReadPropertyFormula(SelectedShape, row)));
}

QLineEdit* namedEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFixedWidth(FieldWidth);
    return edit;
}

} // namespace

TfrmProcedureEdit::TfrmProcedureEdit(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProcedureEdit"));
    setWindowTitle(QStringLiteral("Редактор процедуры"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    // Tab follows the order in which the controls are made, top to bottom.
    edtNUMBER = namedEdit("edtNUMBER", this);
    edtISP = namedEdit("edtISP", this);
    edtNAIM = namedEdit("edtNAIM", this);
    edtDESC = new QPlainTextEdit(this);
    edtDESC->setObjectName(QStringLiteral("edtDESC"));
    edtDESC->setFixedSize(FieldWidth, 90);
    edtDESC->setTabChangesFocus(true);
    edtLINK = namedEdit("edtLINK", this);
    btnSAVE = new QPushButton(QStringLiteral("Сохранить"), this);
    btnSAVE->setObjectName(QStringLiteral("btnSAVE"));
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(3);
    const std::pair<const char*, QWidget*> rows[] = {
        {"Номер процедуры:", edtNUMBER},
        {"Исполнитель процедуры:", edtISP},
        {"Наименование процедуры:", edtNAIM},
        {"Описание процедуры:", edtDESC},
        {"Ссылка на пункт регламента или режим программы:", edtLINK},
    };
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
        layout->addSpacing(6);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {btnSAVE, btnClose}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(100);
        buttons->addWidget(button);
    }
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnSAVE, &QPushButton::clicked, this, &TfrmProcedureEdit::btnSAVEClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmProcedureEdit::btnCloseClick);
}

void TfrmProcedureEdit::LoadProcedure()
{
    edtNUMBER->setText(unquotedRow(NumberRow));
    edtNAIM->setText(unquotedRow(NameRow));
    edtISP->setText(unquotedRow(PerformerRow));
    edtDESC->setPlainText(unquotedRow(DescriptionRow));
    edtLINK->setText(unquotedRow(LinkRow));
}

void TfrmProcedureEdit::btnSAVEClick()
{
    ui::RunHandler(this, [this] {
        WriteProperty(SelectedShape, NumberRow, edtNUMBER->text().toStdString());
        WriteProperty(SelectedShape, PerformerRow, edtISP->text().toStdString());
        WriteProperty(SelectedShape, NameRow, edtNAIM->text().toStdString());
        WriteProperty(SelectedShape, LinkRow, edtLINK->text().toStdString());
        WriteProperty(SelectedShape, DescriptionRow, edtDESC->toPlainText().toStdString());
        accept();
    });
}

void TfrmProcedureEdit::btnCloseClick()
{
    ui::RunHandler(this, [this] { reject(); });
}

void EditProcedure()
{
    TfrmProcedureEdit window;
    window.LoadProcedure();
    window.adjustSize();
    ui::CenterOnScreen(window);
    ui::ShowModal(window);
}
