#include "editors/Unit_Field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/WindowPlacement.h"
#include "model/TableDefinition.h"
#include "platform/ui/Handler.h"
#include "platform/ui/MessageBox.h"

namespace {

// The plain grey that the target's label has until the box is first used.
const QColor ResourceGrey(128, 128, 128);

QLabel* fieldLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setUnderline(true);
    label->setFont(font);
    label->setBuddy(buddy);
    return label;
}

void setTextColour(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

// Blanks and control characters at either end do not make a name.
bool isBlank(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > u' ')
            return false;
    return true;
}

} // namespace

const char* const TForm2::PlacementName = "TForm2";

std::optional<TFieldTarget> TargetOfText(const std::string& text)
{
    const std::size_t dot = text.find('.');
    if (text.empty() || dot == std::string::npos)
        return std::nullopt;
    return TFieldTarget{text.substr(0, dot), text.substr(dot + 1)};
}

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Добавление нового поля"));
    // No system menu and no close box: the dialog ends through its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    // Tab follows the order in which the controls are made, top to bottom.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);

    edtNAME = new QLineEdit(Panel1);
    edtNAME->setObjectName(QStringLiteral("edtNAME"));
    Label1 = fieldLabel(QStringLiteral("Имя поля:"), edtNAME, Panel1);
    edtDESC = new QLineEdit(Panel1);
    edtDESC->setObjectName(QStringLiteral("edtDESC"));
    Label2 = fieldLabel(QStringLiteral("Описание поля:"), edtDESC, Panel1);
    cbTYPE = new QComboBox(Panel1);
    cbTYPE->setObjectName(QStringLiteral("cbTYPE"));
    cbTYPE->setEditable(false);
    Label3 = fieldLabel(QStringLiteral("Тип поля:"), cbTYPE, Panel1);
    cbPK = new QCheckBox(QStringLiteral("Первичный ключ"), Panel1);
    cbPK->setObjectName(QStringLiteral("cbPK"));
    cbForKey = new QCheckBox(QStringLiteral("Внешний ключ"), Panel1);
    cbForKey->setObjectName(QStringLiteral("cbForKey"));
    cbFOR_TABLE = new QComboBox(Panel1);
    cbFOR_TABLE->setObjectName(QStringLiteral("cbFOR_TABLE"));
    cbFOR_TABLE->setEditable(true);
    // A typed text is the target as it stands; it never becomes an entry.
    cbFOR_TABLE->setInsertPolicy(QComboBox::NoInsert);
    cbFOR_TABLE->setEnabled(false);
    Label4 = fieldLabel(QStringLiteral("На таблицу и поле:"), cbFOR_TABLE, Panel1);
    Label4->setObjectName(QStringLiteral("Label4"));
    setTextColour(*Label4, ResourceGrey);

    auto* panelLayout = new QVBoxLayout(Panel1);
    for (QWidget* widget : std::initializer_list<QWidget*>{Label1, edtNAME, Label2, edtDESC, Label3, cbTYPE})
        panelLayout->addWidget(widget);
    panelLayout->addSpacing(6);
    panelLayout->addWidget(cbPK);
    panelLayout->addWidget(cbForKey);
    panelLayout->addSpacing(6);
    panelLayout->addWidget(Label4);
    panelLayout->addWidget(cbFOR_TABLE);
    panelLayout->addStretch();

    RzBitBtn1 = new QPushButton(QStringLiteral("ОК"), this);
    RzBitBtn1->setObjectName(QStringLiteral("RzBitBtn1"));
    RzBitBtn1->setDefault(true);
    RzBitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    RzBitBtn2->setObjectName(QStringLiteral("RzBitBtn2"));
    RzBitBtn2->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(RzBitBtn1);
    buttons->addWidget(RzBitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1, 1);
    layout->addLayout(buttons);

    setFixedSize(OuterWidth, OuterHeight);
    connect(cbForKey, &QCheckBox::toggled, this, &TForm2::cbForKeyClick);
    connect(RzBitBtn1, &QPushButton::clicked, this, &TForm2::btnADDClick);
    connect(RzBitBtn2, &QPushButton::clicked, this, [this] { ui::RunHandler(this, [this] { reject(); }); });
    FormCreate();
}

void TForm2::FormCreate()
{
    cbTYPE->clear();
    for (const std::string& name : FieldTypeNames)
        cbTYPE->addItem(QString::fromStdString(name));
    cbTYPE->setCurrentIndex(-1);
}

void TForm2::SetTargets(const std::vector<std::string>& targets)
{
    cbFOR_TABLE->clear();
    for (const std::string& target : targets)
        cbFOR_TABLE->addItem(QString::fromStdString(target));
    cbFOR_TABLE->setCurrentIndex(-1);
    cbFOR_TABLE->clearEditText();
}

std::uint8_t TForm2::GetKeyKind() const
{
    if (cbPK->isChecked() && cbForKey->isChecked())
        return 3;
    if (cbForKey->isChecked())
        return 2;
    if (cbPK->isChecked())
        return 1;
    return 0;
}

std::string TForm2::ResultName() const
{
    return edtNAME->text().toStdString();
}

std::string TForm2::ResultTypeName() const
{
    return cbTYPE->currentIndex() < 0 ? std::string() : cbTYPE->currentText().toStdString();
}

std::string TForm2::ResultDescription() const
{
    return edtDESC->text().toStdString();
}

std::optional<TFieldTarget> TForm2::ResultTarget() const
{
    return TargetOfText(cbFOR_TABLE->currentText().toStdString());
}

void TForm2::cbForKeyClick()
{
    ui::RunHandler(this, [this] {
        const bool ticked = cbForKey->isChecked();
        cbFOR_TABLE->setEnabled(ticked);
        setTextColour(*Label4, ticked ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::WindowText));
    });
}

void TForm2::btnADDClick()
{
    ui::RunHandler(this, [this] {
        if (isBlank(edtNAME->text())) {
            ui::MessageBox("Необходимо заполнить имя поля !", "Предупреждение", ui::MB_OK);
            return;
        }
        if (cbTYPE->currentIndex() < 0) {
            ui::MessageBox("Необходимо заполнить тип поля !", "Предупреждение", ui::MB_OK);
            return;
        }
        accept();
    });
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    holdOuterSize();
    if (!placed_) {
        placed_ = true;
        if (!ui::RestorePlacement(*this, PlacementName))
            ui::CenterOnScreen(*this);
    }
}

// The size is fixed for the whole window; the client area is what the
// window frame leaves of it.
void TForm2::holdOuterSize()
{
    const QSize frame = frameGeometry().size() - size();
    setFixedSize(OuterWidth - frame.width(), OuterHeight - frame.height());
}

void TForm2::done(int result)
{
    ui::StorePlacement(*this, PlacementName);
    QDialog::done(result);
}
