#include "frames/LengthToMm.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "model/Utils.h"

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string trimmed(const std::string& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number: a sign, digits with at most one decimal point, and an
// exponent; nothing else (no hexadecimal, no "inf").
bool isDecimalNumber(const std::string& text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    return i == text.size();
}

double StrToFloat(const std::string& text)
{
    double value = 0;
    const std::string digits = !text.empty() && text[0] == '+' ? text.substr(1) : text;
    if (!isDecimalNumber(text) ||
        std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc())
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return value;
}

// Rounds to the nearest whole number, a half to the even one (2.5 gives 2,
// 3.5 gives 4), whatever rounding mode the processor is in.
int roundHalfToEven(double value)
{
    double nearest = std::floor(value + 0.5);
    if (nearest - value == 0.5 && std::fmod(nearest, 2.0) != 0)
        nearest -= 1;
    if (!(nearest >= std::numeric_limits<int>::min() && nearest <= std::numeric_limits<int>::max()))
        throw EConvertError("The edge " + std::to_string(value) + " lies beyond the range of a whole number");
    return static_cast<int>(nearest);
}

double lengthOf(const visio::Shape& shape, const char* cell)
{
    return LengthToMm(shape.Cells(cell).FormulaU());
}

} // namespace

double LengthToMm(const std::string& formula)
{
    const std::size_t space = formula.find(' ');
    if (space == std::string::npos)
        return 0;
    std::string text = formula.substr(0, space + 1);
    if (const std::size_t point = formula.find('.'); point != std::string::npos)
        text = formula.substr(0, point);
    double number = StrToFloat(trimmed(text));
    if (formula.find("cm") != std::string::npos)
        number *= 10;
    return number;
}

TShapeBox ShapeBox(const visio::Shape& shape)
{
    const double width = lengthOf(shape, "Width");
    const double x = lengthOf(shape, "PinX");
    const double height = lengthOf(shape, "Height");
    const double y = lengthOf(shape, "PinY");
    TShapeBox box;
    box.left = roundHalfToEven(x - width / 2);
    box.right = roundHalfToEven(x + width / 2);
    box.top = roundHalfToEven(y + height / 2);
    box.bottom = roundHalfToEven(y - height / 2);
    return box;
}

bool BoxLiesWithin(const TShapeBox& inner, const TShapeBox& outer)
{
    return !(inner.left < outer.left || inner.right > outer.right || inner.top > outer.top ||
             inner.bottom < outer.bottom);
}
