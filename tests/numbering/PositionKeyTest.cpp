// Position keys of pin formulas and the element number values built from them.

#include <gtest/gtest.h>

#include "model/Utils.h"
#include "numbering/Unit_AutoNum.h"

namespace {

TEST(PositionKey, IsTheIntegerPartBeforeThePointOrTheSpace)
{
    struct Case {
        const char* formula;
        int key;
    };
    const Case cases[] = {
        {"105 mm", 105},   {"105.7 mm", 105}, {"105.9 mm", 105}, {"-3.5 mm", -3},
        {"0.4 mm", 0},     {"-0.4 mm", 0},    {"7 in", 7},       {"2.54 cm", 2},
        {"12.5", 12},      {"-2147483648 mm", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PositionKey(c.formula), c.key) << c.formula;
}

TEST(PositionKey, KeyTextThatIsNoIntegerIsTheConversionError)
{
    struct Case {
        const char* formula;
        const char* message;
    };
    const Case cases[] = {
        {"105", "'' is not a valid integer value"},          // no space and no point
        {"1+1", "'' is not a valid integer value"},
        {"GUARD(1 mm)", "'GUARD(1' is not a valid integer value"},
        {"Width*0.5", "'Width*0' is not a valid integer value"},
        {"Sheet.5!PinX", "'Sheet' is not a valid integer value"},  // the point wins over no space
        {"", "'' is not a valid integer value"},
        {" 5 mm", "'' is not a valid integer value"},
        {"2147483648 mm", "'2147483648' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        try {
            PositionKey(c.formula);
            ADD_FAILURE() << c.formula << " gave a key";
        } catch (const EConvertError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.formula;
        }
    }
}

TEST(ElementNumberValue, IsTheLiteralOfFixedPartAndOrdinalWithoutItsFirstSpace)
{
    struct Case {
        const char* fixedPart;
        int ordinal;
        const char* value;
    };
    const Case cases[] = {
        {"1.2.", 7, R"("1.2.7")"},
        {"", 7, R"("7")"},
        {"A B", 3, R"("AB3")"},
        {"A B C", 3, R"("AB C3")"},
        {" ", 12, R"("12")"},
        {"Q\"q", 1, R"("Q""q1")"},        // quotes are doubled, so the literal stays whole
        {"Объект-", 10, R"("Объект-10")"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ElementNumberValue(c.fixedPart, c.ordinal), c.value) << c.fixedPart;
}

} // namespace
