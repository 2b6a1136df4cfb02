// Lengths taken from formulas as Visio shows them, and the box of a shape
// built from them: dropped fractions, centimetres, halves rounded to even.

#include <gtest/gtest.h>

#include "frames/LengthToMm.h"
#include "model/Utils.h"
#include "support/StencilDrawing.h"

namespace {

TEST(LengthToMm, TakesTheWholeNumberBeforeTheUnit)
{
    struct Case {
        const char* formula;
        double length;
    } cases[] = {
        {"105 mm", 105},
        {"105.7 mm", 105},   // the fraction is dropped, not rounded
        {"100.9 mm", 100},
        {"10.5 cm", 100},    // 10, times 10
        {"3 cm", 30},
        {"5 mm+1 cm", 50},   // "cm" anywhere counts
        {"-20 mm", -20},
        {"4 in", 4},         // other units are taken as they stand
        {"4.9 in", 4},
        {"0 mm", 0},
        {"1e2 mm", 100},
        {"+7 mm", 7},
        {"12", 0},           // no space: 0
        {"Width*0.5", 0},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(LengthToMm(c.formula), c.length) << c.formula;
}

TEST(LengthToMm, TextThatIsNoNumberIsAConversionError)
{
    struct Case {
        const char* formula;
        const char* message;
    } cases[] = {
        {"abc mm", "'abc' is not a valid floating point value"},
        {"Width*0.5 + 10 mm", "'Width*0' is not a valid floating point value"},
        {"12,5 mm", "'12,5' is not a valid floating point value"},
        {" 7 mm", "'' is not a valid floating point value"},  // the text up to the first space is blank
        {".5 mm", "'' is not a valid floating point value"},
        {"0x10 mm", "'0x10' is not a valid floating point value"},
        {"inf mm", "'inf' is not a valid floating point value"},
        {"1e mm", "'1e' is not a valid floating point value"},
        {"GUARD(10 mm)", "'GUARD(10' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        try {
            LengthToMm(c.formula);
            ADD_FAILURE() << c.formula << " converted";
        } catch (const EConvertError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.formula;
        }
    }
}

TEST(ShapeBox, EdgesAreRoundedHalfToEven)
{
    struct Case {
        const char* pinX;
        const char* pinY;
        const char* width;
        const char* height;
        TShapeBox box;
    } cases[] = {
        {"100 mm", "100 mm", "50 mm", "40 mm", {75, 125, 120, 80}},
        {"100 mm", "100 mm", "51 mm", "40 mm", {74, 126, 120, 80}},   // 74.5 and 125.5
        {"100 mm", "100 mm", "25 mm", "25 mm", {88, 112, 112, 88}},   // 87.5 and 112.5
        {"100.9 mm", "100.9 mm", "50 mm", "40 mm", {75, 125, 120, 80}}, // the pin counts as 100
        {"10.5 cm", "2 cm", "3 cm", "1 cm", {85, 115, 25, 15}},
        {"-10 mm", "-10 mm", "5 mm", "3 mm", {-12, -8, -8, -12}},     // -12.5 and -7.5, -11.5 and -8.5
    };
    testsupport::StencilDrawing drawing;
    for (const Case& c : cases) {
        const visio::Shape shape = drawing.Drop("Frame");
        testsupport::Place(shape, c.pinX, c.pinY, c.width, c.height);
        const TShapeBox box = ShapeBox(shape);
        EXPECT_EQ((std::vector<int>{box.left, box.right, box.top, box.bottom}),
                  (std::vector<int>{c.box.left, c.box.right, c.box.top, c.box.bottom}))
            << c.pinX << " " << c.width;
    }
}

TEST(ShapeBox, ABoxLiesWithinAnotherWhenNoEdgeCrossesIt)
{
    const TShapeBox frame{75, 125, 120, 80};
    struct Case {
        TShapeBox inner;
        bool within;
    } cases[] = {
        {{75, 125, 120, 80}, true}, // coinciding edges
        {{80, 120, 110, 90}, true},
        {{74, 125, 120, 80}, false},
        {{75, 126, 120, 80}, false},
        {{75, 125, 121, 80}, false},
        {{75, 125, 120, 79}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BoxLiesWithin(c.inner, frame), c.within) << c.inner.left << " " << c.inner.right;
}

} // namespace
