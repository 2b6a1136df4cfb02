// The numbering pass on small drawings: ordinals by position, the fixed part,
// which shapes take part, and numbers carried to copies on every page.

#include <gtest/gtest.h>

#include <cstdint>

#include "model/Utils.h"
#include "numbering/NumberingCases.h"
#include "numbering/NumberingDrawing.h"

namespace numberingtest {
namespace {

struct Case {
    const char* title;
    std::uint8_t mode;
    const char* fixedPart;
    std::vector<Placed> shapes;
};

const Case Cases[] = {
    {"no eligible shapes: nothing is written", 0, "N",
     {{1, "Stamp", "10 mm", "10 mm"}, {1, "Frame", "20 mm", "10 mm"}, {1, "Process", "30 mm", "10 mm", "A", "old"}}},
    {"procedures mode with objects only: nothing is written", 1, "N",
     {{1, "Object", "10 mm", "10 mm", "A", "old"}, {1, "Document", "20 mm", "10 mm", "B", "old"}}},
    {"empty fixed part: bare ordinals from left to right", 0, "",
     {{1, "Object", "30 mm", "10 mm", nullptr, nullptr, nullptr, "3"},
      {1, "Object", "20 mm", "10 mm", nullptr, nullptr, nullptr, "2"},
      {1, "Object", "10 mm", "10 mm", nullptr, nullptr, nullptr, "1"}}},
    {"one space in the fixed part is removed", 0, "A B",
     {{1, "Object", "10 mm", "10 mm", nullptr, nullptr, nullptr, "AB1"},
      {1, "Object", "20 mm", "10 mm", nullptr, nullptr, nullptr, "AB2"}}},
    {"of two spaces only the first is removed", 0, "A  B",
     {{1, "Object", "10 mm", "10 mm", nullptr, nullptr, nullptr, "A B1"}}},
    {"separator belongs to the fixed part", 0, "1.2.",
     {{1, "Object", "10 mm", "10 mm", nullptr, nullptr, nullptr, "1.2.1"},
      {1, "Object", "20 mm", "10 mm", nullptr, nullptr, nullptr, "1.2.2"}}},
    {"two shapes at one place both get ordinal 2", 0, "",
     {{1, "Object", "10 mm", "10 mm", nullptr, nullptr, nullptr, "2"},
      {1, "Object", "10 mm", "10 mm", nullptr, nullptr, nullptr, "2"}}},
    {"columns left to right, each from the top down", 0, "",
     {{1, "Object", "10 mm", "20 mm", nullptr, nullptr, nullptr, "3"},
      {1, "Object", "10 mm", "30 mm", nullptr, nullptr, nullptr, "2"},
      {1, "Object", "5 mm", "0 mm", nullptr, nullptr, nullptr, "1"}}},
    {"105.9 mm and 105.1 mm share a column, ordered by height", 0, "",
     {{1, "Object", "105.9 mm", "50 mm", nullptr, nullptr, nullptr, "2"},
      {1, "Object", "105.1 mm", "60 mm", nullptr, nullptr, nullptr, "1"}}},
    {"negative positions are cut towards zero", 0, "",
     {{1, "Object", "-3.5 mm", "0 mm", nullptr, nullptr, nullptr, "1"},
      {1, "Object", "-2 mm", "0 mm", nullptr, nullptr, nullptr, "2"},
      {1, "Object", "-0.4 mm", "0 mm", nullptr, nullptr, nullptr, "4"},
      {1, "Object", "0.4 mm", "5 mm", nullptr, nullptr, nullptr, "3"}}},
    {"documents and objects form one sequence", 0, "",
     {{1, "Document", "10 mm", "10 mm", nullptr, nullptr, nullptr, "1"},
      {1, "Object", "20 mm", "10 mm", nullptr, nullptr, nullptr, "2"},
      {1, "Document", "30 mm", "10 mm", nullptr, nullptr, nullptr, "3"},
      {1, "Stamp", "15 mm", "10 mm"}}},
    {"a copy is not counted and carries its source's number, on every page", 0, "N",
     {{1, "Object", "10 mm", "10 mm", "A", "old", nullptr, "N1"},
      {1, "Object", "5 mm", "10 mm", "A", "old", "1", "N1"},
      {1, "Object", "20 mm", "10 mm", "B", "old", "0", "N2"},
      {2, "Object", "1 mm", "1 mm", "A", "old", "1", "N1"},
      {2, "Document", "2 mm", "1 mm", "B", "old", "1", "N2"},
      {2, "Object", "3 mm", "1 mm", "A", "other", "1"},
      {2, "Process", "4 mm", "1 mm", "A", "old", "1"},
      {3, "Object", "5 mm", "1 mm", "A", "old", "0"},
      {3, "Object", "6 mm", "1 mm", "A", "old", "1", "N1"}}},
    {"a copy follows the first of several sources", 0, "",
     {{1, "Object", "10 mm", "10 mm", "A", "old", nullptr, "1"},
      {1, "Object", "20 mm", "10 mm", "A", "old", nullptr, "2"},
      {2, "Object", "1 mm", "1 mm", "A", "old", "1", "1"}}},
    {"a copy that took a number matches a later source of that previous number", 0, "N",
     {{1, "Object", "10 mm", "10 mm", "A", "old", nullptr, "N1"},
      {1, "Object", "20 mm", "10 mm", "A", "N1", nullptr, "N2"},
      {2, "Object", "1 mm", "1 mm", "A", "old", "1", "N2"},
      {2, "Object", "2 mm", "1 mm", "A", "N1", "1", "N2"},
      {3, "Object", "3 mm", "1 mm", "A", "N2", "1"}}},
    {"procedures mode: the copy flag is ignored and no copies are updated", 1, "P",
     {{1, "Process", "20 mm", "10 mm", "A", "old", nullptr, "P2"},
      {1, "Process", "10 mm", "10 mm", "A", "old", "1", "P1"},
      {1, "Object", "5 mm", "10 mm", "A", "old"},
      {2, "Object", "1 mm", "1 mm", "A", "old", "1"}}},
};

class NumberElementsCases : public testing::TestWithParam<Case> {};

TEST_P(NumberElementsCases, WritesTheNumbersOfTheCase)
{
    const Case& c = GetParam();
    Drawing drawing;
    const std::vector<visio::Shape> shapes = DrawAll(drawing, c.shapes);
    std::vector<std::string> before;
    for (const visio::Shape& shape : shapes)
        before.push_back(ReadPropertyFormula(shape, 0));

    const PassOutcome outcome = RunProductPass(drawing, c.mode, c.fixedPart);

    EXPECT_EQ(outcome.error, "");
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const char* expected = c.shapes[i].expected;
        EXPECT_EQ(ReadPropertyFormula(shapes[i], 0), expected ? StringLiteral(expected) : before[i])
            << "shape " << i + 1 << " (" << shapes[i].Name() << ")";
    }
    Drawing twin;
    DrawAll(twin, c.shapes);
    const PassOutcome reference = RunReferencePass(twin, c.mode, c.fixedPart);
    EXPECT_EQ(reference.error, outcome.error);
    EXPECT_EQ(reference.numbers, outcome.numbers);
}

INSTANTIATE_TEST_SUITE_P(Numbering, NumberElementsCases, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<Case>& param) { return "Case" + std::to_string(param.index); });

