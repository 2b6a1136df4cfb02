// Shapes show their data: when a property row that a text field reads is
// written, the field's display text lands in the instance's own Text, where
// readers that never evaluate formulas (libvisio, LibreOffice) find it.

#include <fstream>
#include <sstream>

#include "EngineFixtures.h"
#include "platform/visio/detail/FieldText.h"

using namespace enginetest;
using visio::Shape;

namespace {

std::string shown(const Shape& shape) {
    using visio::detail::ApplicationData;
    return visio::detail::shownText({ApplicationData::containerOf(shape), ApplicationData::nodeOf(shape)});
}

bool hasOwnText(const Shape& shape) {
    return static_cast<bool>(visio::detail::ApplicationData::nodeOf(shape).child("Text"));
}

void writeRow(const Shape& shape, int row, const std::string& text) {
    shape.CellsSRC(243, row, 0).SetFormulaU("\"" + text + "\"");
}

using FieldText = StencilPageTest;

struct ShownCase {
    const char* master;
    std::vector<std::pair<int, const char*>> rows; // property row, text written
    const char* shownText;
};

TEST_F(FieldText, ShapesShowTheirRowsWithoutStraySeparators) {
    const ShownCase cases[] = {
        {"Object", {{0, "О-1"}, {1, "Клиент"}}, "О-1\nКлиент"},
        {"Object", {{1, "Клиент"}}, "Клиент"},
        {"Object", {{0, "О-1"}}, "О-1"},
        {"Object", {{0, "О-1"}, {1, "Клиент"}, {1, ""}}, "О-1"},
        {"Document", {{0, "О-5"}, {1, "Счёт"}, {2, "Учётная политика"}}, "О-5\nСчёт"},
        {"Process", {{0, "3.1"}, {1, "Кладовщик"}, {2, "Проверить наличие"}}, "3.1\nПроверить наличие\nКладовщик"},
        {"Process", {{2, "Проверить наличие"}}, "Проверить наличие"},
        {"Process", {{0, "3.1"}, {1, "Кладовщик"}}, "3.1\nКладовщик"},
        {"Process", {{1, "Кладовщик"}}, "Кладовщик"},
        {"Process", {{0, "3.1"}, {2, "Проверить"}, {0, ""}}, "Проверить"},
        {"Stamp", {{0, "?"}, {1, "Проверить наличие"}}, "Процедура № ?\nПроверить наличие"},
        {"Stamp", {{1, "Проверить наличие"}}, "Проверить наличие"},
        {"Stamp", {{0, "3.1"}}, "Процедура № 3.1"},
        {"Object", {{1, "ООО \"\"Ромашка\"\""}}, "ООО \"Ромашка\""},
        {"Object", {{1, "две\nстроки"}}, "две\nстроки"},
    };
    for (const ShownCase& c : cases) {
        std::string trace = c.master;
        for (const auto& [row, text] : c.rows)
            trace += " " + std::to_string(row) + "=" + text;
        SCOPED_TRACE(trace);
        Shape shape = drop(c.master);
        for (const auto& [row, text] : c.rows)
            writeRow(shape, row, text);
        EXPECT_EQ(shown(shape), c.shownText);
    }
}

TEST_F(FieldText, ANumberShowsInGeneralFormat) {
    Shape shape = drop("Object");
    shape.CellsSRC(243, 1, 0).SetFormulaU("12.5");
    EXPECT_EQ(shown(shape), "12.5");
}

// A dropped shape whose rows are all empty shows what its master shows: it
// needs no text of its own, and one that is only moved gets none either.
TEST_F(FieldText, OnlyAChangedFieldGivesTheInstanceATextOfItsOwn) {
    Shape shape = drop("Process");
    EXPECT_FALSE(hasOwnText(shape));
    shape.Cells("PinX").SetFormulaU("50 mm");
    writeRow(shape, 5, "Описание не показывается");
    EXPECT_FALSE(hasOwnText(shape));
    writeRow(shape, 2, "Принять заказ");
    EXPECT_TRUE(hasOwnText(shape));
    EXPECT_EQ(shown(shape), "Принять заказ");
    // The master keeps its own empty fields.
    EXPECT_EQ(shown(drop("Process")), "");
}

// What libvisio draws, read from the saved file by a reader nobody here wrote.
TEST_F(FieldText, LibvisioDrawsTheNewValues) {
    if (!haveTool("vsd2xhtml"))
        GTEST_SKIP() << "libvisio tools are not installed";
    Shape object = drop("Object");
    writeRow(object, 0, "О-7");
    writeRow(object, 1, "Накладная");
    Shape procedure = drop("Process", 5, 5);
    writeRow(procedure, 2, "Отгрузить");
    std::vector<std::string> written = app->SaveChangedDocuments();
    ASSERT_EQ(written.size(), 1u);
    CommandResult xhtml = run("vsd2xhtml " + shellQuote(written[0]) + " 2>/dev/null");
    ASSERT_EQ(xhtml.status, 0);
    for (const char* text : {"О-7", "Накладная", "Отгрузить"})
        EXPECT_NE(xhtml.output.find(text), std::string::npos) << text;
}

} // namespace
