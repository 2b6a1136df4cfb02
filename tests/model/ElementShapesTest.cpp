// The element model on real shapes: instances of the bundled kalemar stencil's
// masters dropped on a drawing of the engine.

#include <gtest/gtest.h>

#include "model/TableDefinition.h"
#include "model/Utils.h"
#include "support/TempDir.h"

namespace {

class ElementShapes : public ::testing::Test {
protected:
    visio::Shape drop(const std::string& master, double x = 2, double y = 2)
    {
        const visio::Document stencil = app.GetDocuments().Item("kalemar.vss");
        return app.ActivePage().Drop(stencil.GetMasters().ItemU(master), x, y);
    }

    visio::Application app{visio::SessionOptions{}};
};

TEST_F(ElementShapes, KindFollowsTheDroppedMastersName)
{
    struct Case {
        const char* master;
        std::uint8_t kind;
    };
    const Case cases[] = {
        {"Process", 1}, {"Object", 0}, {"Document", 0}, {"Stamp", 3}, {"Frame", 3}, {"Process", 1},
    };
    for (const auto& c : cases) {
        const visio::Shape shape = drop(c.master);
        EXPECT_EQ(ElementKindOf(shape), c.kind) << shape.Name();
        EXPECT_EQ(ElementKindOf(shape), ElementKindOfName(shape.Name()));
    }
}

TEST_F(ElementShapes, EmptyReferenceFailsOnFirstCall)
{
    EXPECT_THROW(ElementKindOf(visio::Shape()), visio::VisioError);
    EXPECT_THROW(ReadPropertyFormula(visio::Shape(), 0), visio::VisioError);
}

TEST_F(ElementShapes, RowsTheShapeLacksReadEmpty)
{
    const visio::Shape object = drop("Object");
    const visio::Shape stamp = drop("Stamp");
    EXPECT_EQ(ReadPropertyFormula(object, 6), "\"\"");
    EXPECT_EQ(ReadProperty(object, 6), "");
    EXPECT_EQ(ReadPropertyFormula(stamp, 6), "");
    EXPECT_NE(ReadProperty(stamp, 6), "1");
    EXPECT_EQ(ReadPropertyFormula(object, 99), "");
    EXPECT_THROW(WriteProperty(stamp, 6, "1"), visio::VisioError);
}

TEST_F(ElementShapes, WrittenValuesReadBackInBothForms)
{
    struct Case {
        const char* text;
        const char* formula;
    };
    const Case cases[] = {
        {"a", R"("a")"},
        {"abc", R"("abc")"},
        {"", R"("")"},
        {R"(ООО "Ромашка")", R"("ООО ""Ромашка""")"},
        {"first line\nsecond line", "\"first line\nsecond line\""},
        {"1", R"("1")"},
    };
    const visio::Shape object = drop("Object");
    for (const auto& c : cases) {
        WriteProperty(object, 5, c.text);
        EXPECT_EQ(ReadPropertyFormula(object, 5), c.formula) << c.text;
        EXPECT_EQ(ReadProperty(object, 5), c.text);
    }
}

TEST_F(ElementShapes, FormulasThatAreNoLiteralReadAsTheyAre)
{
    const visio::Shape procedure = drop("Process");
    visio::Cell value = procedure.CellsSRC(PropertySection, 3, 0);
    value.SetFormulaU("12");
    EXPECT_EQ(ReadPropertyFormula(procedure, 3), "12");
    EXPECT_EQ(ReadProperty(procedure, 3), "12");
    // Visio refuses a literal whose quotes do not balance; the row keeps its value.
    WriteProperty(procedure, 2, "kept");
    EXPECT_THROW(procedure.CellsSRC(PropertySection, 2, 0).SetFormulaU(R"("a""b)"),
                 visio::VisioError);
    EXPECT_EQ(ReadProperty(procedure, 2), "kept");
}

TEST_F(ElementShapes, TableDefinitionLivesInUserRowZero)
{
    const visio::Shape object = drop("Object");
    EXPECT_EQ(object.CellsSRC(UserSection, 0, 0).FormulaU(), "");
    const std::vector<TFieldType> fields = {
        {"Id", "Integer", "Ключ", 1, "", ""},
        {"Firm", "VarChar", R"(ООО "Ромашка")", 2, "Firms", "Id"},
    };
    WriteTableDefinition(object, "Orders", "Заказы", fields);
    EXPECT_EQ(object.CellsSRC(UserSection, 0, 0).FormulaU(),
              ComposeTableDefinition("Orders", "Заказы", fields));
    TTableRec table;
    ReadTableDefinition(object, table);
    EXPECT_EQ(table.Name, "Orders");
    EXPECT_EQ(table.Description, "Заказы");
    EXPECT_EQ(table.Fields, fields);
    EXPECT_FALSE(table.Shape);
    // Property rows are left alone.
    EXPECT_EQ(ReadPropertyFormula(object, 0), "\"\"");
}

TEST_F(ElementShapes, ShapeWithoutUserRowRefusesTheDefinition)
{
    const visio::Shape procedure = drop("Process");
    TTableRec table;
    EXPECT_THROW(ReadTableDefinition(procedure, table), visio::VisioError);
    EXPECT_THROW(WriteTableDefinition(procedure, "T", "", {}), visio::VisioError);
}

TEST(ElementShapesOnFile, DefinitionAndPropertiesSurviveSavingAndReopening)
{
    testsupport::TempDir folder;
    const std::string path =
        folder.CopyIn(std::string(KALEMAR_SAMPLES_DIR) + "/drawio_utf8.vsdx", "model.vsdx").string();
    const std::vector<TFieldType> fields = {{"Name", "Char", "say \"hi\"", 0, "", ""}};
    std::string shapeName;
    {
        visio::SessionOptions options;
        options.drawingPath = path;
        visio::Application app(options);
        const visio::Document stencil = app.GetDocuments().Item("kalemar.vss");
        const visio::Shape object = app.ActivePage().Drop(stencil.GetMasters().ItemU("Object"), 3, 3);
        shapeName = object.Name();
        WriteProperty(object, 1, R"(Клиент "А")");
        WriteTableDefinition(object, "Clients", "", fields);
        app.SaveChangedDocuments();
    }
    visio::SessionOptions options;
    options.drawingPath = path;
    visio::Application reopened(options);
    const visio::Shape object = reopened.ActivePage().ShapeByName(shapeName);
    ASSERT_TRUE(object);
    EXPECT_EQ(ReadProperty(object, 1), R"(Клиент "А")");
    TTableRec table;
    ReadTableDefinition(object, table);
    EXPECT_EQ(table.Name, "Clients");
    EXPECT_EQ(table.Fields, fields);
}

} // namespace
