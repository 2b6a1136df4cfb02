// New drawings written whole by the engine, read back by libvisio: every page,
// shape and text in place, a resized group drawn at its new size, a glued
// connector ending on its connection points.

#include <fstream>
#include <regex>
#include <sstream>

#include "EngineFixtures.h"

using namespace enginetest;
using visio::Shape;

namespace {

constexpr double mm = 1 / 25.4;

struct Point {
    double x, y;
};

// The paths that vsd2raw reports for the first page, as lists of points.
std::vector<std::vector<Point>> rawPaths(const std::string& file, int page = 1) {
    std::vector<std::vector<Point>> paths;
    std::istringstream lines(run("vsd2raw " + shellQuote(file) + " 2>/dev/null").output);
    int pageNo = 0;
    std::regex point(R"(svg:x: (-?[0-9.]+)in, svg:y: (-?[0-9.]+)in)");
    for (std::string line; std::getline(lines, line);) {
        if (line.find("startPage(") != std::string::npos)
            ++pageNo;
        if (pageNo != page || line.find("drawPath") == std::string::npos)
            continue;
        std::vector<Point> pts;
        for (std::sregex_iterator it(line.begin(), line.end(), point), end; it != end; ++it)
            pts.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
        if (!pts.empty())
            paths.push_back(pts);
    }
    return paths;
}

class NewDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTool("vsd2xhtml") || !haveTool("vsd2raw"))
            GTEST_SKIP() << "libvisio-tools not installed";
        app = openBlank(dir);
        kalemar = app->GetDocuments().Item("kalemar");
        entityMaster = app->GetDocuments().OpenEx("entity_m.vss", 6).GetMasters().ItemU("Entity");
    }
    std::string save() {
        std::vector<std::string> written = app->SaveChangedDocuments();
        EXPECT_EQ(written.size(), 1u);
        return written.empty() ? std::string() : written[0];
    }
    ScratchDir dir;
    std::unique_ptr<visio::Application> app;
    visio::Document kalemar;
    visio::Master entityMaster;
};

TEST_F(NewDrawing, EveryPageShapeAndTextIsReadByLibvisio) {
    visio::Page first = app->ActivePage();
    Shape order = first.Drop(kalemar.GetMasters().ItemU("Object"), 2, 8);
    order.SetText("Заказ клиента");
    Shape step = first.Drop(kalemar.GetMasters().ItemU("Process"), 5, 8);
    step.SetText("Принять заказ");
    Shape entity = first.Drop(entityMaster, 3, 4);
    entity.GetShapes().Item(1).SetText("Orders");
    entity.GetShapes().Item(2).SetText("  Id(Integer)\n  Note(VarChar)");
    Shape connector = first.Drop(app->ConnectorToolDataObject(), 1, 1);
    connector.Cells("BeginX").GlueTo(order.CellsSRC(7, 0, 0));
    connector.Cells("EndX").GlueTo(step.CellsSRC(7, 0, 0));
    connector.GetCharacters().SetText("поток");
    visio::Page second = app->ActiveDocument().GetPages().Add();
    second.SetName("Отгрузка");
    second.Drop(kalemar.GetMasters().ItemU("Document"), 3, 3).SetText("Накладная");

    std::string file = save();
    CommandResult html = run("vsd2xhtml " + shellQuote(file) + " 2>&1");
    ASSERT_EQ(html.status, 0) << html.output;
    size_t pages = 0;
    for (size_t at = html.output.find("<svg:svg"); at != std::string::npos; at = html.output.find("<svg:svg", at + 1))
        ++pages;
    EXPECT_EQ(pages, 2u);
    for (const char* text : {"Заказ клиента", "Принять заказ", "Orders", "Id(Integer)", "Note(VarChar)", "поток",
                             "Накладная"})
        EXPECT_NE(html.output.find(text), std::string::npos) << text;
    CommandResult raw = run("vsd2raw " + shellQuote(file) + " 2>&1");
    EXPECT_NE(raw.output.find("draw:name: Отгрузка"), std::string::npos);
}

