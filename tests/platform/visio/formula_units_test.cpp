#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/visio/formula/Units.h"

using namespace visio::formula;

namespace {

struct UnitRow {
    const char* word;
    const char* code;
    Dimension dimension;
    double oneInInternal; // 1 <word> in internal units
};

TEST(FormulaUnits, WordsConvertToInternalUnits)
{
    const UnitRow rows[] = {
        {"in", "IN", Dimension::Length, 1.0},
        {"IN", "IN", Dimension::Length, 1.0},
        {"IN_F", "IN_F", Dimension::Length, 1.0},
        {"ft", "FT", Dimension::Length, 12.0},
        {"yd", "YD", Dimension::Length, 36.0},
        {"mi", "MI", Dimension::Length, 63360.0},
        {"mm", "MM", Dimension::Length, 1 / 25.4},
        {"MM", "MM", Dimension::Length, 1 / 25.4},
        {"Mm", "MM", Dimension::Length, 1 / 25.4},
        {"cm", "CM", Dimension::Length, 1 / 2.54},
        {"m", "M", Dimension::Length, 1 / 0.0254},
        {"km", "KM", Dimension::Length, 1000 / 0.0254},
        {"pt", "PT", Dimension::Length, 1 / 72.0},
        {"p", "PC", Dimension::Length, 12 / 72.0},
        {"deg", "DEG", Dimension::Angle, std::numbers::pi / 180},
        {"rad", "RAD", Dimension::Angle, 1.0},
        {"%", "PER", Dimension::None, 0.01},
        // Default-unit words stand for the internal unit, whatever the drawing shows.
        {"DL", "DL", Dimension::Length, 1.0},
        {"DT", "DT", Dimension::Length, 1.0},
        {"DA", "DA", Dimension::Angle, 1.0},
        {"ed", "ED", Dimension::Duration, 1.0},
        {"eh", "EH", Dimension::Duration, 1 / 24.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.word);
        const auto unit = unitByWord(row.word);
        ASSERT_TRUE(unit);
        EXPECT_EQ(unit->code, row.code);
        EXPECT_EQ(unit->dimension, row.dimension);
        EXPECT_NEAR(toInternal(1, *unit), row.oneInInternal, 1e-12 * row.oneInInternal);
        EXPECT_NEAR(fromInternal(toInternal(7.25, *unit), *unit), 7.25, 1e-12);
    }
}

TEST(FormulaUnits, UnknownWordsAreNoUnit)
{
    for (const char* word : {"", "Width", "mmm", "E", "DEGREES", "STR", "BOOL"}) {
        SCOPED_TRACE(word);
        EXPECT_FALSE(unitByWord(word));
    }
}

TEST(FormulaUnits, CodesOfMeasuresAreUnitsOthersAreNot)
{
    EXPECT_EQ(unitByCode("MM")->formulaWord, "mm");
    EXPECT_EQ(unitByCode("IN_F")->formulaWord, "in");
    EXPECT_EQ(unitByCode("F_I")->formulaWord, "ft");
    // A stored angle in drawing angle units shows in degrees.
    const auto da = unitByCode("DA");
    ASSERT_TRUE(da);
    EXPECT_EQ(da->formulaWord, "deg");
    EXPECT_NEAR(fromInternal(std::numbers::pi, *da), 180, 1e-12);
    EXPECT_NEAR(toInternal(25.4, *unitByCode("MM")), 1.0, 1e-15);
    for (const char* code : {"DL", "STR", "BOOL", "NUM", "COLOR", "GUID", "DATE", "", "mm"}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(unitByCode(code));
    }
}

struct FormatRow {
    double value;
    const char* text;
};

TEST(FormulaUnits, FormatNumberPrintsShortestTwelveDigitText)
{
    const FormatRow rows[] = {
        {104.99999999999999, "105"},
        {4.1338582677165 * 25.4, "105"},
        {4.133858267716535 * 25.4, "105"},
        {12.5, "12.5"},
        {0.0001, "0.0001"},
        {-3.25, "-3.25"},
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333"},
        {2.0 / 3, "0.666666666667"},
        {123456789012.4, "123456789012"},
        {1234567.125, "1234567.125"},
        {100000000000000.0, "100000000000000"},
        {0.00012345678901234, "0.000123456789012"},
        {2.5e-5, "2.5E-5"},
        {-2.5376526277146e-16, "-2.53765262771E-16"},
        {1.5e300, "1.5E300"},
        {1e15, "1E15"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(formatNumber(row.value), row.text);
    }
}

TEST(FormulaUnits, FormatNumberIgnoresTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // A locale with a decimal comma, when the machine has one; "C" otherwise.
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(formatNumber(12.5), "12.5");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(formatNumber(12.5), "12.5");
}

TEST(FormulaUnits, FormatNumberOfNonFiniteValuesIsReadable)
{
    EXPECT_EQ(formatNumber(INFINITY), "inf");
    EXPECT_EQ(formatNumber(-INFINITY), "-inf");
}

} // namespace
