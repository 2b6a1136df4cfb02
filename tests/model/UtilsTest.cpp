#include "model/Utils.h"

#include <gtest/gtest.h>

namespace {

struct IntegerCase {
    const char* text;
    int value;
};

TEST(StrToInt, ReadsSignedDecimalIntegersOf32Bits)
{
    const IntegerCase cases[] = {
        {"0", 0},           {"7", 7},         {"+7", 7},
        {"-7", -7},         {"007", 7},       {"258", 258},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RefusesEverythingElseNamingTheText)
{
    const char* const cases[] = {
        "", "+", "-", " 1", "1 ", "1.5", "0x10", "$10", "12a", "2147483648", "-2147483649",
        "99999999999999999999", "١",
    };
    for (const char* text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

struct KindCase {
    const char* name;
    std::uint8_t kind;
};

TEST(ElementKindOfName, TellsKindsBySubstringWithProcessWinning)
{
    const KindCase cases[] = {
        {"Process.12", 1}, {"Object.3", 0},      {"Document", 0}, {"Sheet.7", 3},
        {"ObjectProcess", 1}, {"object", 3},     {"Stamp", 3},    {"My Document.5", 0},
        {"DocumentObject", 0}, {"process", 3},   {"", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ElementKindOfName(c.name), c.kind) << c.name;
}

struct QuotesCase {
    const char* formula;
    const char* unquoted;
};

TEST(StripQuotes, UnquotesLiteralsAndTrimsOneQuoteOtherwise)
{
    const QuotesCase cases[] = {
        {R"("abc")", "abc"},
        {R"("")", ""},
        {R"(")", ""},
        {"12", "12"},
        {"", ""},
        // A well-formed literal has its doubled quotes undone.
        {R"("a""b")", R"(a"b)"},
        {R"("ООО ""Ромашка""")", R"(ООО "Ромашка")"},
        {R"("""")", R"(")"},
        {"\"two\nlines\"", "two\nlines"},
        // Anything else loses at most one quote at each end, nothing more.
        {R"("a""b)", R"(a""b)"},
        {R"(a"b")", R"(a"b)"},
        {R"("a"b")", R"(a"b)"},
        {R"("a"&"b")", R"(a"&"b)"},
        {"GUARD(1)", "GUARD(1)"},
        {R"(""")", R"(")"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripQuotes(c.formula), c.unquoted) << c.formula;
}

TEST(StringLiteral, QuotesTheTextDoublingInnerQuotes)
{
    const QuotesCase cases[] = {
        {"a", R"("a")"},
        {"", R"("")"},
        {R"(ООО "Ромашка")", R"("ООО ""Ромашка""")"},
        {"two\nlines", "\"two\nlines\""},
        {R"(")", R"("""")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StringLiteral(c.formula), c.unquoted) << c.formula;
        EXPECT_EQ(StripQuotes(StringLiteral(c.formula)), c.formula) << "round trip of " << c.formula;
    }
}

} // namespace