// The texts libvisio draws on each page, in order.
std::vector<std::vector<std::string>> drawnTexts(const std::string& html) {
    std::vector<std::vector<std::string>> pages;
    std::regex span(R"(<svg:tspan[^>]*>([^<]*)</svg:tspan>)");
    for (size_t at = html.find("<svg:svg"); at != std::string::npos;) {
        size_t next = html.find("<svg:svg", at + 1);
        std::string page = html.substr(at, next == std::string::npos ? std::string::npos : next - at);
        pages.emplace_back();
        for (std::sregex_iterator it(page.begin(), page.end(), span), end; it != end; ++it)
            if ((*it)[1].str().find_first_not_of(" \t\n") != std::string::npos)
                pages.back().push_back((*it)[1].str());
        at = next;
    }
    return pages;
}

// Every master of the bundled stencils, dropped on page 1 and on page 2 with
// values in its first property rows (which its text fields show), and on page
// 2 the text of each of its shapes set to the empty text: libvisio draws the
// masters' texts on page 1 and nothing at all on page 2.
TEST_F(NewDrawing, AnEmptiedTextShowsNothingOfItsMastersText) {
    visio::Page asMade = app->ActivePage();
    visio::Page emptied = app->ActiveDocument().GetPages().Add();
    std::vector<visio::Master> masters;
    for (visio::Document stencil : {kalemar, entityMaster.GetDocument()})
        for (int i = 1; i <= stencil.GetMasters().Count(); ++i)
            masters.push_back(stencil.GetMasters().Item(i));
    double y = 1;
    auto withValues = [](Shape shape) {
        for (int row = 0; row < 3; ++row)
            if (shape.CellsSRCExists(visio::visSectionProp, row, 0, 0))
                shape.CellsSRC(visio::visSectionProp, row, 0).SetFormulaU("\"Текст" + std::to_string(row) + "\"");
        return shape;
    };
    for (const visio::Master& master : masters) {
        withValues(asMade.Drop(master, 3, y));
        std::vector<Shape> shapes{withValues(emptied.Drop(master, 3, y))};
        for (size_t i = 0; i < shapes.size(); ++i) {
            for (int k = 1; k <= shapes[i].GetShapes().Count(); ++k)
                shapes.push_back(shapes[i].GetShapes().Item(k));
            shapes[i].SetText("");
            EXPECT_EQ(shapes[i].Text(), "") << master.NameU();
        }
        y += 2;
    }
    std::string file = save();

    CommandResult html = run("vsd2xhtml " + shellQuote(file) + " 2>&1");
    ASSERT_EQ(html.status, 0) << html.output;
    std::vector<std::vector<std::string>> pages = drawnTexts(html.output);
    ASSERT_EQ(pages.size(), 2u);
    auto joined = [](const std::vector<std::string>& texts) {
        std::string all;
        for (const std::string& text : texts)
            all += text + "|";
        return all;
    };
    for (const char* text : {"Сущность", "Текст0", "Текст1"})
        EXPECT_NE(joined(pages[0]).find(text), std::string::npos) << "page 1 shows " << joined(pages[0]);
    EXPECT_TRUE(pages[1].empty()) << "page 2 shows " << joined(pages[1]);
}

