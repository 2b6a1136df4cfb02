#include "editors/Unit_ObjectEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "database/Unit_DBExport.h"
#include "editors/FieldList.h"
#include "editors/Unit_Field.h"
#include "platform/ui/WindowPlacement.h"
#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/ui/Handler.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/ModalWindow.h"

namespace {

constexpr int NumberRow = 0;
constexpr int NameRow = 1;
constexpr int NormativeRow = 2;
constexpr int DescriptionRow = 5;
constexpr int CopyFlagRow = 6;
constexpr int KeyMarkImage = 0;

QLabel* captionOf(const QString& text, QWidget* buddy, QWidget* parent, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->setBuddy(buddy);
    return label;
}

// A tab page as white as the window.
void makeWhite(QWidget& page)
{
    QPalette white = page.palette();
    white.setColor(QPalette::Window, Qt::white);
    page.setPalette(white);
    page.setAutoFillBackground(true);
}

QLineEdit* namedEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton* fieldButton(const char* name, const QString& caption, const QIcon& icon, QWidget* parent)
{
    auto* button = new QPushButton(icon, caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

// The dialog's result into `field`; the target only when the dialog's
// target text names one, so that the field otherwise keeps its own.
void takeDialogResult(const TForm2& dialog, TFieldType& field)
{
    field.Name = dialog.ResultName();
    field.TypeName = dialog.ResultTypeName();
    field.Description = dialog.ResultDescription();
    field.KeyKind = dialog.GetKeyKind();
    if (const std::optional<TFieldTarget> target = dialog.ResultTarget()) {
        field.RefTable = target->RefTable;
        field.RefField = target->RefField;
    }
}

// The editing dialog shows the row as it is, in the order the boxes react.
void fillDialog(TForm2& dialog, const TFieldType& field)
{
    dialog.cbPK->setChecked(field.KeyKind == 1 || field.KeyKind == 3);
    dialog.cbForKey->setChecked(field.KeyKind == 2 || field.KeyKind == 3);
    dialog.edtNAME->setText(qText(field.Name));
    dialog.cbTYPE->setCurrentIndex(dialog.cbTYPE->findText(qText(field.TypeName), Qt::MatchExactly | Qt::MatchCaseSensitive));
    dialog.edtDESC->setText(qText(field.Description));
    if (!field.RefTable.empty() && !field.RefField.empty()) {
        const int entry = dialog.cbFOR_TABLE->findText(qText(field.RefTable + "." + field.RefField), Qt::MatchFixedString);
        if (entry >= 0)
            dialog.cbFOR_TABLE->setCurrentIndex(entry);
    }
}

} // namespace

TfrmObjectEdit::TfrmObjectEdit(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmObjectEdit"));
    setWindowTitle(QStringLiteral("Редактор объекта"));
    // A fixed dialog border with a close box and nothing else.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    makeWhite(*this);

    // Tab follows the order in which the controls are made: the properties,
    // the table, then the buttons below.
    RzPageControl1 = new QTabWidget(this);
    RzPageControl1->setObjectName(QStringLiteral("RzPageControl1"));
    RzPageControl1->addTab(createPropertiesTab(), QStringLiteral("Основные поля"));
    RzPageControl1->addTab(createTableTab(), QStringLiteral("Таблица базы данных"));

    auto* bottom = new QFrame(this);
    bottom->setObjectName(QStringLiteral("Panel1"));
    btnSAVE = new QPushButton(QStringLiteral("Сохранить"), bottom);
    btnSAVE->setObjectName(QStringLiteral("btnSAVE"));
    btnClose = new QPushButton(QStringLiteral("Закрыть"), bottom);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* button : {btnSAVE, btnClose}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(100);
    }
    auto* buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(btnSAVE);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 8);
    layout->addWidget(RzPageControl1, 1);
    layout->addWidget(bottom);
    setFixedSize(ClientWidth, ClientHeight);

    connect(RzBitBtn1, &QPushButton::clicked, this, &TfrmObjectEdit::RzBitBtn1Click);
    connect(RzBitBtn2, &QPushButton::clicked, this, &TfrmObjectEdit::RzBitBtn2Click);
    connect(RzBitBtn3, &QPushButton::clicked, this, &TfrmObjectEdit::RzBitBtn3Click);
    connect(btnSAVE, &QPushButton::clicked, this, &TfrmObjectEdit::btnSAVEClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmObjectEdit::btnCloseClick);
    FormCreate();
}

TfrmObjectEdit::~TfrmObjectEdit()
{
    FormDestroy();
}