TEST(NumberElements, RunningTheSamePassTwiceWritesTheSameNumbers)
{
    Drawing drawing;
    DrawAll(drawing, Cases[13].shapes);
    const PassOutcome first = RunProductPass(drawing, 0, "N");
    const PassOutcome second = RunProductPass(drawing, 0, "N");
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(second.error, "");
    EXPECT_EQ(second.numbers, first.numbers);
}

struct FailureCase {
    const char* title;
    std::vector<Placed> shapes;
    const char* message;
};

const FailureCase PinFailures[] = {
    {"an expression without a space or a point",
     {{1, "Object", "10 mm", "10 mm", "A", "old"}, {1, "Object", "1+1", "10 mm"}, {2, "Object", "1 mm", "1 mm", "A", "old", "1"}},
     "'' is not a valid integer value"},
    {"an expression with a space",
     {{1, "Object", "10 mm", "10 mm"}, {1, "Document", "20 mm", "GUARD(1 mm)"}}, "'GUARD(1' is not a valid integer value"},
    {"the first bad key in shape order wins, y of one shape before x of the next",
     {{1, "Object", "10 mm", "GUARD(2 mm)"}, {1, "Object", "1+1", "10 mm"}}, "'GUARD(2' is not a valid integer value"},
    {"only the last shape is bad, and still nothing is written",
     {{1, "Object", "10 mm", "10 mm"}, {1, "Object", "20 mm", "10 mm"}, {1, "Object", "30 mm", "Width*0.5"}},
     "'Width*0' is not a valid integer value"},
};

TEST(NumberElements, BadPinFormulaStopsThePassBeforeAnythingIsWritten)
{
    for (const FailureCase& c : PinFailures) {
        SCOPED_TRACE(c.title);
        Drawing drawing;
        DrawAll(drawing, c.shapes);
        const std::vector<std::string> before = drawing.Numbers();
        const PassOutcome outcome = RunProductPass(drawing, 0, "N");
        EXPECT_EQ(outcome.error, c.message);
        EXPECT_EQ(outcome.numbers, before);
    }
}

TEST(NumberElements, BadPinsOfShapesThatDoNotTakePartAreNeverRead)
{
    Drawing drawing;
    const std::vector<visio::Shape> shapes =
        DrawAll(drawing, {{1, "Object", "10 mm", "10 mm"},
                          {1, "Stamp", "1+1", "1+1"},
                          {1, "Object", "1+1", "1+1", nullptr, nullptr, "1"},
                          {1, "Process", "GUARD(1 mm)", "1+1"}});
    EXPECT_EQ(RunProductPass(drawing, 0, "N").error, "");
    EXPECT_EQ(ReadProperty(shapes[0], 0), "N1");
}

} // namespace
} // namespace numberingtest
