#include "numbering/Unit_AutoNum.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

#include "host/Globals.h"
#include "model/ElementRows.h"
#include "model/Utils.h"
#include "numbering/CopyIndex.h"
#include "numbering/PositionOrdinals.h"
#include "platform/ui/Handler.h"
#include "platform/ui/ModalWindow.h"
#include "platform/ui/RadioGroup.h"

namespace {

constexpr std::uint8_t ObjectsMode = 0;

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

visio::Application& session()
{
    if (VisioApp == nullptr)
        throw visio::VisioError("There is no drawing session to number");
    return *VisioApp;
}

// The pass's own name test: in objects mode a name with "Process" in it still
// counts when it also holds "Document" or "Object".
bool isEligible(const visio::Shape& shape, std::uint8_t mode)
{
    const std::string name = shape.Name();
    if (mode == ObjectsMode)
        return (contains(name, "Document") || contains(name, "Object")) && ReadProperty(shape, ObjectRow::CopyFlag) != "1";
    return contains(name, "Process");
}

// Nothing a pass writes changes a name or a copy flag, so one walk decides
// which shapes take part for the whole pass.
std::vector<visio::Shape> eligibleShapes(const visio::Page& page, std::uint8_t mode)
{
    std::vector<visio::Shape> eligible;
    const visio::Shapes shapes = page.GetShapes();
    const int count = shapes.Count();
    for (int index = 1; index <= count; ++index) {
        visio::Shape shape = shapes.Item(index);
        if (isEligible(shape, mode))
            eligible.push_back(shape);
    }
    return eligible;
}

// In shape order, x before y: the first key that is not an integer is the
// pass's error, raised before any number is written.
std::vector<PositionKeys> positionKeysOf(const std::vector<visio::Shape>& shapes)
{
    std::vector<PositionKeys> keys;
    keys.reserve(shapes.size());
    for (const visio::Shape& shape : shapes) {
        PositionKeys key;
        key.x = PositionKey(shape.CellsSRC(visio::visSectionObject, 1, 0).FormulaU());
        key.y = PositionKey(shape.CellsSRC(visio::visSectionObject, 1, 1).FormulaU());
        keys.push_back(key);
    }
    return keys;
}

void numberShape(const visio::Shape& shape, const std::string& value, std::uint8_t mode, CopyIndex& copies)
{
    std::string previousNumber;
    std::string name;
    if (mode == ObjectsMode) {
        previousNumber = ReadPropertyFormula(shape, ObjectRow::Number);
        name = ReadPropertyFormula(shape, ObjectRow::Name);
    }
    shape.CellsSRC(PropertySection, ObjectRow::Number, 0).SetFormulaU(value);
    if (mode == ObjectsMode)
        copies.RenumberCopies(previousNumber, name, value);
}

} // namespace

void NumberElements(std::uint8_t mode, const std::string& fixedPart)
{
    visio::Application& application = session();
    const std::vector<visio::Shape> shapes = eligibleShapes(application.ActivePage(), mode);
    const std::vector<int> ordinals = OrdinalsByPosition(positionKeysOf(shapes));
    CopyIndex copies(application);
    for (std::size_t i = 0; i < shapes.size(); ++i)
        numberShape(shapes[i], ElementNumberValue(fixedPart, ordinals[i]), mode, copies);
}

int PositionKey(const std::string& pinFormula)
{
    std::string keyText;
    if (const auto space = pinFormula.find(' '); space != std::string::npos)
        keyText = pinFormula.substr(0, space);
    if (const auto point = pinFormula.find('.'); point != std::string::npos)
        keyText = pinFormula.substr(0, point);
    return StrToInt(keyText);
}

std::string ElementNumberValue(const std::string& fixedPart, int ordinal)
{
    std::string text = fixedPart + std::to_string(ordinal);
    if (const auto space = text.find(' '); space != std::string::npos)
        text.erase(space, 1);
    return StringLiteral(text);
}

void RenumberCopies(const std::string& previousNumber, const std::string& objectName,
                    const std::string& newValue)
{
    CopyIndex(session()).RenumberCopies(previousNumber, objectName, newValue);
}

TfrmAutoNum::TfrmAutoNum(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Нумерация элементов"));

    auto* prompt = new QLabel(QStringLiteral("Введите фиксированную часть номера:"), this);
    tbCONST = new QLineEdit(this);
    tbCONST->setObjectName(QStringLiteral("tbCONST"));
    prompt->setBuddy(tbCONST);

    auto* warning = new QLabel(QStringLiteral("Внимание !\n"
                                              "Фиксированная часть не может содержать пробелы.\n"
                                              "Нумерация происходит только на активной странице."),
                               this);

    RzRadioGroup1 = new ui::RadioGroup(QStringLiteral("  Нумеровать  "), this);
    RzRadioGroup1->setObjectName(QStringLiteral("RzRadioGroup1"));
    RzRadioGroup1->AddItem(QStringLiteral("Объекты"));
    RzRadioGroup1->AddItem(QStringLiteral("Процедуры"));
    RzRadioGroup1->SetItemIndex(0);

    btnSAVE = new QPushButton(QStringLiteral("Выполнить"), this);
    btnSAVE->setObjectName(QStringLiteral("btnSAVE"));
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    // Enter in the edit box must not start a pass by itself.
    btnSAVE->setAutoDefault(false);
    btnClose->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSAVE);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(tbCONST);
    layout->addWidget(warning);
    layout->addWidget(RzRadioGroup1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnSAVE, &QPushButton::clicked, this, &TfrmAutoNum::btnSAVEClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmAutoNum::btnCloseClick);
}

void TfrmAutoNum::NumberElements(std::uint8_t mode)
{
    ::NumberElements(mode, tbCONST->text().toStdString());
}

void TfrmAutoNum::btnSAVEClick()
{
    ui::RunHandler(this, [this] {
        const int index = RzRadioGroup1->ItemIndex();
        if (index == 0)
            NumberElements(0);
        else if (index == 1)
            NumberElements(1);
    });
}

void TfrmAutoNum::btnCloseClick()
{
    ui::RunHandler(this, [this] { reject(); });
}

void ExecuteAutoNum()
{
    TfrmAutoNum window;
    ui::ShowModal(window);
}
