// Which shape a --select word means: an ID or a name first, else the value of
// the shape's first property row (an element number) or its shown text, on
// the active page only.

#include "EngineFixtures.h"

using namespace enginetest;
using visio::Shape;

namespace {

void writeRow(const Shape& shape, int row, const std::string& text) {
    shape.CellsSRC(243, row, 0).SetFormulaU("\"" + text + "\"");
}

// Page 1: an object О-1 "Клиент", an object О-2 "Заказ" and its copy О-2
// "Заказ", a procedure 3.1 "Принять заказ" by "Менеджер", a procedure named
// "12" by its number; page 2: an object О-9 "Накладная".
class SessionSelection : public ::testing::Test {
protected:
    void SetUp() override {
        auto app = openBlank(dir);
        visio::Document kalemar = app->GetDocuments().Item("kalemar.vss");
        auto drop = [&](visio::Page page, const char* master, const char* number, const char* second) {
            Shape s = page.Drop(kalemar.GetMasters().ItemU(master), 2, 2);
            writeRow(s, 0, number);
            writeRow(s, 1, second);
            return s;
        };
        visio::Page first = app->ActivePage();
        client = drop(first, "Object", "О-1", "Клиент").ID();
        order = drop(first, "Object", "О-2", "Заказ").ID();
        orderCopy = drop(first, "Object", "О-2", "Заказ").ID();
        Shape accept = drop(first, "Process", "3.1", "Менеджер");
        writeRow(accept, 2, "Принять заказ");
        acceptId = accept.ID();
        numberedAsId = drop(first, "Process", std::to_string(client).c_str(), "Кладовщик").ID();
        drop(app->ActiveDocument().GetPages().Add(), "Object", "О-9", "Накладная");
        std::vector<std::string> written = app->SaveChangedDocuments();
        ASSERT_EQ(written.size(), 1u);
        path = written[0];
    }

    std::unique_ptr<visio::Application> open(const std::vector<std::string>& selection) {
        visio::SessionOptions options;
        options.drawingPath = path;
        options.page = "1";
        options.stencilFolders = stencilFolders();
        options.selection = selection;
        return std::make_unique<visio::Application>(options);
    }

    std::string openError(const std::string& key) {
        try {
            open({key});
        } catch (const visio::VisioError& error) {
            return error.what();
        }
        return "(no error)";
    }

    ScratchDir dir;
    std::string path;
    int client = 0, order = 0, orderCopy = 0, acceptId = 0, numberedAsId = 0;
};

TEST_F(SessionSelection, AWordFindsTheShapeByIdNameNumberOrShownText) {
    struct Case {
        std::string key;
        int* expectedId;
    };
    const Case cases[] = {
        {std::to_string(client), &client},
        {"Object", &client},
        {"О-1", &client},
        {"3.1", &acceptId},
        {"О-1 Клиент", &client},
        {"О-1\nКлиент", &client},
        {"  3.1  Принять заказ\tМенеджер ", &acceptId},
        {"Process", &acceptId},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto app = open({c.key});
        ASSERT_EQ(app->ActiveWindow().GetSelection().Count(), 1);
        EXPECT_EQ(app->ActiveWindow().GetSelection().Item(1).ID(), *c.expectedId);
    }
}

// A procedure numbered like the first object's ID: the ID wins.
TEST_F(SessionSelection, AnIdKeepsItsMeaningBeforeANumber) {
    auto app = open({std::to_string(client)});
    EXPECT_EQ(app->ActiveWindow().GetSelection().Item(1).ID(), client);
    auto byText = open({std::to_string(client) + " Кладовщик"});
    EXPECT_EQ(byText->ActiveWindow().GetSelection().Item(1).ID(), numberedAsId);
}

TEST_F(SessionSelection, SeveralFittingShapesAreListedAndNoneIsAnError) {
    const std::string several = openError("О-2");
    EXPECT_NE(several.find("fits 2 shapes"), std::string::npos) << several;
    for (int id : {order, orderCopy})
        EXPECT_NE(several.find("ID " + std::to_string(id) + ", "), std::string::npos) << several;
    EXPECT_NE(several.find("text 'О-2 Заказ'"), std::string::npos) << several;

    for (const char* key : {"О-9", "Накладная", "нет такого", ""}) {
        SCOPED_TRACE(key);
        const std::string none = openError(key);
        EXPECT_NE(none.find("There is no shape '" + std::string(key) + "'"), std::string::npos) << none;
    }
}

TEST_F(SessionSelection, SeveralWordsSelectInOrder) {
    auto app = open({"3.1", "О-1"});
    ASSERT_EQ(app->ActiveWindow().GetSelection().Count(), 2);
    EXPECT_EQ(app->ActiveWindow().GetSelection().Item(1).ID(), acceptId);
    EXPECT_EQ(app->ActiveWindow().GetSelection().Item(2).ID(), client);
}

} // namespace
