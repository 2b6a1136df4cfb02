#include "numbering/ReferencePass.h"

#include "model/Utils.h"

namespace numberingtest {

namespace {

bool has(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

bool eligible(const visio::Shape& shape, std::uint8_t mode)
{
    const std::string name = shape.Name();
    if (mode == 0)
        return (has(name, "Document") || has(name, "Object")) && ReadProperty(shape, 6) != "1";
    return has(name, "Process");
}

int key(const visio::Shape& shape, int column)
{
    const std::string formula = shape.CellsSRC(1, 1, column).FormulaU();
    std::string keyText;
    const std::size_t space = formula.find(' ');
    if (space != std::string::npos)
        keyText = formula.substr(0, space);
    const std::size_t point = formula.find('.');
    if (point != std::string::npos)
        keyText = formula.substr(0, point);
    return StrToInt(keyText);
}

std::string numberValue(const std::string& fixedPart, int ordinal)
{
    std::string text = fixedPart + std::to_string(ordinal);
    const std::size_t space = text.find(' ');
    if (space != std::string::npos)
        text.erase(space, 1);
    return StringLiteral(text);
}

} // namespace

void ReferenceNumberElements(visio::Application& app, std::uint8_t mode, const std::string& fixedPart)
{
    int count = 0;
    const visio::Shapes counted = app.ActivePage().GetShapes();
    for (int i = 1; i <= counted.Count(); ++i)
        if (eligible(counted.Item(i), mode))
            ++count;

    const visio::Shapes shapes = app.ActivePage().GetShapes();
    for (int i = 1; i <= shapes.Count(); ++i) {
        const visio::Shape s = shapes.Item(i);
        if (!eligible(s, mode))
            continue;
        const int xs = key(s, 0);
        const int ys = key(s, 1);
        int n = count;
        const visio::Shapes others = app.ActivePage().GetShapes();
        for (int j = 1; j <= others.Count(); ++j) {
            const visio::Shape t = others.Item(j);
            if (j == i || !eligible(t, mode))
                continue;
            const int xt = key(t, 0);
            const int yt = key(t, 1);
            if (xt > xs)
                --n;
            else if (xt == xs && yt < ys)
                --n;
        }
        const std::string value = numberValue(fixedPart, n);
        std::string previousNumber;
        std::string name;
        if (mode == 0) {
            previousNumber = ReadPropertyFormula(s, 0);
            name = ReadPropertyFormula(s, 1);
        }
        s.CellsSRC(243, 0, 0).SetFormulaU(value);
        if (mode == 0)
            ReferenceRenumberCopies(app, previousNumber, name, value);
    }
}

void ReferenceRenumberCopies(visio::Application& app, const std::string& previousNumber,
                             const std::string& objectName, const std::string& newValue)
{
    const visio::Pages pages = app.ActiveDocument().GetPages();
    for (int p = 1; p <= pages.Count(); ++p) {
        const visio::Shapes shapes = pages.Item(p).GetShapes();
        for (int i = 1; i <= shapes.Count(); ++i) {
            const visio::Shape shape = shapes.Item(i);
            if (ElementKindOf(shape) == 0 && ReadProperty(shape, 6) == "1" &&
                ReadPropertyFormula(shape, 1) == objectName && ReadPropertyFormula(shape, 0) == previousNumber)
                shape.CellsSRC(243, 0, 0).SetFormulaU(newValue);
        }
    }
}

} // namespace numberingtest
