#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace visio::formula {

// What a number measures. Stored values (the V of a cell) are in internal
// units: lengths in inches, angles in radians, durations in days.
enum class Dimension { None, Length, Angle, Duration };

struct UnitInfo {
    std::string_view code;      // the U attribute: "MM", "IN", "DEG", ...
    std::string_view formulaWord; // the word written after a number: "mm", "in", "deg"
    Dimension dimension;
    double perInternal;         // how many of this unit make one internal unit
};

// The unit of a U attribute code ("MM", "CM", "IN", "IN_F", "PT", "M", "FT",
// "DEG", "RAD", "DA", "PC", "KM", "MI", "YD", ...); nothing for codes that are not
// a unit of measure (DL, STR, BOOL, NUM, COLOR, GUID, DATE, empty).
std::optional<UnitInfo> unitByCode(std::string_view code);
// The unit of a word written in a formula after a number, case-insensitive
// ("mm", "MM", "in", "pt", "deg", "cm", "ft", "m", ...).
std::optional<UnitInfo> unitByWord(std::string_view word);

// A value in `unit` converted to internal units and back.
double toInternal(double value, const UnitInfo& unit);
double fromInternal(double internal, const UnitInfo& unit);

// The shortest decimal text of a number with at most 12 significant digits,
// a full stop as the decimal separator, no trailing zeros, no exponent for
// ordinary magnitudes: 105, 12.5, -3.25, 0.001.
std::string formatNumber(double value);

// The value rounded to `digits` significant decimal digits.
double roundToSignificant(double value, int digits);

} // namespace visio::formula
