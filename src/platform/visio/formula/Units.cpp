#include "platform/visio/formula/Units.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/visio/formula/CaseInsensitive.h"

namespace visio::formula {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// Units a stored value may be shown in, by their U code.
constexpr std::array kUnitsByCode = {
    UnitInfo{"IN", "in", Dimension::Length, 1.0},
    UnitInfo{"IN_F", "in", Dimension::Length, 1.0},
    UnitInfo{"FT", "ft", Dimension::Length, 1.0 / 12.0},
    UnitInfo{"F_I", "ft", Dimension::Length, 1.0 / 12.0},
    UnitInfo{"YD", "yd", Dimension::Length, 1.0 / 36.0},
    UnitInfo{"MI", "mi", Dimension::Length, 1.0 / 63360.0},
    UnitInfo{"MM", "mm", Dimension::Length, 25.4},
    UnitInfo{"CM", "cm", Dimension::Length, 2.54},
    UnitInfo{"M", "m", Dimension::Length, 0.0254},
    UnitInfo{"KM", "km", Dimension::Length, 0.0000254},
    UnitInfo{"PT", "pt", Dimension::Length, 72.0},
    UnitInfo{"PC", "pc", Dimension::Length, 6.0},
    UnitInfo{"DEG", "deg", Dimension::Angle, kDegreesPerRadian},
    // Angles in the drawing's angle units are shown in degrees.
    UnitInfo{"DA", "deg", Dimension::Angle, kDegreesPerRadian},
    UnitInfo{"RAD", "rad", Dimension::Angle, 1.0},
    UnitInfo{"EW", "ew", Dimension::Duration, 1.0 / 7.0},
    UnitInfo{"ED", "ed", Dimension::Duration, 1.0},
    UnitInfo{"EH", "eh", Dimension::Duration, 24.0},
    UnitInfo{"EM", "em", Dimension::Duration, 1440.0},
    UnitInfo{"ES", "es", Dimension::Duration, 86400.0},
    UnitInfo{"PER", "%", Dimension::None, 100.0},
};

struct WordAlias {
    std::string_view word;
    UnitInfo unit;
};

// Words a formula may write after a number besides the codes themselves. The
// default-unit words (DL, DP, DT, DA) mean the internal unit: a formula
// "0.19685039370079DL" holds 5 mm even on a metric drawing.
constexpr std::array kWordAliases = {
    WordAlias{"inch", kUnitsByCode[0]},
    WordAlias{"inches", kUnitsByCode[0]},
    WordAlias{"feet", kUnitsByCode[2]},
    WordAlias{"foot", kUnitsByCode[2]},
    WordAlias{"p", kUnitsByCode[11]},
    WordAlias{"pica", kUnitsByCode[11]},
    WordAlias{"picas", kUnitsByCode[11]},
    WordAlias{"%", kUnitsByCode[20]},
    WordAlias{"DL", UnitInfo{"DL", "DL", Dimension::Length, 1.0}},
    WordAlias{"DP", UnitInfo{"DP", "DP", Dimension::Length, 1.0}},
    WordAlias{"DT", UnitInfo{"DT", "DT", Dimension::Length, 1.0}},
    WordAlias{"DA", UnitInfo{"DA", "DA", Dimension::Angle, 1.0}},
};


// Exponent written the way formulas write it: "2.5E-5", "1.5E300".
std::string withFormulaExponent(std::string text)
{
    const auto e = text.find('e');
    if (e == std::string::npos)
        return text;
    std::string exponent = text.substr(e + 1);
    const bool negative = !exponent.empty() && exponent.front() == '-';
    if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
        exponent.erase(0, 1);
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return text.substr(0, e) + (negative ? "E-" : "E") + exponent;
}

} // namespace

// The value rounded to `digits` significant decimal digits.
double roundToSignificant(double value, int digits)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, digits - 1);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

std::optional<UnitInfo> unitByCode(std::string_view code)
{
    for (const auto& unit : kUnitsByCode)
        if (unit.code == code)
            return unit;
    return std::nullopt;
}

std::optional<UnitInfo> unitByWord(std::string_view word)
{
    for (const auto& alias : kWordAliases)
        if (equalsIgnoringCase(alias.word, word))
            return alias.unit;
    for (const auto& unit : kUnitsByCode)
        if (equalsIgnoringCase(unit.code, word) || equalsIgnoringCase(unit.formulaWord, word))
            return unit;
    return std::nullopt;
}

double toInternal(double value, const UnitInfo& unit)
{
    return value / unit.perInternal;
}

double fromInternal(double internal, const UnitInfo& unit)
{
    return internal * unit.perInternal;
}

std::string formatNumber(double value)
{
    char buffer[400];
    if (!std::isfinite(value)) {
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, written.ptr);
    }
    double rounded = roundToSignificant(value, 12);
    if (rounded == 0)
        return "0"; // also for -0
    const double magnitude = std::fabs(rounded);
    const bool ordinary = magnitude >= 1e-4 && magnitude < 1e15;
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, rounded,
                                       ordinary ? std::chars_format::fixed : std::chars_format::scientific);
    return withFormulaExponent(std::string(buffer, written.ptr));
}

} // namespace visio::formula