QWidget* TfrmObjectEdit::createPropertiesTab()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    makeWhite(*TabSheet1);
    edtNUMBER = namedEdit("edtNUMBER", TabSheet1);
    edtNUMBER->setFixedWidth(121);
    edtNAIM = namedEdit("edtNAIM", TabSheet1);
    edtNORM = namedEdit("edtNORM", TabSheet1);
    edtDESC_POLE = new QPlainTextEdit(TabSheet1);
    edtDESC_POLE->setObjectName(QStringLiteral("edtDESC_POLE"));
    edtDESC_POLE->setFixedSize(489, 73);
    // The longer boxes line up with the description below them.
    edtNAIM->setFixedWidth(489);
    edtNORM->setFixedWidth(489);
    edtDESC_POLE->setTabChangesFocus(true);
    cbCOPY = new QCheckBox(QStringLiteral("Копия другого объекта (для автоматической нумерации)"), TabSheet1);
    cbCOPY->setObjectName(QStringLiteral("cbCOPY"));

    auto* layout = new QVBoxLayout(TabSheet1);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(3);
    const auto addRow = [&](QLabel* label, QWidget* field) {
        layout->addWidget(label);
        layout->addWidget(field);
        layout->addSpacing(8);
    };
    addRow(captionOf(QStringLiteral("Номер объекта:"), edtNUMBER, TabSheet1, true), edtNUMBER);
    addRow(captionOf(QStringLiteral("Наименование объекта:"), edtNAIM, TabSheet1, true), edtNAIM);
    addRow(captionOf(QStringLiteral("Нормативный документ:"), edtNORM, TabSheet1), edtNORM);
    addRow(captionOf(QStringLiteral("Описание:"), edtDESC_POLE, TabSheet1), edtDESC_POLE);
    layout->addWidget(cbCOPY);
    layout->addStretch();
    return TabSheet1;
}

QWidget* TfrmObjectEdit::createTableTab()
{
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    makeWhite(*TabSheet2);
    edtTABLE = namedEdit("edtTABLE", TabSheet2);
    edtDESC = namedEdit("edtDESC", TabSheet2);
    RzBitBtn1 = fieldButton("RzBitBtn1", QStringLiteral("Добавить поле"), ImageList1.Icon(1, 2), TabSheet2);
    RzBitBtn2 = fieldButton("RzBitBtn2", QStringLiteral("Редактировать поле"), ImageList1.Icon(3, 4), TabSheet2);
    RzBitBtn3 = fieldButton("RzBitBtn3", QStringLiteral("Удалить поле"), ImageList1.Icon(5, 6), TabSheet2);
    createFieldList(TabSheet2);

    auto* names = new QGridLayout;
    names->setHorizontalSpacing(12);
    names->setVerticalSpacing(3);
    names->addWidget(captionOf(QStringLiteral("Имя таблицы:"), edtTABLE, TabSheet2, true), 0, 0);
    names->addWidget(captionOf(QStringLiteral("Описание таблицы:"), edtDESC, TabSheet2, true), 0, 1);
    names->addWidget(edtTABLE, 1, 0);
    names->addWidget(edtDESC, 1, 1);
    names->setColumnStretch(0, 2);
    names->setColumnStretch(1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RzBitBtn1);
    buttons->addWidget(RzBitBtn2);
    buttons->addWidget(RzBitBtn3);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(TabSheet2);
    layout->setContentsMargins(8, 10, 8, 8);
    layout->addLayout(names);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->addWidget(tvFields, 1);
    return TabSheet2;
}

void TfrmObjectEdit::createFieldList(QWidget* parent)
{
    tvFields = new QTreeWidget(parent);
    tvFields->setObjectName(QStringLiteral("tvFields"));
    tvFields->setColumnCount(FieldColumnCount);
    tvFields->setHeaderLabels({QStringLiteral("PK"), QStringLiteral("FK"), QStringLiteral("Имя поля"),
                               QStringLiteral("Тип"), QStringLiteral("Описание")});
    tvFields->headerItem()->setTextAlignment(ColumnPK, Qt::AlignCenter);
    tvFields->headerItem()->setTextAlignment(ColumnFK, Qt::AlignCenter);
    tvFields->setRootIsDecorated(false);
    tvFields->setItemsExpandable(false);
    tvFields->setUniformRowHeights(true);
    tvFields->setAllColumnsShowFocus(true);
    tvFields->setSelectionMode(QAbstractItemView::SingleSelection);
    tvFields->setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView* header = tvFields->header();
    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    const int widths[FieldColumnCount] = {50, 50, 150, 150, 280};
    for (int column = 0; column < FieldColumnCount; ++column)
        tvFields->setColumnWidth(column, widths[column]);
    tvFields->setItemDelegate(new FieldListDelegate(
        [this](QPainter& canvas, const TFieldNode& node, int column, const QRect& cell, const QColor& brush) {
            tvFieldsAfterCellPaint(canvas, node, column, cell, brush);
        },
        tvFields));
}

void TfrmObjectEdit::FormCreate()
{
    // The window always opens on the properties.
    RzPageControl1->setCurrentIndex(0);
}

void TfrmObjectEdit::FormDestroy()
{
    FForeignKeyTargets.clear();
}

