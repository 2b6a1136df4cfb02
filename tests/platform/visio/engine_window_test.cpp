// The page a window shows: a page added is shown at once, a window can be
// turned to another page, and a drawing opens on the page that its saved
// window state marks and is saved marking the page its window shows.

#include "EngineFixtures.h"
#include "platform/visio/package/Package.h"

using namespace enginetest;

namespace {

// The Page of the drawing window in windows.xml and TopPage in document.xml.
struct MarkedPage {
    std::string window;
    std::string top;
};

std::string attributeIn(const std::string& xml, const std::string& element, const std::string& attribute) {
    size_t at = xml.find("<" + element + " ");
    if (at == std::string::npos)
        return "(no " + element + ")";
    size_t end = xml.find('>', at);
    size_t name = xml.find(" " + attribute + "='", at);
    if (name == std::string::npos || name > end)
        return "(no " + attribute + ")";
    size_t value = name + attribute.size() + 3;
    return xml.substr(value, xml.find('\'', value) - value);
}

MarkedPage markedPage(const std::string& file) {
    std::unique_ptr<visio::Package> package = visio::Package::open(file);
    return {attributeIn(package->read("/visio/windows.xml"), "Window", "Page"),
            attributeIn(package->read("/visio/document.xml"), "DocumentSettings", "TopPage")};
}

// Rewrites one attribute value of a part of the package at `file`.
void setAttribute(const std::string& file, const std::string& part, const std::string& from, const std::string& to) {
    std::unique_ptr<visio::Package> package = visio::Package::open(file);
    std::string xml = package->read(part);
    size_t at = xml.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    xml.replace(at, from.size(), to);
    package->write(part, xml);
    package->save(file);
}

std::unique_ptr<visio::Application> reopen(const std::string& file) {
    visio::SessionOptions options;
    options.drawingPath = file;
    options.stencilFolders = stencilFolders();
    return std::make_unique<visio::Application>(options);
}

class EngineWindow : public ::testing::Test {
protected:
    void SetUp() override { app = openCopy(samplePath("pyvsdx_test6_shape_properties.vsdx"), dir, &file); }
    ScratchDir dir;
    std::string file;
    std::unique_ptr<visio::Application> app;
};

TEST_F(EngineWindow, TheDrawingOpensOnThePageItsWindowStateMarks) {
    // Visio saved this drawing showing its third page (ID 7).
    EXPECT_EQ(app->ActivePage().Name(), "master_test");
    EXPECT_EQ(app->ActiveWindow().GetPage(), app->ActiveDocument().GetPages().Item(3));

    // The window state decides where it and TopPage disagree.
    app.reset();
    setAttribute(file, "/visio/windows.xml", "ContainerType='Page' Page='7'", "ContainerType='Page' Page='4'");
    EXPECT_EQ(reopen(file)->ActivePage().Name(), "Page-2");
}

TEST_F(EngineWindow, AddedPageIsShownAndTheSelectionOfThePageLeftIsEmptied) {
    visio::SessionOptions options;
    options.drawingPath = file;
    options.stencilFolders = stencilFolders();
    options.page = "1";
    options.selection = {"1"};
    app = std::make_unique<visio::Application>(options);
    ASSERT_EQ(app->ActiveWindow().GetSelection().Count(), 1);

    visio::Page added = app->ActiveDocument().GetPages().Add();
    EXPECT_EQ(app->ActivePage(), added);
    EXPECT_EQ(app->ActiveWindow().GetPage(), added);
    EXPECT_EQ(app->ActiveWindow().GetSelection().Count(), 0);

    // A drop on the window's page lands on the new page.
    visio::Master object = app->GetDocuments().Item("kalemar").GetMasters().ItemU("Object");
    app->ActiveWindow().GetPage().Drop(object, 1, 1);
    EXPECT_EQ(added.GetShapes().Count(), 1);
}

TEST_F(EngineWindow, TheWindowTurnsOnlyToPagesOfItsOwnDocument) {
    visio::Pages pages = app->ActiveDocument().GetPages();
    app->ActiveWindow().SetPage(pages.Item(1));
    EXPECT_EQ(app->ActivePage(), pages.Item(1));

    // A new drawing's window is the active one now; our pages are not its.
    visio::Page blankPage = app->GetDocuments().AddEx("", 0, 0).GetPages().Item(1);
    EXPECT_THROW(app->ActiveWindow().SetPage(pages.Item(2)), visio::VisioError);
    EXPECT_EQ(app->ActivePage(), blankPage);
}

TEST_F(EngineWindow, TheSavedDrawingOpensOnThePageTheWindowShowedLast) {
    visio::Page added = app->ActiveDocument().GetPages().Add();
    added.SetName("Деталь");
    const int id = added.ID();
    ASSERT_EQ(app->SaveChangedDocuments(), std::vector<std::string>{file});
    app.reset();

    const MarkedPage marked = markedPage(file);
    EXPECT_EQ(marked.window, std::to_string(id));
    EXPECT_EQ(marked.top, std::to_string(id));
    EXPECT_EQ(reopen(file)->ActivePage().Name(), "Деталь");
}

TEST_F(EngineWindow, AWindowStillOnTheMarkedPageLeavesTheWindowStateAsItWas) {
    std::unique_ptr<visio::Package> before = visio::Package::open(file);
    const std::string windows = before->read("/visio/windows.xml");
    const std::string document = before->read("/visio/document.xml");
    before.reset();

    visio::Shape shape = app->ActivePage().GetShapes().Item(1);
    shape.SetText("changed");
    ASSERT_EQ(app->SaveChangedDocuments().size(), 1u);
    app.reset();

    std::unique_ptr<visio::Package> after = visio::Package::open(file);
    EXPECT_EQ(after->read("/visio/windows.xml"), windows);
    EXPECT_EQ(after->read("/visio/document.xml"), document);
}

TEST(EngineWindowBlank, ANewDrawingWithASecondPageOpensOnIt) {
    ScratchDir dir;
    std::unique_ptr<visio::Application> app = openBlank(dir);
    visio::Page second = app->ActiveDocument().GetPages().Add();
    std::vector<std::string> written = app->SaveChangedDocuments();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(markedPage(written[0]).window, std::to_string(second.ID()));
    EXPECT_EQ(reopen(written[0])->ActivePage().Name(), "Page-2");
}

} // namespace
