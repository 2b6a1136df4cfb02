#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "platform/visio/formula/Formula.h"

using namespace visio::formula;

namespace {

using Kind = Classified::Kind;

TEST(FormulaClassify, OneStringLiteralIsAString)
{
    const std::pair<const char*, const char*> rows[] = {
        {R"("abc")", "abc"},
        {R"("")", ""},
        {R"(  "a""b"  )", "a\"b"},
        {R"("ООО ""Ромашка""")", "ООО \"Ромашка\""},
        {R"~("GOTOPAGE(""Page-2"")")~", "GOTOPAGE(\"Page-2\")"},
    };
    for (const auto& [formula, text] : rows) {
        SCOPED_TRACE(formula);
        const Classified classified = classify(formula);
        EXPECT_EQ(classified.kind, Kind::String);
        EXPECT_EQ(classified.text, text);
    }
}

struct NumberRow {
    const char* formula;
    double internalValue;
    const char* unitCode;
};

TEST(FormulaClassify, ConstantsWithUnitsAreNumbersInInternalUnits)
{
    const NumberRow rows[] = {
        {"12.5 mm", 0.4921259842519685, "MM"},
        {"17 MM", 17 / 25.4, "MM"},
        {"105 mm", 4.133858267716535, "MM"},
        {"0.5in", 0.5, "IN"},
        {"-0.125IN", -0.125, "IN"},
        {"-3", -3, ""},
        {"+3", 3, ""},
        {"1", 1, ""},
        {".5", 0.5, ""},
        {"2.5E-5", 2.5e-5, ""},
        {"9E-0008", 9e-8, ""},
        {"10 pt", 10 / 72.0, "PT"},
        {"90 deg", std::numbers::pi / 2, "DEG"},
        {"0DA", 0, "DA"},
        {"0.25DL", 0.25, "DL"},
        {"50%", 0.5, "PER"},
        {"-120%", -1.2, "PER"},
        {"1 ft 9 in", 21, "FT"},
        {"1FT 9IN", 21, "FT"},
        {"  3 cm  ", 3 / 2.54, "CM"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        const Classified classified = classify(row.formula);
        EXPECT_EQ(classified.kind, Kind::Number);
        EXPECT_DOUBLE_EQ(classified.internalValue, row.internalValue);
        EXPECT_EQ(classified.unitCode, row.unitCode);
    }
}

TEST(FormulaClassify, EverythingElseThatParsesIsAnExpression)
{
    const char* rows[] = {
        "GUARD(Width*0.5)",
        R"("a"&"b")",
        "(1)",
        "--3",
        "1+2",
        "Width",
        "TRUE",
        "2 m+1 mm",
        R"(GOTOPAGE("Page-2"))",
        R"(GOTOPAGE("Страница ""2"""))",
        "DEFAULTEVENT()",
        "OPENTEXTWIN()",
        "_WALKGLUE(BegTrigger,EndTrigger,WalkPreference)",
        "SETATREF(User.FillForegndIn,,1)",
        "USE({0F407D1B-000B-0000-8E40-00608CF305B2})",
        "Pages[Row 1 Rack 2]!ThePage!PAGENAME()",
        "'Sheet name'!Width*2",
        "Width GT Height",
        "BOUND(1FT 9IN,1,FALSE,-1,User.HoleWidthSpacing+2IN*DropOnPageScale)",
        "IF(User.CStyle=7,50%,0%)",
        "(Width)%",
        "-2^-2",
        "Prop.Имя",
    };
    for (const char* formula : rows) {
        SCOPED_TRACE(formula);
        EXPECT_EQ(classify(formula).kind, Kind::Expression);
        EXPECT_NO_THROW(Expression::parse(formula));
    }
}

struct InvalidRow {
    std::string formula;
    const char* message; // what the error says, with the place
};

TEST(FormulaClassify, InvalidFormulasSayWhatIsWrongAndWhere)
{
    const InvalidRow rows[] = {
        {R"("abc)", "string literal opened at character 1 is not closed"},
        {R"("a"b")", "string literal opened at character 5 is not closed"},
        {R"(")", "string literal opened at character 1 is not closed"},
        {"(1", "')' is expected at the end of the formula (to close the '(' at character 1)"},
        {"1+", "an operand is expected at the end of the formula"},
        {"1 2", "an operator is expected before '2' at character 3"},
        {"Width Height", "an operator is expected before 'Height' at character 7"},
        {"@", "unexpected character '@' at character 1"},
        {"Ширина@", "unexpected character '@' at character 7"},
        {"", "the formula is empty"},
        {"   ", "the formula is empty"},
        {")", "an operand is expected before ')' at character 1"},
        {"1,2", "an operator is expected before ',' at character 2"},
        {"MAX(1,2", "',' or ')' is expected at the end of the formula (to close the '(' at character 4)"},
        {"MAX(1 2)", "',' or ')' is expected before '2' at character 7 (to close the '(' at character 4)"},
        {"Sheet.5!", "a name is expected at the end of the formula"},
        {"'Sheet 1'", "a quoted name must be followed by '!' at character 1"},
        {"1E", "an operator is expected before 'E' at character 2"},
        {"1 2 in", "an operator is expected before '2' at character 3"},
        {"1%%%", "an operator is expected before '%' at character 4"},
        {"{0F40", "'{' is not closed at character 1"},
        {"Pages[Row 1", "'[' is not closed at character 6"},
        {"1E999", "number '1E999' is out of range at character 1"},
        {"No Formula", "an operator is expected before 'Formula' at character 4"},
        {std::string("1+\x01", 3), "unexpected control character 0x01 at character 3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        try {
            classify(row.formula);
            ADD_FAILURE() << "accepted";
        } catch (const FormulaError& error) {
            EXPECT_EQ(std::string(error.what()), row.message);
        }
        EXPECT_THROW(Expression::parse(row.formula), FormulaError);
    }
}

TEST(FormulaClassify, NestingIsBoundedInsteadOfExhaustingTheStack)
{
    const std::string depthOk = std::string(150, '(') + "1" + std::string(150, ')');
    EXPECT_EQ(classify(depthOk).kind, Kind::Expression);

    const std::string hostile[] = {
        std::string(100000, '(') + "1" + std::string(100000, ')'),
        std::string(100000, '-') + "1",
        [] {
            std::string calls;
            for (int i = 0; i < 5000; ++i)
                calls += "GUARD(";
            return calls + "1" + std::string(5000, ')');
        }(),
    };
    for (const auto& formula : hostile) {
        try {
            classify(formula);
            ADD_FAILURE() << "accepted";
        } catch (const FormulaError& error) {
            EXPECT_NE(std::string(error.what()).find("nests deeper than 200 levels"), std::string::npos)
                << error.what();
        }
    }
}

TEST(FormulaClassify, LongFlatFormulasParse)
{
    std::string sum = "1";
    for (int i = 0; i < 20000; ++i)
        sum += "+1";
    EXPECT_EQ(classify(sum).kind, Kind::Expression);
}

} // namespace