void TfrmObjectEdit::LoadObject()
{
    edtNUMBER->setText(qText(StripQuotes(ReadPropertyFormula(SelectedShape, NumberRow))));
    edtNAIM->setText(qText(StripQuotes(ReadPropertyFormula(SelectedShape, NameRow))));
    edtNORM->setText(qText(StripQuotes(ReadPropertyFormula(SelectedShape, NormativeRow))));
    edtDESC_POLE->setPlainText(qText(StripQuotes(ReadPropertyFormula(SelectedShape, DescriptionRow))));
    cbCOPY->setChecked(StripQuotes(ReadPropertyFormula(SelectedShape, CopyFlagRow)) == "1");
    FForeignKeyTargets.clear();
    LoadTableDefinition();
}

void TfrmObjectEdit::LoadTableDefinition()
{
    std::string ownTableName;
    if (!SelectedShape.CellsSRC(UserSection, 0, 0).FormulaU().empty()) {
        TTableRec table;
        ReadTableDefinition(SelectedShape, table);
        edtTABLE->setText(qText(table.Name));
        edtDESC->setText(qText(table.Description));
        ownTableName = table.Name;
        for (const TFieldType& field : table.Fields)
            AddFieldNode(field);
    }
    FillForeignKeyList(FForeignKeyTargets, ownTableName);
}

TFieldNode* TfrmObjectEdit::AddFieldNode(const TFieldType& field)
{
    auto* node = new TFieldNode(field);
    tvFields->addTopLevelItem(node);
    return node;
}

void TfrmObjectEdit::StoreTableDefinition()
{
    WriteTableDefinition(SelectedShape, edtTABLE->text().toStdString(), edtDESC->text().toStdString(), Fields());
}

std::vector<TFieldType> TfrmObjectEdit::Fields() const
{
    std::vector<TFieldType> fields;
    for (int row = 0; row < tvFields->topLevelItemCount(); ++row)
        fields.push_back(static_cast<const TFieldNode*>(tvFields->topLevelItem(row))->Field);
    return fields;
}

TFieldNode* TfrmObjectEdit::FocusedNode() const
{
    return static_cast<TFieldNode*>(tvFields->currentItem());
}

std::unique_ptr<TForm2> TfrmObjectEdit::newFieldDialog()
{
    auto dialog = std::make_unique<TForm2>(this);
    dialog->SetTargets(FForeignKeyTargets);
    return dialog;
}

void TfrmObjectEdit::RzBitBtn1Click()
{
    ui::RunHandler(this, [this] {
        std::unique_ptr<TForm2> dialog = newFieldDialog();
        if (ui::ShowModal(*dialog) != QDialog::Accepted)
            return;
        TFieldType field;
        takeDialogResult(*dialog, field);
        TFieldNode* node = AddFieldNode(field);
        tvFields->setCurrentItem(node);
        tvFields->setFocus();
    });
}

void TfrmObjectEdit::RzBitBtn2Click()
{
    ui::RunHandler(this, [this] {
        TFieldNode* node = FocusedNode();
        if (node == nullptr)
            return;
        std::unique_ptr<TForm2> dialog = newFieldDialog();
        fillDialog(*dialog, node->Field);
        if (ui::ShowModal(*dialog) != QDialog::Accepted)
            return;
        takeDialogResult(*dialog, node->Field);
        node->Repaint();
    });
}

void TfrmObjectEdit::RzBitBtn3Click()
{
    ui::RunHandler(this, [this] {
        TFieldNode* node = FocusedNode();
        if (node == nullptr)
            return;
        const int answer = ui::MessageBox("   Желаете удалить поле ?   ", "Сообщение", ui::MB_YESNOCANCEL, ui::MB_ICONWARNING);
        if (answer != ui::IDYES)
            return;
        // The deleted row took the focus with it: nothing is focused until
        // the user picks a row.
        delete node;
        tvFields->setCurrentItem(nullptr);
        tvFields->clearSelection();
    });
}

void TfrmObjectEdit::btnSAVEClick()
{
    ui::RunHandler(this, [this] {
        WriteProperty(SelectedShape, NumberRow, edtNUMBER->text().toStdString());
        WriteProperty(SelectedShape, NameRow, edtNAIM->text().toStdString());
        WriteProperty(SelectedShape, NormativeRow, edtNORM->text().toStdString());
        WriteProperty(SelectedShape, DescriptionRow, edtDESC_POLE->toPlainText().toStdString());
        WriteProperty(SelectedShape, CopyFlagRow, cbCOPY->isChecked() ? "1" : "0");
        StoreTableDefinition();
        accept();
    });
}

void TfrmObjectEdit::btnCloseClick()
{
    ui::RunHandler(this, [this] { reject(); });
}

void TfrmObjectEdit::tvFieldsAfterCellPaint(QPainter& canvas, const TFieldNode& node, int column, const QRect& cell,
                                            const QColor& brushColour)
{
    if (!HasKeyMark(node.Field.KeyKind, column))
        return;
    ImageList1.SetBkColor(brushColour);
    ImageList1.Draw(canvas, cell.left() + cell.width() / 2 - 8, cell.top() + 1, KeyMarkImage);
}

void EditObject()
{
    TfrmObjectEdit window;
    window.LoadObject();
    ui::CenterOnScreen(window);
    ui::ShowModal(window);
}
