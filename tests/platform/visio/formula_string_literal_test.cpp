#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/visio/formula/StringLiteral.h"

using namespace visio::formula;

namespace {

struct LiteralRow {
    const char* formula;
    std::optional<std::string> text;
};

TEST(FormulaStringLiteral, ParsesOnlyOneWholeWellFormedLiteral)
{
    const LiteralRow rows[] = {
        {R"("abc")", "abc"},
        {R"("")", ""},
        {R"("a""b")", "a\"b"},
        {R"("""")", "\""},
        {R"(  "padded"	)", "padded"},
        {R"("ООО ""Ромашка""")", "ООО \"Ромашка\""},
        {R"~("GOTOPAGE(""Page-2"")")~", "GOTOPAGE(\"Page-2\")"},
        {"\"line\nbreak\"", "line\nbreak"},
        {R"("a"b")", std::nullopt},
        {R"(")", std::nullopt},
        {R"("abc)", std::nullopt},
        {R"(abc")", std::nullopt},
        {R"("a"&"b")", std::nullopt},
        {R"("a" "b")", std::nullopt},
        {R"("a"")", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.formula);
        EXPECT_EQ(parseStringLiteral(row.formula), row.text);
    }
}

TEST(FormulaStringLiteral, QuotingDoublesInnerQuotesAndRoundTrips)
{
    EXPECT_EQ(quoteString(""), R"("")");
    EXPECT_EQ(quoteString("abc"), R"("abc")");
    EXPECT_EQ(quoteString("ООО \"Ромашка\""), R"("ООО ""Ромашка""")");
    EXPECT_EQ(quoteString("GOTOPAGE(\"Page-2\")"), R"~("GOTOPAGE(""Page-2"")")~");
    for (const char* text : {"", "\"", "\"\"\"", "a\"b\"c", "end\"", "\"start", "Страница 1"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseStringLiteral(quoteString(text)), std::string(text));
    }
}

} // namespace
