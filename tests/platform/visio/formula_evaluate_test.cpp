#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "platform/visio/formula/Formula.h"

using namespace visio::formula;

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

Value length(double inches)
{
    Value value;
    value.number = inches;
    value.dimension = Dimension::Length;
    return value;
}

// A shape of 2 in by 1 in with a neighbour Sheet.5; its parent lies 1 in right and
// 2 in up, Sheet.5's parent 10 in right and 20 in up.
class FakeDrawing : public EvaluationContext {
public:
    FakeDrawing()
    {
        set("", "Width", length(2));
        set("", "Height", length(1));
        set("", "BeginX", length(1));
        set("", "EndX", length(3));
        set("", "Angle", [] {
            Value angle;
            angle.number = std::numbers::pi / 2;
            angle.dimension = Dimension::Angle;
            return angle;
        }());
        set("", "Prop.Name", [] {
            Value text;
            text.type = Value::Type::String;
            text.text = "ООО \"Ромашка\"";
            return text;
        }());
        set("Sheet.5", "Width", length(3));
        set("Sheet.5", "Connections.X9", length(0.5));
        set("Sheet.5", "Connections.Y9", length(0.25));
    }

    std::optional<Value> cellValue(const Reference& reference) override
    {
        const auto found = cells_.find({lowered(reference.sheet), lowered(reference.cell)});
        if (found == cells_.end())
            return std::nullopt;
        return found->second;
    }

    std::optional<Value> toParent(const Value& point, const std::string& sheet) override
    {
        parentSheets.push_back(sheet);
        Value moved = point;
        moved.number += sheet == "Sheet.5" ? 10 : 1;
        moved.y += sheet == "Sheet.5" ? 20 : 2;
        return moved;
    }

    std::vector<std::string> parentSheets;

private:
    void set(const std::string& sheet, const std::string& cell, Value value)
    {
        cells_[{lowered(sheet), lowered(cell)}] = std::move(value);
    }

    std::map<std::pair<std::string, std::string>, Value> cells_;
};

struct NumberRow {
    const char* formula;
    double expected;
    Dimension dimension;
};

TEST(FormulaEvaluate, ArithmeticOnUnitsAndReferences)
{
    constexpr auto L = Dimension::Length;
    constexpr auto N = Dimension::None;
    constexpr auto A = Dimension::Angle;
    const NumberRow rows[] = {
        {"GUARD(Width*0.5)", 1, L},
        {"Height-3.5 mm", 1 - 3.5 / 25.4, L},
        {"(BeginX+EndX)/2", 2, L},
        {"GUARD(EndX-BeginX)", 2, L},
        {"12.5 mm + 1 in", 0.4921259842519685 + 1, L},
        {"width*1", 2, L},
        {"Sheet.5!Width-Width", 1, L},
        {"Width/Height", 2, N},
        {"2+3*4", 14, N},
        {"10-4-3", 3, N},
        {"2^3^2", 64, N},
        {"-2^2", 4, N},
        {"2^-1", 0.5, N},
        {"-Width", -2, L},
        {"50%", 0.5, N},
        {"Width*50%", 1, L},
        {"(Width)%", 0.02, L},
        {"1 ft 9 in", 21, L},
        {"0.25DL", 0.25, L},
        {"0DA+90 deg", std::numbers::pi / 2, A},
        {"90 deg", std::numbers::pi / 2, A},
        {"Angle+90 deg", std::numbers::pi, A},
        {"5*\"2\"", 10, N},
        {"TRUE+TRUE", 2, N},
        {"SQRT((EndX-BeginX)^2+(Width-Height)^2)", std::sqrt(5.0), L},
        {"MIN(3 mm,1 cm,Width)", 3 / 25.4, L},
        {"MAX(Sheet.5!Width,1)", 3, L},
        {"SUM(1,2,3)", 6, N},
        {"ABS(-3 mm)", 3 / 25.4, L},
        {"SQRT(16)", 4, N},
        {"INT(8.9)", 8, N},
        {"INT(-8.9)", -9, N},
        {"TRUNC(-8.9)", -8, N},
        {"TRUNC(3.14159,2)", 3.14, N},
        {"ROUND(2.675,2)", 2.68, N},
        {"ROUND(1.005,2)", 1.01, N},
        {"ROUND(0.285,2)", 0.29, N},
        {"ROUND(-2.5,0)", -3, N},
        {"ROUND(1234,-2)", 1200, N},
        {"FLOOR(3.7,2)", 2, N},
        {"FLOOR(-2.5,-2)", -2, N},
        {"FLOOR(-2.5)", -3, N},
        {"CEILING(7,2.5)", 7.5, N},
        {"CEILING(-1.25)", -2, N},
        {"CEILING(Width+1 mm,5 mm)", 55 / 25.4, L},
        {"MODULUS(-1,4)", 3, N},
        {"MODULUS(7,-4)", -1, N},
        {"SIN(90 deg)", 1, N},
        {"COS(0)", 1, N},
        {"ATAN2(1,1)", std::numbers::pi / 4, A},
        {"ATAN2(0,0)", 0, A},
        {"PI()", std::numbers::pi, N},
        {"IF(Width>Height,1,_XFTRIGGER(EventXFMod))", 1, N},
        {"IF(Width<Height,1 mm,2 mm)", 2 / 25.4, L},
        {"PNTX(PNT(1 in,2 in))", 1, L},
        {"PNTY(PNT(1 in,2 in))", 2, L},
    };
    FakeDrawing drawing;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        const auto value = Expression::parse(row.formula)->evaluate(drawing);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, Value::Type::Number);
        EXPECT_NEAR(value->number, row.expected, 1e-12);
        EXPECT_EQ(value->dimension, row.dimension);
    }
}

