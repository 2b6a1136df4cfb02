// Cells of shapes dropped from the bundled stencil: formulas, values, units,
// inheritance and the refusals that commands rely on.

#include "EngineFixtures.h"

using namespace enginetest;
using visio::Shape;

namespace {

using EngineCells = StencilPageTest;

TEST_F(EngineCells, DroppedShapesAreNamedAfterTheirMasterAndNumberedWhenTaken) {
    Shape first = drop("Process");
    Shape second = drop("Process");
    EXPECT_EQ(first.Name(), "Process");
    EXPECT_EQ(second.Name(), "Process." + std::to_string(second.ID()));
    EXPECT_NE(first.ID(), second.ID());
    EXPECT_EQ(page.GetShapes().Count(), 2);
    EXPECT_EQ(page.GetShapes().Item(2), second);
}

TEST_F(EngineCells, PinFormulaIsTheDropPointInPageUnits) {
    Shape s = drop("Object", 105 / 25.4, 2);
    EXPECT_EQ(s.CellsSRC(1, 1, 0).FormulaU(), "105 mm");
    EXPECT_EQ(s.CellsSRC(1, 1, 1).FormulaU(), "50.8 mm");
    EXPECT_DOUBLE_EQ(s.Cells("PinY").ResultIU(), 2);
}

TEST_F(EngineCells, FormulasWrittenReadBackAsVisioShowsThem) {
    struct Case {
        const char* written;
        const char* readBack;
    } cases[] = {
        {"\"abc\"", "\"abc\""},
        {"\"\"", "\"\""},
        {"\"ООО \"\"Ромашка\"\"\"", "\"ООО \"\"Ромашка\"\"\""},
        {"\"two\nlines\"", "\"two\nlines\""},
        {"12", "12"},
    };
    Shape s = drop("Object");
    for (const Case& c : cases) {
        s.CellsSRC(243, 1, 0).SetFormulaU(c.written);
        EXPECT_EQ(s.CellsSRC(243, 1, 0).FormulaU(), c.readBack) << c.written;
    }
    s.CellsSRC(243, 1, 0).SetFormulaU("\"ООО \"\"Ромашка\"\"\"");
    EXPECT_EQ(s.CellsSRC(243, 1, 0).ResultStr(), "ООО \"Ромашка\"");
}

TEST_F(EngineCells, InvalidFormulaIsRefusedAndTheCellKeepsItsFormula) {
    Shape s = drop("Object");
    s.CellsSRC(243, 1, 0).SetFormulaU("\"before\"");
    for (const char* bad : {"\"a\"b\"", "\"open", "(1", "1 +"}) {
        EXPECT_THROW(s.CellsSRC(243, 1, 0).SetFormulaU(bad), visio::VisioError) << bad;
        EXPECT_EQ(s.CellsSRC(243, 1, 0).FormulaU(), "\"before\"") << bad;
    }
}

TEST_F(EngineCells, PropertyRowsComeFromTheMasterAndExistForCellsSRCExists) {
    Shape object = drop("Object");
    Shape process = drop("Process");
    for (int row = 0; row <= 6; ++row) {
        EXPECT_EQ(object.CellsSRCExists(243, row, 2, 0), -1) << row;
        EXPECT_EQ(object.CellsSRCExists(243, row, 2, 1), 0) << "not local: " << row;
    }
    EXPECT_EQ(object.CellsSRCExists(243, 40, 2, 0), 0);
    EXPECT_EQ(object.CellsSRCExists(242, 0, 0, 0), -1);
    EXPECT_EQ(process.CellsSRCExists(242, 0, 0, 0), 0);
}

TEST_F(EngineCells, WritingAnInheritedRowCreatesTheLocalOverrideOnly) {
    Shape a = drop("Object");
    Shape b = drop("Object");
    a.CellsSRC(243, 0, 0).SetFormulaU("\"1.2.7\"");
    EXPECT_EQ(a.CellsSRCExists(243, 0, 2, 1), -1);
    EXPECT_EQ(a.CellsSRC(243, 0, 0).FormulaU(), "\"1.2.7\"");
    EXPECT_EQ(b.CellsSRC(243, 0, 0).FormulaU(), "\"\"");
}

TEST_F(EngineCells, MissingRowsAreRefusedWithShapeAndRowInTheMessage) {
    Shape s = drop("Process");
    try {
        s.CellsSRC(243, 40, 0).FormulaU();
        FAIL() << "no error";
    } catch (const visio::VisioError& e) {
        EXPECT_STREQ(e.what(), ("Shape '" + s.Name() + "' has no property row 40").c_str());
    }
    EXPECT_THROW(s.CellsSRC(242, 0, 0), visio::VisioError);
}

TEST_F(EngineCells, EmptyShapeReferenceFailsOnFirstUse) {
    Shape nothing;
    EXPECT_FALSE(nothing);
    EXPECT_THROW(nothing.Name(), visio::VisioError);
    EXPECT_THROW(nothing.CellsSRC(243, 0, 0), visio::VisioError);
}

TEST_F(EngineCells, HeightWithUnitResizesTheShapeAndItsDependentCells) {
    Shape s = drop("Object");
    s.CellsSRC(1, 1, 3).SetFormulaU("17 mm");
    EXPECT_EQ(s.CellsSRC(1, 1, 3).FormulaU(), "17 mm");
    EXPECT_NEAR(s.Cells("Height").ResultIU(), 17 / 25.4, 1e-12);
    // LocPinY follows Height through the master's formula.
    EXPECT_NEAR(s.Cells("LocPinY").ResultIU(), 17 / 25.4 / 2, 1e-12);
}

TEST_F(EngineCells, TextAndCharactersReplaceTheTextRange) {
    Shape s = drop("Object");
    s.SetText("Заказ");
    EXPECT_EQ(s.Text(), "Заказ");
    visio::Characters c = s.GetCharacters();
    c.SetBegin(0);
    c.SetEnd(0);
    c.SetText("Новый ");
    EXPECT_EQ(s.Text(), "Новый Заказ");
}

TEST_F(EngineCells, SendToBackPutsTheShapeFirstInZOrder) {
    Shape a = drop("Object");
    Shape b = drop("Process");
    b.SendToBack();
    EXPECT_EQ(page.GetShapes().Item(1), b);
    EXPECT_EQ(page.GetShapes().Item(2), a);
}

TEST_F(EngineCells, PagesAddNamesThePageAndTakesTheActivePageSettings) {
    visio::Pages pages = app->ActiveDocument().GetPages();
    visio::Page added = pages.Add();
    EXPECT_EQ(pages.Count(), 2);
    EXPECT_EQ(added.Name(), "Page-2");
    EXPECT_EQ(added.GetShapes().Count(), 0);
    added.SetName("Деталь");
    EXPECT_EQ(pages.Item(2).Name(), "Деталь");
    EXPECT_EQ(pages.ItemByName("Деталь"), added);
}

TEST_F(EngineCells, StencilsAreFoundByBaseNameWithoutRegardToCase) {
    visio::Documents docs = app->GetDocuments();
    EXPECT_EQ(docs.Item("KALEMAR.VSS"), kalemar);
    visio::Document entity = docs.OpenEx("entity_m.vss", 6);
    EXPECT_EQ(docs.Item("ENTITY_M.VSS"), entity);
    EXPECT_TRUE(entity.IsStencil());
    EXPECT_EQ(entity.GetMasters().ItemU("Entity").NameU(), "Entity");
    EXPECT_THROW(docs.OpenEx("no_such_stencil.vss", 6), visio::VisioError);
    EXPECT_THROW(entity.GetMasters().ItemU("Nothing"), visio::VisioError);
}

TEST_F(EngineCells, NewDrawingBecomesActiveAndIsSavedBesideAsDrawingN) {
    visio::Document before = app->ActiveDocument();
    visio::Document added = app->GetDocuments().AddEx("", 0, 0);
    EXPECT_EQ(app->ActiveDocument(), added);
    EXPECT_FALSE(added == before);
    EXPECT_EQ(app->ActivePage().GetDocument(), added);
    std::vector<std::string> written = app->SaveChangedDocuments();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(fs::path(written[0]).filename(), "Drawing1.vsdx");
    EXPECT_TRUE(fs::exists(written[0]));
}

} // namespace
