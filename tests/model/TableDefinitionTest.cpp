#include "model/TableDefinition.h"

#include <gtest/gtest.h>

#include "model/Utils.h"

namespace {

TFieldType field(std::string name, std::string typeName, std::string description,
                 std::uint8_t keyKind, std::string refTable = {}, std::string refField = {})
{
    return TFieldType{std::move(name),  std::move(typeName), std::move(description),
                      keyKind,          std::move(refTable), std::move(refField)};
}

TTableRec parse(const std::string& formula)
{
    TTableRec table;
    ParseTableDefinition(formula, table);
    return table;
}

struct ReadCase {
    const char* what;
    std::string formula;
    std::string name;
    std::string description;
    std::vector<TFieldType> fields;
};

TEST(ParseTableDefinition, ReadsNameDescriptionAndFieldsInOrder)
{
    const TFieldType id = field("id", "Integer", "Key", 1);
    const TFieldType dept = field("dept", "Integer", "", 2, "Dept", "id");
    const ReadCase cases[] = {
        {"the worked example",
         R"("Staff|||People|||id***Key***Integer*********1|||dept******Integer***Dept***id***2")",
         "Staff", "People", {id, dept}},
        {"two quotes only", R"("")", "", "", {}},
        {"empty text", "", "", "", {}},
        {"no fields, empty description", R"("T|||")", "T", "", {}},
        {"empty description, two fields: six bars",
         R"("T||||||id***Key***Integer*********1|||dept******Integer***Dept***id***2")", "T", "",
         {id, dept}},
        {"duplicate field names kept in order",
         R"("T|||d|||a******Char*********0|||a******Blob*********3")", "T", "d",
         {field("a", "Char", "", 0), field("a", "Blob", "", 3)}},
        {"empty targets", R"("T|||d|||f***x***Integer*********2")", "T", "d",
         {field("f", "Integer", "x", 2)}},
        {"no enclosing quotes", "Staff|||People|||id***Key***Integer*********1", "Staff", "People",
         {id}},
        {"no ||| at all", R"("Just a name")", "Just a name", "", {}},
        {"trailing |||", R"("T|||d|||id***Key***Integer*********1|||")", "T", "d", {id}},
        {"trailing ||| after the description", R"("T|||d|||")", "T", "d", {}},
        {"key kind 258 keeps its low bits", R"("T|||d|||k******Integer*********258")", "T", "d",
         {field("k", "Integer", "", 2)}},
        {"doubled quotes undone", R"("ООО ""Ромашка""|||d|||n***say ""hi""***Char*********0")",
         R"(ООО "Ромашка")", "d", {field("n", "Char", R"(say "hi")", 0)}},
        {"a quote inside a formula that is no literal stays", R"("a"b|||c")", R"(a"b)", "c", {}},
        {"type outside the list kept as text", R"("T|||d|||f******integer*********0")", "T", "d",
         {field("f", "integer", "", 0)}},
    };
    for (const auto& c : cases) {
        const TTableRec table = parse(c.formula);
        EXPECT_EQ(table.Name, c.name) << c.what;
        EXPECT_EQ(table.Description, c.description) << c.what;
        EXPECT_EQ(table.Fields, c.fields) << c.what;
        EXPECT_FALSE(table.Shape) << c.what;
    }
}

struct MalformedCase {
    const char* formula;
    const char* message;
    std::size_t fieldsBefore;
};

TEST(ParseTableDefinition, MalformedRecordFailsWithTheKeyKindText)
{
    const MalformedCase cases[] = {
        {R"("T|||d|||a***b***c***e***1")", "'' is not a valid integer value", 0},
        {R"("T|||d|||a")", "'' is not a valid integer value", 0},
        {R"("T|||d|||ok******Char*********1|||a***b***c***d***e***1***x")",
         "'1***x' is not a valid integer value", 1},
        {R"("T|||d|||a***b***c***d***e***")", "'' is not a valid integer value", 0},
        {R"("T|||d|||a***b***c***d***e***one")", "'one' is not a valid integer value", 0},
        {R"("T|||d|||a***b***c***d***e*** 1")", "' 1' is not a valid integer value", 0},
        {R"("T|||d||||||a***b***c***d***e***1")", "'' is not a valid integer value", 0},
    };
    for (const auto& c : cases) {
        TTableRec table;
        try {
            ParseTableDefinition(c.formula, table);
            ADD_FAILURE() << "accepted " << c.formula;
        } catch (const EConvertError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.formula;
            EXPECT_EQ(table.Fields.size(), c.fieldsBefore) << c.formula;
        }
    }
}

TEST(ComposeTableDefinition, WritesTheFormatByteForByte)
{
    EXPECT_EQ(ComposeTableDefinition(
                  "Staff", "People",
                  {field("id", "Integer", "Key", 1), field("dept", "Integer", "", 2, "Dept", "id")}),
              R"("Staff|||People|||id***Key***Integer*********1|||dept******Integer***Dept***id***2")");
    EXPECT_EQ(ComposeTableDefinition("T", "", {}), R"("T|||")");
    EXPECT_EQ(ComposeTableDefinition("", "", {}), R"("|||")");
    EXPECT_EQ(ComposeTableDefinition("T", "", {field("a", "Char", "", 0)}),
              R"("T||||||a******Char*********0")");
    EXPECT_EQ(ComposeTableDefinition(R"(ООО "Ромашка")", "", {}), R"("ООО ""Ромашка""|||")");
}

TEST(ComposeTableDefinition, RoundTripsValuesWithinTheFormatsLimits)
{
    const std::vector<TFieldType> fields = {
        field(R"(name "quoted")", "VarChar", "line one\nline two", 3, "Other", "Id"),
        field("", "", "", 0),
        field("|leading bar", "*leading star", "a|b*c", 255, "R|", "F**x"),
    };
    const std::string description = R"(ООО "Ромашка" *** stars are fine here)";
    const TTableRec table = parse(ComposeTableDefinition("Orders", description, fields));
    EXPECT_EQ(table.Name, "Orders");
    EXPECT_EQ(table.Description, description);
    EXPECT_EQ(table.Fields, fields);
}

} // namespace