TEST(FormulaEvaluate, ComparisonsLogicAndText)
{
    struct Row {
        const char* formula;
        Value::Type type;
        double number;
        const char* text;
    };
    constexpr auto B = Value::Type::Bool;
    constexpr auto S = Value::Type::String;
    constexpr auto N = Value::Type::Number;
    const Row rows[] = {
        {"Width=2 in", B, 1, ""},
        {"Width=50.8 mm", B, 1, ""},
        {"Width<>Height", B, 1, ""},
        {"Width<=Height", B, 0, ""},
        {"Width>=2", B, 1, ""},
        // The symbols compare after rounding away the last digits, the words exactly.
        {"1>0.9999999999999999", B, 0, ""},
        {"1 GT 0.9999999999999999", B, 1, ""},
        {"0.1+0.2=0.3", B, 1, ""},
        {"0.1+0.2 EQ 0.3", B, 0, ""},
        {"AND(TRUE,Width=2 in)", B, 1, ""},
        {"OR(FALSE,NOT(TRUE))", B, 0, ""},
        {"NOT(0)", B, 1, ""},
        {"TRUE", B, 1, ""},
        {"2*5&\" cents\"", S, 0, "10 cents"},
        {"\"a\"\"b\"&Prop.Name", S, 0, "a\"bООО \"Ромашка\""},
        {"TRUE&\"\"", S, 0, "TRUE"},
        {"GUARD(\"text\")", S, 0, "text"},
        // Labels built from shape data: LEN counts characters, not bytes.
        {"LEN(Prop.Name)", N, 13, ""},
        {"LEN(\"\")", N, 0, ""},
        {"LEN(12.5)", N, 4, ""},
        {"IF(LEN(\"\")>0,\"x\",\"\")", S, 0, ""},
        {"\"a\"&CHAR(10)&\"b\"", S, 0, "a\nb"},
        {"CHAR(1025)", S, 0, "Ё"},
        {"CHAR(65.7)", S, 0, "A"},
    };
    FakeDrawing drawing;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        const auto value = Expression::parse(row.formula)->evaluate(drawing);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, row.type);
        if (row.type == S)
            EXPECT_EQ(value->text, row.text);
        else
            EXPECT_EQ(value->number, row.number);
    }
}

TEST(FormulaEvaluate, ParMovesThePointIntoTheParentOfTheSheetItsReferencesName)
{
    struct Row {
        const char* formula;
        double x, y;
        const char* sheet;
    };
    const Row rows[] = {
        {"PAR(PNT(Sheet.5!Connections.X9,Sheet.5!Connections.Y9))", 10.5, 20.25, "Sheet.5"},
        {"PAR(PNT(Width,Height))", 3, 3, ""},
        {"PAR(PNT(1 in,Sheet.5!Connections.Y9))", 11, 20.25, "Sheet.5"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        FakeDrawing drawing;
        const auto value = Expression::parse(row.formula)->evaluate(drawing);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, Value::Type::Point);
        EXPECT_DOUBLE_EQ(value->number, row.x);
        EXPECT_DOUBLE_EQ(value->y, row.y);
        EXPECT_EQ(value->dimension, Dimension::Length);
        EXPECT_EQ(drawing.parentSheets, std::vector<std::string>{row.sheet});
    }
    FakeDrawing drawing;
    const auto x = Expression::parse("PNTX(PAR(PNT(Sheet.5!Connections.X9,0)))")->evaluate(drawing);
    ASSERT_TRUE(x);
    EXPECT_DOUBLE_EQ(x->number, 10.5);
}