// The page's own size, and a connector whose route has rows added after the
// master's, as libvisio reads them and as the engine reads them back.
TEST_F(NewDrawing, PageSizeAndAddedRouteRowsAreSavedAndRead) {
    visio::Page page = app->ActivePage();
    page.PageSheet().Cells("PageWidth").SetFormulaU("300 mm");
    page.PageSheet().Cells("PageHeight").SetFormulaU("100 mm");
    Shape c = page.Drop(app->ConnectorToolDataObject(), 2, 2);
    const double bx = c.Cells("BeginX").ResultIU(), by = c.Cells("BeginY").ResultIU();
    const double ex = c.Cells("EndX").ResultIU(), ey = c.Cells("EndY").ResultIU();
    const int geometry = visio::visSectionFirstComponent;
    // A right angle bend, then on to the end: rows 2, 3 and 4.
    c.CellsSRC(geometry, 2, 0).SetFormulaU("0 mm");
    c.CellsSRC(geometry, 2, 1).SetFormulaU("25.4 mm");
    EXPECT_EQ(c.AddRow(geometry, visio::visRowLast, visio::visTagLineTo), 3);
    c.CellsSRC(geometry, 3, 0).SetFormulaU(std::to_string((ex - bx) * 25.4) + " mm");
    c.CellsSRC(geometry, 3, 1).SetFormulaU("25.4 mm");
    EXPECT_EQ(c.AddRow(geometry, 4, visio::visTagLineTo), 4);
    c.CellsSRC(geometry, 4, 0).SetFormulaU(std::to_string((ex - bx) * 25.4) + " mm");
    c.CellsSRC(geometry, 4, 1).SetFormulaU(std::to_string((ey - by) * 25.4) + " mm");
    EXPECT_THROW(c.AddRow(geometry, 2, visio::visTagLineTo), visio::VisioError);
    EXPECT_THROW(c.AddRow(visio::visSectionProp, visio::visRowLast, visio::visTagLineTo), visio::VisioError);
    std::string file = save();

    CommandResult raw = run("vsd2raw " + shellQuote(file) + " 2>&1");
    EXPECT_NE(raw.output.find("svg:height: 3.9370in, svg:width: 11.8110in"), std::string::npos) << raw.output;
    std::vector<std::vector<Point>> paths = rawPaths(file);
    ASSERT_EQ(paths.size(), 1u);
    const double pageHeight = 100 * mm;
    const std::vector<Point> expected = {{bx, by}, {bx, by + 1}, {ex, by + 1}, {ex, ey}};
    ASSERT_EQ(paths[0].size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(paths[0][i].x, expected[i].x, 0.002) << i;
        EXPECT_NEAR(paths[0][i].y, pageHeight - expected[i].y, 0.002) << i;
    }

    visio::SessionOptions options;
    options.drawingPath = file;
    options.stencilFolders = stencilFolders();
    visio::Application reopened(options);
    visio::Page first = reopened.ActivePage();
    EXPECT_EQ(first.PageSheet().Cells("PageWidth").FormulaU(), "300 mm");
    EXPECT_EQ(first.PageSheet().Cells("PageHeight").FormulaU(), "100 mm");
    Shape route = first.GetShapes().Item(1);
    EXPECT_EQ(route.CellsSRC(geometry, 4, 1).ResultIU(), c.CellsSRC(geometry, 4, 1).ResultIU());
    EXPECT_EQ(route.CellsSRCExists(geometry, 5, 0, 0), 0);
}

TEST_F(NewDrawing, ResizedEntityIsDrawnAtItsNewHeightWithItsPartsInside) {
    Shape entity = app->ActivePage().Drop(entityMaster, 3, 5);
    entity.CellsSRC(1, 1, 3).SetFormulaU("17 mm");
    std::string file = save();

    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const auto& path : rawPaths(file))
        for (const Point& p : path) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    double pageHeight = 297 * mm;
    // vsd2raw prints four decimals of an inch.
    EXPECT_NEAR(bottom - top, 17 * mm, 0.002);
    EXPECT_NEAR(right - left, entity.Cells("Width").ResultIU(), 0.002);
    EXPECT_NEAR(pageHeight - bottom, 5 - 17 * mm / 2, 0.002) << "the lower edge stays centred on the pin";
}

