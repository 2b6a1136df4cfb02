#include "model/Utils.h"

#include <limits>

#include "platform/visio/formula/StringLiteral.h"

namespace {

constexpr int LabelColumn = 2;
constexpr int ValueColumn = 0;

[[noreturn]] void raiseNotAnInteger(const std::string& text)
{
    throw EConvertError("'" + text + "' is not a valid integer value");
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

int StrToInt(const std::string& text)
{
    std::size_t position = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        position = 1;
    }
    if (position == text.size())
        raiseNotAnInteger(text);
    // One past the largest magnitude, so that -2147483648 is accepted.
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    long long magnitude = 0;
    for (; position < text.size(); ++position) {
        const char digit = text[position];
        if (digit < '0' || digit > '9')
            raiseNotAnInteger(text);
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude > limit)
            raiseNotAnInteger(text);
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

std::uint8_t ElementKindOfName(const std::string& name)
{
    std::uint8_t kind = ElementKindOther;
    if (contains(name, "Document") || contains(name, "Object"))
        kind = ElementKindObject;
    if (contains(name, "Process"))
        kind = ElementKindProcedure;
    return kind;
}

std::uint8_t ElementKindOf(const visio::Shape& shape)
{
    return ElementKindOfName(shape.Name());
}

std::string ReadPropertyFormula(const visio::Shape& shape, int row)
{
    // A row is present when its label cell is, inherited from the master or not.
    if (shape.CellsSRCExists(PropertySection, row, LabelColumn, 0) != -1)
        return {};
    return shape.CellsSRC(PropertySection, row, ValueColumn).FormulaU();
}

std::string StripQuotes(const std::string& text)
{
    if (auto literal = visio::formula::parseStringLiteral(text))
        return *literal;
    std::string copy = text;
    if (!copy.empty() && copy.front() == '"')
        copy.erase(0, 1);
    if (!copy.empty() && copy.back() == '"')
        copy.pop_back();
    return copy;
}

std::string ReadProperty(const visio::Shape& shape, int row)
{
    return StripQuotes(ReadPropertyFormula(shape, row));
}

std::string StringLiteral(const std::string& text)
{
    return visio::formula::quoteString(text);
}

void WriteProperty(const visio::Shape& shape, int row, const std::string& text)
{
    shape.CellsSRC(PropertySection, row, ValueColumn).SetFormulaU(StringLiteral(text));
}