TEST(FormulaEvaluate, WhatCannotBeEvaluatedGivesNothing)
{
    const char* rows[] = {
        "_WALKGLUE(BegTrigger,EndTrigger,WalkPreference)",
        "_XFTRIGGER(EventXFMod)",
        "THEMEGUARD(RGB(0,0,0))",
        "SETF(GetRef(Width),1)",
        "GOTOPAGE(\"Page-2\")",
        "DEFAULTEVENT()",
        "USE({0F407D1B-000B-0000-8E40-00608CF305B2})",
        "ThePage!PAGENAME()",
        "Width/0",
        "MODULUS(1,0)",
        "Unknown.Cell+1",
        "ThePage!PageWidth",
        "5*\"sheep\"",
        "Width&\" in\"",
        "Width+90 deg",
        "SQRT(-1)",
        "10^400",
        "ROUND(Width,0)",
        "INT(Width)",
        "FLOOR(2.5,-2)",
        "FLOOR(Width,1)",
        "MAX(1,,2)",
        "GUARD()",
        "GUARD(1,2)",
        "IF(TRUE,1)",
        "IF(Unknown,1,2)",
        "IF(FALSE,1,_XFTRIGGER(EventXFMod))",
        "PAR(Width)",
        "PNTX(Width)",
        "PNT(1,2)+1",
        "PI(1)",
        "LISTSHEETREF()!Width",
        "LEN(Width)",
        "LEN(\"a\",\"b\")",
        "CHAR(0)",
        "CHAR(55296)",
        "CHAR(1114112)",
        "CHAR(\"x\")",
    };
    FakeDrawing drawing;
    for (const char* formula : rows) {
        SCOPED_TRACE(formula);
        EXPECT_FALSE(Expression::parse(formula)->evaluate(drawing));
    }
}

TEST(FormulaEvaluate, ReferencesAreListedInOrderAsWritten)
{
    struct Row {
        const char* formula;
        std::vector<std::string> references; // "sheet|cell"
    };
    const Row rows[] = {
        {"_WALKGLUE(BegTrigger,EndTrigger,WalkPreference)", {"|BegTrigger", "|EndTrigger", "|WalkPreference"}},
        {"PAR(PNT(Sheet.5!Connections.X9,Sheet.5!Connections.Y9))",
         {"Sheet.5|Connections.X9", "Sheet.5|Connections.Y9"}},
        {"ThePage!PageWidth-Pages[Row 1 Rack 2]!ThePage!PageHeight",
         {"ThePage|PageWidth", "Pages[Row 1 Rack 2]!ThePage|PageHeight"}},
        {"'Sheet ''1'''!X+Prop.Name.Value", {"Sheet '1'|X", "|Prop.Name.Value"}},
        {"IF(User.Row_1,Geometry1.X1,Char.Size)&Scratch.A1",
         {"|User.Row_1", "|Geometry1.X1", "|Char.Size", "|Scratch.A1"}},
        {"width+WIDTH", {"|width", "|WIDTH"}},
        {"Width GT Height", {"|Width", "|Height"}},
        // A sheet found by a function is named by the call as written.
        {"IFERROR(CONTAINERSHEETREF(1,\"Lane\")!User.Heading,Width)",
         {"CONTAINERSHEETREF(1,\"Lane\")|User.Heading", "|Width"}},
        {"CONTAINERSHEETREF(LISTSHEETREF(),Height)!LineWeight",
         {"|Height", "CONTAINERSHEETREF(LISTSHEETREF(),Height)|LineWeight"}},
        {"GOTOPAGE(\"Page-2\")", {}},
        {"TRUE+FALSE+12 mm+ThePage!PAGENAME()", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        const auto expression = Expression::parse(row.formula);
        std::vector<std::string> actual;
        for (const auto& reference : expression->references())
            actual.push_back(reference.sheet + "|" + reference.cell);
        EXPECT_EQ(actual, row.references);
    }
}

TEST(FormulaEvaluate, AParsedExpressionEvaluatesAgainAgainstChangedCells)
{
    const auto expression = Expression::parse("GUARD(Width*0.5)");
    FakeDrawing drawing;
    EXPECT_DOUBLE_EQ(expression->evaluate(drawing)->number, 1);

    struct Wider : FakeDrawing {
        std::optional<Value> cellValue(const Reference& reference) override
        {
            if (reference.cell == "Width")
                return length(5);
            return FakeDrawing::cellValue(reference);
        }
    } wider;
    EXPECT_DOUBLE_EQ(expression->evaluate(wider)->number, 2.5);
}

} // namespace