TEST_F(NewDrawing, GluedConnectorEndsOnTheConnectionPointsAndFollowsThem) {
    visio::Page page = app->ActivePage();
    Shape a = page.Drop(entityMaster, 1, 1);
    Shape b = page.Drop(entityMaster, 4, 1);
    Shape c = page.Drop(app->ConnectorToolDataObject(), 5, 5);
    c.SendToBack();
    c.Cells("BeginX").GlueTo(a.CellsSRC(7, 8, 0));
    c.Cells("EndX").GlueTo(b.CellsSRC(7, 8, 0));
    // Moving the target afterwards moves the connector's end with it.
    b.CellsSRC(1, 1, 3).SetFormulaU("12.5 mm");

    auto pointOf = [](const Shape& s) {
        double x = s.Cells("PinX").ResultIU() - s.Cells("LocPinX").ResultIU() + s.CellsSRC(7, 8, 0).ResultIU();
        double y = s.Cells("PinY").ResultIU() - s.Cells("LocPinY").ResultIU() + s.CellsSRC(7, 8, 1).ResultIU();
        return Point{x, y};
    };
    Point pa = pointOf(a), pb = pointOf(b);
    EXPECT_NEAR(c.Cells("BeginX").ResultIU(), pa.x, 1e-9);
    EXPECT_NEAR(c.Cells("BeginY").ResultIU(), pa.y, 1e-9);
    EXPECT_NEAR(c.Cells("EndX").ResultIU(), pb.x, 1e-9);
    EXPECT_NEAR(c.Cells("EndY").ResultIU(), pb.y, 1e-9);

    std::vector<visio::Connect> connects = page.Connects();
    ASSERT_EQ(connects.size(), 2u);
    EXPECT_EQ(connects[0].fromSheet, c.ID());
    EXPECT_EQ(connects[0].fromCell, "BeginX");
    EXPECT_EQ(connects[0].toSheet, a.ID());
    EXPECT_EQ(connects[0].toCell, "Connections.X9");
    EXPECT_EQ(connects[1].fromCell, "EndX");
    EXPECT_EQ(connects[1].toSheet, b.ID());
    EXPECT_EQ(page.GetShapes().Item(1), c) << "the connector lies behind the entities";

    std::string file = save();
    double pageHeight = 297 * mm;
    // The connector is drawn first; its path runs from one point to the other.
    std::vector<std::vector<Point>> paths = rawPaths(file);
    ASSERT_FALSE(paths.empty());
    const std::vector<Point>& line = paths.front();
    EXPECT_NEAR(line.front().x, pa.x, 0.002);
    EXPECT_NEAR(line.front().y, pageHeight - pa.y, 0.002);
    EXPECT_NEAR(line.back().x, pb.x, 0.002);
    EXPECT_NEAR(line.back().y, pageHeight - pb.y, 0.002);
}

// Parts are deflated at the fastest level, as Visio packs them (zipinfo calls
// it "fast" or "superfast"), whether the part is new or replaces a deflated
// one; libzip would otherwise take its slowest level.
TEST_F(NewDrawing, PartsArePackedAtTheFastestDeflateLevel) {
    if (!haveTool("zipinfo"))
        GTEST_SKIP() << "zipinfo not installed";
    auto subType = [](const std::string& file, const std::string& part) {
        std::string out = run("zipinfo -v " + shellQuote(file) + " " + part + " 2>&1").output;
        std::smatch m;
        return std::regex_search(out, m, std::regex(R"(compression sub-type \(deflation\): +(\w+))")) ? m[1].str()
                                                                                               : out;
    };
    app->ActivePage().Drop(kalemar.GetMasters().ItemU("Object"), 2, 2).SetText("Новый");
    const std::string made = save();
    for (const char* part : {"visio/pages/page1.xml", "visio/document.xml"})
        EXPECT_EQ(subType(made, part).find("fast") != std::string::npos, true) << part << ": " << subType(made, part);

    std::string copy;
    auto sample = openCopy(samplePath("nbelyh_OrgChart.vsdx"), dir, &copy);
    ASSERT_NE(subType(copy, "visio/pages/page1.xml"), "normal");
    sample->ActivePage().GetShapes().Item(1).SetText("Изменено");
    sample->SaveChangedDocuments();
    EXPECT_NE(subType(copy, "visio/pages/page1.xml").find("fast"), std::string::npos)
        << subType(copy, "visio/pages/page1.xml");
}

TEST_F(NewDrawing, SavedXmlFollowsWhatVisioWrites) {
    Shape entity = app->ActivePage().Drop(entityMaster, 1, 1);
    entity.GetShapes().Item(1).SetText("Orders");
    std::string file = save();
    std::string page = run("unzip -p " + shellQuote(file) + " visio/pages/page1.xml").output;
    EXPECT_EQ(page.rfind("<?xml version='1.0' encoding='utf-8' ?>", 0), 0u) << page.substr(0, 80);
    EXPECT_NE(page.find("<Shape ID='1' NameU='Entity' Name='Entity' Type='Group' Master='"), std::string::npos)
        << page.substr(0, 400);
    EXPECT_NE(page.find("MasterShape='6'"), std::string::npos);
    std::string rels = run("unzip -p " + shellQuote(file) + " visio/pages/_rels/page1.xml.rels").output;
    EXPECT_NE(rels.find("relationships/master"), std::string::npos) << rels;
    std::string types = run("unzip -p " + shellQuote(file) + " '\\[Content_Types\\].xml'").output;
    EXPECT_NE(types.find("/visio/masters/master1.xml"), std::string::npos) << types;
}

} // namespace
