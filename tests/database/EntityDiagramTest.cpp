// Command 2: the entity diagram drawn with the real engine into a new drawing,
// read back through the engine, through libvisio's vsd2xhtml, and end to end
// through the built kalemar and kalemar-dump.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <locale>
#include <map>
#include <numeric>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "database/EntityDiagramPage.h"
#include "database/EntityRoutes.h"
#include "database/Unit_DBExport.h"
#include "host/Globals.h"
#include "model/TableDefinition.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "LibvisioSvg.h"
#include "ObjectDrawing.h"

namespace {

namespace fs = std::filesystem;
using dbtest::Box;
using dbtest::Point;
using dbtest::SvgPage;
using dbtest::Field;
using testsupport::RunProgram;
using testsupport::RunResult;

constexpr double InchesPerMm = 1 / 25.4;
constexpr double PointsPerInch = 72;

// A connection point of a top-level shape in page coordinates (inches).
Point connectionPoint(const visio::Shape& shape, int row)
{
    const double left = shape.Cells("PinX").ResultIU() - shape.Cells("LocPinX").ResultIU();
    const double bottom = shape.Cells("PinY").ResultIU() - shape.Cells("LocPinY").ResultIU();
    return {left + shape.CellsSRC(visio::visSectionConnectionPts, row, 0).ResultIU(),
            bottom + shape.CellsSRC(visio::visSectionConnectionPts, row, 1).ResultIU()};
}

// An entity's box on its page (inches).
diagram::Rect boxOf(const visio::Shape& shape)
{
    const double left = shape.Cells("PinX").ResultIU() - shape.Cells("LocPinX").ResultIU();
    const double bottom = shape.Cells("PinY").ResultIU() - shape.Cells("LocPinY").ResultIU();
    return {left, bottom, left + shape.Cells("Width").ResultIU(), bottom + shape.Cells("Height").ResultIU()};
}

// The route a connector keeps in its first geometry section, in page
// coordinates: its rows are relative to its begin point.
std::vector<Point> routeOf(const visio::Shape& connector)
{
    const int geometry = visio::visSectionFirstComponent;
    const Point begin{connector.Cells("BeginX").ResultIU(), connector.Cells("BeginY").ResultIU()};
    std::vector<Point> points;
    for (int row = 1; connector.CellsSRCExists(geometry, row, 0, 0) != 0; ++row)
        points.push_back({begin.x + connector.CellsSRC(geometry, row, 0).ResultIU(),
                          begin.y + connector.CellsSRC(geometry, row, 1).ResultIU()});
    return points;
}

// The rectangle the label's text block takes on the page.
diagram::Rect labelOf(const visio::Shape& connector)
{
    const double x = connector.Cells("BeginX").ResultIU() + connector.Cells("TxtPinX").ResultIU();
    const double y = connector.Cells("BeginY").ResultIU() + connector.Cells("TxtPinY").ResultIU();
    const double w = connector.Cells("TxtWidth").ResultIU() / 2;
    const double h = connector.Cells("TxtHeight").ResultIU() / 2;
    return {x - w, y - h, x + w, y + h};
}

// True when the segment passes through the inside of the box.
bool crosses(Point a, Point b, const diagram::Rect& box)
{
    constexpr double e = 1e-9;
    const double left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const double bottom = std::min(a.y, b.y), top = std::max(a.y, b.y);
    const bool x = left == right ? box.left + e < left && left < box.right - e : left < box.right - e && right > box.left + e;
    const bool y = bottom == top ? box.bottom + e < bottom && bottom < box.top - e : bottom < box.top - e && top > box.bottom + e;
    return x && y;
}

// Every entity stands on the page at least the margin from its edges, the
// diagram's lower left corner exactly at the margin; every route and label
// lies on the page; no route crosses an entity and every route runs at right
// angles from its begin to its end.
void expectDiagramOnItsPage(const visio::Page& page, const std::vector<visio::Shape>& entities,
                            const std::vector<visio::Shape>& connectors)
{
    const double width = page.PageSheet().Cells("PageWidth").ResultIU();
    const double height = page.PageSheet().Cells("PageHeight").ResultIU();
    const double margin = DiagramMarginMm * InchesPerMm;
    diagram::Rect inner{margin - 1e-9, margin - 1e-9, width - margin + 1e-9, height - margin + 1e-9};
    diagram::Rect drawn{1e9, 1e9, -1e9, -1e9};
    for (const visio::Shape& entity : entities) {
        const diagram::Rect box = boxOf(entity);
        drawn = drawn.United(box);
        EXPECT_TRUE(box.left >= inner.left && box.right <= inner.right && box.bottom >= inner.bottom &&
                    box.top <= inner.top)
            << entity.GetShapes().Item(1).Text() << " lies off its page";
    }
    for (const visio::Shape& connector : connectors) {
        SCOPED_TRACE(connector.Text());
        const std::vector<Point> route = routeOf(connector);
        ASSERT_GE(route.size(), 3u);
        EXPECT_NEAR(route.front().x, connector.Cells("BeginX").ResultIU(), 1e-9);
        EXPECT_NEAR(route.front().y, connector.Cells("BeginY").ResultIU(), 1e-9);
        EXPECT_NEAR(route.back().x, connector.Cells("EndX").ResultIU(), 1e-6);
        EXPECT_NEAR(route.back().y, connector.Cells("EndY").ResultIU(), 1e-6);
        for (std::size_t i = 0; i < route.size(); ++i) {
            drawn = drawn.United({route[i].x, route[i].y, route[i].x, route[i].y});
            if (i == 0)
                continue;
            EXPECT_TRUE(std::abs(route[i].x - route[i - 1].x) < 1e-9 || std::abs(route[i].y - route[i - 1].y) < 1e-9)
                << "step " << i << " is not at a right angle";
            for (const visio::Shape& entity : entities)
                EXPECT_FALSE(crosses(route[i - 1], route[i], boxOf(entity)))
                    << "step " << i << " crosses " << entity.GetShapes().Item(1).Text();
        }
        const diagram::Rect label = labelOf(connector);
        drawn = drawn.United(label);
        for (const visio::Shape& entity : entities)
            EXPECT_FALSE(label.Overlaps(boxOf(entity))) << "the label covers " << entity.GetShapes().Item(1).Text();
    }
    EXPECT_TRUE(drawn.left >= inner.left && drawn.right <= inner.right && drawn.bottom >= inner.bottom &&
                drawn.top <= inner.top)
        << "the diagram runs off its page";
    EXPECT_NEAR(drawn.left, margin, 1e-6);
    EXPECT_NEAR(drawn.bottom, margin, 1e-6);
    EXPECT_NEAR(drawn.right, width - margin, 1e-6) << "the page is no wider than the diagram and its margins";
    EXPECT_NEAR(drawn.top, height - margin, 1e-6);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A tool of the system's PATH, empty when it is not installed.
std::string toolPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder) / name;
        if (fs::exists(candidate))
            return candidate.string();
    }
    return {};
}

// A session on a new blank drawing that holds the object shapes; new drawings
// are saved into the test's folder.
class EntityDiagram : public ::testing::Test {
protected:
    void SetUp() override { Open({}); }
    void TearDown() override { VisioApp = nullptr; }

    void Open(const std::vector<std::string>& stencilFolders)
    {
        VisioApp = nullptr;
        visio::SessionOptions options;
        options.stencilFolders = stencilFolders;
        options.newDrawingFolder = folder.Path().string();
        app = std::make_unique<visio::Application>(options);
        VisioApp = app.get();
        source = app->ActiveDocument();
    }

    // An object shape on the source drawing, without a table definition.
    visio::Shape DropObject()
    {
        const visio::Master object = app->GetDocuments().Item("kalemar.vss").GetMasters().ItemU("Object");
        x_ += 1;
        return source.GetPages().Item(1).Drop(object, x_, 2);
    }

    // An object shape on the source drawing carrying the table `name`.
    void Table(const std::string& name, const std::vector<TFieldType>& fields)
    {
        WriteTableDefinition(DropObject(), name, "", fields);
    }

    visio::Page DiagramPage() const { return app->ActiveDocument().GetPages().Item(1); }

    // The top-level shapes of the diagram made from `masterNameU`, in z-order.
    std::vector<visio::Shape> ShapesOf(const std::string& masterNameU) const
    {
        std::vector<visio::Shape> found;
        const visio::Shapes shapes = DiagramPage().GetShapes();
        for (int i = 1; i <= shapes.Count(); ++i)
            if (shapes.Item(i).GetMaster() && shapes.Item(i).GetMaster().NameU() == masterNameU)
                found.push_back(shapes.Item(i));
        return found;
    }
    std::vector<visio::Shape> Entities() const { return ShapesOf("Entity"); }
    std::vector<visio::Shape> Connectors() const { return ShapesOf("Dynamic connector"); }

    // Saves the session; the diagram is the last document written.
    std::string SaveDiagram()
    {
        const std::vector<std::string> written = app->SaveChangedDocuments();
        EXPECT_FALSE(written.empty());
        return written.empty() ? std::string() : written.back();
    }

    testsupport::TempDir folder;
    std::unique_ptr<visio::Application> app;
    visio::Document source;

private:
    double x_ = 0;
};

TEST_F(EntityDiagram, EntitiesStandInRowsOfThreeWithNameFieldsAndHeight)
{
    struct Case {
        const char* name;
        std::vector<TFieldType> fields;
        double pinX;
        double pinY;
        const char* height;
        const char* attributes; // empty: sub-shape 2 as the master made it
    };
    const Case cases[] = {
        {"Customers", {Field("Id", "Integer", 1)}, 1, 1, "8 mm", "  Id(Integer)"},
        {"Orders", {Field("Id", "Integer", 1), Field("Note", "VarChar", 0)}, 4, 1, "12.5 mm",
         "  Id(Integer)\n  Note(VarChar)"},
        {"Заказы", {Field("Код", "Integer", 1), Field("Дата", "Date", 0), Field("Сумма", "Float", 0)}, 7, 1,
         "17 mm", "  Код(Integer)\n  Дата(Date)\n  Сумма(Float)"},
        {"Empty", {}, 1, -2, "3.5 mm", ""},
        {"", {Field("Nameless", "Char", 0)}, 4, -2, "8 mm", "  Nameless(Char)"},
        {"Sixth", {Field("A", "Blob", 0)}, 7, -2, "8 mm", "  A(Blob)"},
        {"Seventh", {Field("B", "DateTime", 0)}, 1, -5, "8 mm", "  B(DateTime)"},
    };
    for (const Case& c : cases)
        Table(c.name, c.fields);
    const int documentsBefore = app->GetDocuments().Count();

    BuildEntityDiagram();

    EXPECT_FALSE(app->ActiveDocument() == source) << "the diagram is a new drawing";
    EXPECT_EQ(app->GetDocuments().Count(), documentsBefore + 1);
    EXPECT_TRUE(app->GetDocuments().Item("ENTITY_M.VSS").IsStencil());
    const std::vector<visio::Shape> entities = Entities();
    ASSERT_EQ(entities.size(), std::size(cases));
    EXPECT_TRUE(Connectors().empty());
    for (std::size_t i = 0; i < entities.size(); ++i) {
        const Case& c = cases[i];
        const visio::Shape& entity = entities[i];
        SCOPED_TRACE(c.name);
        // Rows of three, 3 inches apart, moved as one piece onto the page.
        EXPECT_NEAR(entity.Cells("PinX").ResultIU() - entities[0].Cells("PinX").ResultIU(), c.pinX - 1, 1e-9);
        EXPECT_NEAR(entity.Cells("PinY").ResultIU() - entities[0].Cells("PinY").ResultIU(), c.pinY - 1, 1e-9);
        EXPECT_EQ(entity.CellsSRC(visio::visSectionObject, 1, 3).FormulaU(), c.height);
        EXPECT_NEAR(entity.Cells("Height").ResultIU(), std::stod(c.height) * InchesPerMm, 1e-9);
        ASSERT_EQ(entity.GetShapes().Count(), 2);
        const visio::Shape attributes = entity.GetShapes().Item(2);
        EXPECT_EQ(entity.GetShapes().Item(1).Text(), c.name);
        EXPECT_EQ(attributes.Text(), c.attributes);
        // Alignment is written only where a field list is written.
        const int written = c.fields.empty() ? 0 : -1;
        EXPECT_EQ(attributes.CellsSRCExists(visio::visSectionParagraph, 0, 6, 1), written);
        EXPECT_EQ(attributes.CellsSRCExists(visio::visSectionObject, 11, 4, 1), written);
        if (!c.fields.empty()) {
            EXPECT_EQ(attributes.CellsSRC(visio::visSectionParagraph, 0, 6).FormulaU(), "0");
            EXPECT_EQ(attributes.CellsSRC(visio::visSectionObject, 11, 4).FormulaU(), "0");
        }
    }
    expectDiagramOnItsPage(DiagramPage(), entities, Connectors());
}

// One table alone and a hundred with foreign keys to the table before, to the
// first and to themselves: both stand on a page sized to hold them, in rows
// of three 3 inches apart, every connector glued to row 8 of its two
// entities and routed clear of every entity.
TEST_F(EntityDiagram, OneTableAndAHundredFitTheirPage)
{
    for (const std::size_t count : {std::size_t{1}, std::size_t{100}}) {
        SCOPED_TRACE(std::to_string(count) + " tables");
        TTableCollection tables;
        for (std::size_t i = 0; i < count; ++i) {
            auto table = std::make_unique<TTableRec>();
            table->Name = "T" + std::to_string(i);
            for (std::size_t f = 0; f < 1 + i % 5; ++f)
                table->Fields.push_back(Field("F" + std::to_string(f), "Integer", f == 0 ? 1 : 0));
            if (i > 0)
                table->Fields.push_back(Field("Prev", "Integer", 2, "T" + std::to_string(i - 1), "F0"));
            if (i % 7 == 3)
                table->Fields.push_back(Field("First", "Integer", 2, "T0", "F0"));
            if (i % 11 == 5)
                table->Fields.push_back(Field("Parent", "Integer", 3, table->Name, "F0"));
            tables.push_back(std::move(table));
        }
        Open({});

        DrawEntityDiagram(*app, tables);

        const std::vector<visio::Shape> entities = Entities();
        ASSERT_EQ(entities.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_NEAR(entities[i].Cells("PinX").ResultIU() - entities[0].Cells("PinX").ResultIU(), 3.0 * static_cast<double>(i % 3),
                        1e-9);
            EXPECT_NEAR(entities[i].Cells("PinY").ResultIU() - entities[0].Cells("PinY").ResultIU(), -3.0 * static_cast<double>(i / 3),
                        1e-9);
        }
        const std::vector<visio::Shape> connectors = Connectors();
        std::map<int, std::size_t> entityOfId;
        for (std::size_t i = 0; i < count; ++i)
            entityOfId[entities[i].ID()] = i;
        for (const visio::Shape& connector : connectors) {
            for (const visio::Connect& connect : DiagramPage().Connects()) {
                if (connect.fromSheet != connector.ID())
                    continue;
                EXPECT_EQ(connect.toCell, "Connections.X9");
                const bool begin = connect.fromCell == "BeginX";
                const Point point = connectionPoint(entities.at(entityOfId.at(connect.toSheet)), 8);
                EXPECT_NEAR(connector.Cells(begin ? "BeginX" : "EndX").ResultIU(), point.x, 1e-9);
                EXPECT_NEAR(connector.Cells(begin ? "BeginY" : "EndY").ResultIU(), point.y, 1e-9);
            }
        }
        expectDiagramOnItsPage(DiagramPage(), entities, connectors);
    }
}

// A decimal comma elsewhere in the process must not reach the formula.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(EntityDiagram, HeightGrowsByFourAndAHalfMillimetresPerField)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    struct Case {
        std::size_t fieldCount;
        const char* height;
    };
    const Case cases[] = {{0, "3.5 mm"}, {1, "8 mm"}, {2, "12.5 mm"}, {3, "17 mm"}, {4, "21.5 mm"}, {20, "93.5 mm"}};
    TTableCollection tables;
    for (const Case& c : cases) {
        auto table = std::make_unique<TTableRec>();
        for (std::size_t i = 0; i < c.fieldCount; ++i)
            table->Fields.push_back(Field("F" + std::to_string(i), "Integer", 0));
        tables.push_back(std::move(table));
    }

    DrawEntityDiagram(*app, tables);
    std::locale::global(previous);

    for (std::size_t i = 0; i < tables.size(); ++i) {
        ASSERT_TRUE(tables[i]->Shape) << "the record holds its entity";
        EXPECT_EQ(tables[i]->Shape, Entities()[i]);
        EXPECT_EQ(tables[i]->Shape.CellsSRC(visio::visSectionObject, 1, 3).FormulaU(), cases[i].height);
    }
}

TEST_F(EntityDiagram, OneLabelledConnectorPerForeignKeyToEveryTableOfThatName)
{
    Table("Customers", {Field("Id", "Integer", 1)});
    Table("Orders", {
                        Field("Id", "Integer", 1),
                        Field("CustomerId", "Integer", 2, "Customers", "Id"),
                        Field("ParentId", "Integer", 3, "Orders", "Id"),
                        Field("Lost", "Integer", 2, "Nowhere", "Id"),
                        Field("NoField", "Integer", 2, "Customers", ""),
                        Field("NoTable", "Integer", 2, "", "Id"),
                        Field("Plain", "Integer", 0, "Customers", "Id"),
                        Field("KeyOnly", "Integer", 1, "Customers", "Id"),
                        Field("WrongCase", "Integer", 2, "customers", "Id"),
                    });
    Table("Customers", {Field("Code", "Char", 1)});

    BuildEntityDiagram();

    const std::vector<visio::Shape> entities = Entities();
    ASSERT_EQ(entities.size(), 3u);
    struct Expected {
        const char* label;
        std::size_t from;
        std::size_t to;
    };
    // RefField is not looked for: the second Customers has no Id, yet is joined.
    const Expected expected[] = {
        {"CustomerId -> Id", 1, 0},
        {"CustomerId -> Id", 1, 2},
        {"ParentId -> Id", 1, 1},
    };
    // Each connector went to the back as it was made, so the last made is first.
    const std::vector<visio::Shape> connectors = Connectors();
    ASSERT_EQ(connectors.size(), std::size(expected));
    const visio::Shapes all = DiagramPage().GetShapes();
    for (std::size_t i = 0; i < connectors.size(); ++i)
        EXPECT_EQ(all.Item(static_cast<int>(i) + 1), connectors[i]) << "connectors lie behind the entities";

    const std::vector<visio::Connect> connects = DiagramPage().Connects();
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Expected& e = expected[i];
        const visio::Shape& connector = connectors[std::size(expected) - 1 - i];
        SCOPED_TRACE(std::string(e.label) + " #" + std::to_string(i));
        EXPECT_EQ(connector.Text(), e.label);
        EXPECT_EQ(connector.CellsSRC(visio::visSectionObject, 23, 19).FormulaU(), "1");
        EXPECT_EQ(connector.CellsSRC(visio::visSectionObject, 23, 10).FormulaU(), "1");
        const Point begin = connectionPoint(entities[e.from], 8);
        const Point end = connectionPoint(entities[e.to], 8);
        EXPECT_NEAR(connector.Cells("BeginX").ResultIU(), begin.x, 1e-9);
        EXPECT_NEAR(connector.Cells("BeginY").ResultIU(), begin.y, 1e-9);
        EXPECT_NEAR(connector.Cells("EndX").ResultIU(), end.x, 1e-9);
        EXPECT_NEAR(connector.Cells("EndY").ResultIU(), end.y, 1e-9);
        int glued = 0;
        for (const visio::Connect& connect : connects) {
            if (connect.fromSheet != connector.ID())
                continue;
            ++glued;
            EXPECT_EQ(connect.toCell, "Connections.X9");
            const std::size_t target = connect.fromCell == "BeginX" ? e.from : e.to;
            EXPECT_EQ(connect.toSheet, entities[target].ID()) << connect.fromCell;
        }
        EXPECT_EQ(glued, 2);
        if (e.from == e.to) {
            // A loop that leaves its point and comes back to it.
            const std::vector<Point> route = routeOf(connector);
            EXPECT_GE(route.size(), 6u);
            const double reach = std::accumulate(route.begin(), route.end(), 0.0, [&](double most, Point p) {
                return std::max(most, std::hypot(p.x - begin.x, p.y - begin.y));
            });
            EXPECT_GT(reach, 0.2);
        }
    }
    expectDiagramOnItsPage(DiagramPage(), entities, connectors);
}

TEST_F(EntityDiagram, ADocumentWithoutTablesStillGetsANewBlankDrawing)
{
    DropObject();
    const int documentsBefore = app->GetDocuments().Count();

    BuildEntityDiagram();

    EXPECT_EQ(app->GetDocuments().Count(), documentsBefore + 1);
    EXPECT_FALSE(app->ActiveDocument() == source);
    EXPECT_EQ(DiagramPage().GetShapes().Count(), 0);
    const std::string file = SaveDiagram();
    EXPECT_TRUE(fs::exists(file)) << file;
}

// A folder of stencils: the bundled kalemar, and unless `part` is empty the
// bundled entity_m with `edit` applied to the text of that part.
fs::path stencilFolder(const fs::path& folder, const std::string& part,
                       const std::function<void(std::string&)>& edit)
{
    const fs::path stencils = folder / "stencils";
    fs::create_directories(stencils);
    fs::copy_file(fs::path(KALEMAR_STENCIL_DIR) / "kalemar.vssx", stencils / "kalemar.vssx");
    if (part.empty())
        return stencils;
    const fs::path tree = folder / "entity_m";
    fs::copy(fs::path(KALEMAR_SOURCE_DIR) / "stencils" / "entity_m", tree, fs::copy_options::recursive);
    std::string text = readFile(tree / part);
    edit(text);
    std::ofstream(tree / part, std::ios::binary | std::ios::trunc) << text;
    testsupport::RunOptions options;
    options.workingDirectory = tree.string();
    const RunResult zip =
        RunProgram(toolPath("zip"), {"-q", "-X", "-r", (stencils / "entity_m.vssx").string(), "."}, options);
    EXPECT_EQ(zip.exitCode, 0) << zip.err;
    return stencils;
}

std::function<void(std::string&)> replacing(const std::string& pattern, const std::string& replacement)
{
    return [=](std::string& text) { text = std::regex_replace(text, std::regex(pattern), replacement); };
}

TEST_F(EntityDiagram, WhatTheStencilLacksEndsTheCommandAndWhatWasDrawnStays)
{
    if (toolPath("zip").empty())
        GTEST_SKIP() << "zip not installed";
    struct Case {
        const char* what;
        std::string part; // empty: no entity_m stencil at all
        std::function<void(std::string&)> edit;
        std::size_t entitiesDrawn;
    };
    const Case cases[] = {
        {"no stencil", "", nullptr, 0},
        {"no Entity master", "visio/masters/masters.xml", replacing("NameU='Entity'", "NameU='Entität'"), 0},
        {"no connection row 8", "visio/masters/master1.xml", replacing("<Row IX='8'>.*?</Row>", ""), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir scratch;
        Open({stencilFolder(scratch.Path(), c.part, c.edit).string()});
        Table("Customers", {Field("Id", "Integer", 1)});
        Table("Orders", {Field("CustomerId", "Integer", 2, "Customers", "Id")});
        const int documentsBefore = app->GetDocuments().Count();

        EXPECT_THROW(BuildEntityDiagram(), visio::VisioError);
        EXPECT_FALSE(app->ActiveDocument() == source) << "the new drawing stays";
        EXPECT_GT(app->GetDocuments().Count(), documentsBefore);
        EXPECT_EQ(Entities().size(), c.entitiesDrawn);
    }
}

// Page inches (y up) to the points of libvisio's SVG (y down from the top).
Point toSvg(Point inches, const SvgPage& page)
{
    return {inches.x * PointsPerInch, page.height - inches.y * PointsPerInch};
}

TEST_F(EntityDiagram, LibvisioDrawsEntitiesTextsAndConnectorsWhereTheyBelong)
{
    const std::string vsd2xhtml = toolPath("vsd2xhtml");
    if (vsd2xhtml.empty())
        GTEST_SKIP() << "libvisio-tools not installed";
    Table("Customers", {Field("Id", "Integer", 1)});
    Table("Orders", {Field("OrderNo", "Integer", 1), Field("CustomerId", "Integer", 2, "Customers", "Id"),
                     Field("ParentId", "Integer", 3, "Orders", "OrderNo")});
    Table("Products", {});
    Table("Items", {Field("OrderId", "Integer", 2, "Orders", "OrderNo"), Field("Count", "Float", 0)});
    BuildEntityDiagram();
    const std::vector<visio::Shape> entities = Entities();
    const std::vector<visio::Shape> connectors = Connectors();
    ASSERT_EQ(entities.size(), 4u);
    const std::string file = SaveDiagram();

    const RunResult html = RunProgram(vsd2xhtml, {file});
    ASSERT_EQ(html.exitCode, 0) << html.err;
    const SvgPage page = dbtest::ParseSvg(html.out);

    const double headerPoints = 3.5 * InchesPerMm * PointsPerInch;
    for (const visio::Shape& entity : entities) {
        const std::string name = entity.GetShapes().Item(1).Text();
        const std::string attributes = entity.GetShapes().Item(2).Text();
        SCOPED_TRACE(name);
        const double halfWidth = entity.Cells("Width").ResultIU() / 2;
        const double halfHeight = entity.Cells("Height").ResultIU() / 2;
        const Point topLeft =
            toSvg({entity.Cells("PinX").ResultIU() - halfWidth, entity.Cells("PinY").ResultIU() + halfHeight}, page);
        const Point bottomRight =
            toSvg({entity.Cells("PinX").ResultIU() + halfWidth, entity.Cells("PinY").ResultIU() - halfHeight}, page);
        const Box header{topLeft.x, topLeft.y, bottomRight.x, topLeft.y + headerPoints};
        const Box body{topLeft.x, header.bottom, bottomRight.x, bottomRight.y};
        EXPECT_TRUE(dbtest::HasRectangle(page, header));
        const SvgPage::Text* title = dbtest::TextOf(page, name);
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(header.Holds(title->at, 0)) << title->at.x << "," << title->at.y;
        if (attributes.empty())
            continue;
        EXPECT_TRUE(dbtest::HasRectangle(page, body));
        const SvgPage::Text* list = dbtest::TextOf(page, attributes);
        ASSERT_NE(list, nullptr) << attributes;
        EXPECT_TRUE(body.Holds(list->at, 0.01)) << list->at.x << "," << list->at.y;
    }

    const std::vector<std::string> labels = {"CustomerId -> Id", "ParentId -> OrderNo", "OrderId -> OrderNo"};
    ASSERT_EQ(connectors.size(), labels.size());
    for (const std::string& label : labels) {
        const long drawn = std::count_if(page.texts.begin(), page.texts.end(),
                                         [&](const SvgPage::Text& text) { return text.lines == label; });
        EXPECT_EQ(drawn, 1) << label;
    }
    // Each connector is drawn along its route, from its begin to its end.
    for (const visio::Shape& connector : connectors) {
        SCOPED_TRACE(connector.Text());
        std::vector<Point> route = routeOf(connector);
        for (Point& p : route)
            p = toSvg(p, page);
        const bool found = std::any_of(page.paths.begin(), page.paths.end(), [&](const std::vector<Point>& points) {
            return points.size() == route.size() &&
                   std::equal(points.begin(), points.end(), route.begin(), [](Point a, Point b) {
                       return std::abs(a.x - b.x) < 0.01 && std::abs(a.y - b.y) < 0.01;
                   });
        });
        EXPECT_TRUE(found) << "a path of " << route.size() << " points from " << route.front().x << ","
                           << route.front().y;
    }
    // The connectors are drawn first, so the entities cover them; everything
    // lies on the page that libvisio draws.
    ASSERT_FALSE(page.paths.empty());
    EXPECT_EQ(page.paths.front().size(), routeOf(connectors.front()).size());
    EXPECT_NEAR(page.width, DiagramPage().PageSheet().Cells("PageWidth").ResultIU() * PointsPerInch, 0.01);
    EXPECT_NEAR(page.height, DiagramPage().PageSheet().Cells("PageHeight").ResultIU() * PointsPerInch, 0.01);
    for (const std::vector<Point>& points : page.paths)
        for (const Point& p : points)
            EXPECT_TRUE(p.x >= 0 && p.x <= page.width && p.y >= 0 && p.y <= page.height)
                << "a path runs off the page at " << p.x << "," << p.y;
    for (const SvgPage::Text& text : page.texts)
        EXPECT_TRUE(text.at.x >= 0 && text.at.x <= page.width && text.at.y >= 0 && text.at.y <= page.height)
            << text.lines;
}

QJsonObject dumpOf(const std::string& drawing)
{
    const RunResult dump = RunProgram(testsupport::KalemarDumpExecutable(), {drawing});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
}

std::string textOf(const QJsonValue& shape)
{
    return shape.toObject().value("text").toString().toStdString();
}

TEST(EntityDiagramCommand, KalemarDrawsTheExampleAsANewDrawingBesideIt)
{
    testsupport::TempDir folder;
    const fs::path drawing =
        folder.CopyIn(fs::path(KALEMAR_SOURCE_DIR) / "examples" / "order-process.vsdx", "order-process.vsdx");
    const std::string before = readFile(drawing);
    testsupport::RunOptions options;
    options.workingDirectory = folder.Path().string();

    const RunResult result =
        RunProgram(testsupport::KalemarExecutable(), {"--drawing", drawing.string(), "2"}, options);

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const fs::path diagram = folder.File("Drawing1.vsdx");
    EXPECT_EQ(result.out, diagram.string() + "\n");
    EXPECT_EQ(readFile(drawing), before) << "the source document is only read";

    const QJsonArray pages = dumpOf(diagram.string()).value("pages").toArray();
    ASSERT_EQ(pages.size(), 1);
    // Where an entity stands relative to the first, in millimetres.
    struct Entity {
        std::string name;
        double x = 0, y = 0;
        bool operator==(const Entity& other) const
        {
            return name == other.name && std::abs(x - other.x) < 1e-6 && std::abs(y - other.y) < 1e-6;
        }
    };
    std::vector<Entity> entities;
    std::map<int, std::string> tableOfShape;
    std::vector<std::pair<int, std::string>> connectors;
    for (const QJsonValue& value : pages[0].toObject().value("shapes").toArray()) {
        const QJsonObject shape = value.toObject();
        const int id = shape.value("id").toInt();
        const QJsonArray parts = shape.value("shapes").toArray();
        if (parts.isEmpty()) {
            connectors.emplace_back(id, textOf(shape));
            continue;
        }
        ASSERT_EQ(parts.size(), 2);
        tableOfShape[id] = textOf(parts[0]);
        // Pins are written in millimetres: "123.4 mm".
        const double x = std::stod(shape.value("pinX").toString().toStdString());
        const double y = std::stod(shape.value("pinY").toString().toStdString());
        if (!entities.empty()) {
            entities.push_back({textOf(parts[0]), x - entities[0].x, y - entities[0].y});
        } else {
            entities.push_back({textOf(parts[0]), x, y});
        }
        if (textOf(parts[0]) == "Orders") {
            EXPECT_EQ(textOf(parts[1]), "  Id(Integer)\n  CustomerId(Integer)\n  OrderDate(Date)\n  Note(VarChar)");
        }
    }
    ASSERT_FALSE(entities.empty());
    entities[0].x = entities[0].y = 0;
    // Rows of three, 3 inches (76.2 mm) apart, as the command lays them out.
    EXPECT_EQ(entities, (std::vector<Entity>{{"Customers", 0, 0},
                                             {"Orders", 76.2, 0},
                                             {"Products", 152.4, 0},
                                             {"OrderItems", 0, -76.2},
                                             {"Waybills", 76.2, -76.2}}));

    // label, from table, to table
    std::multiset<std::tuple<std::string, std::string, std::string>> joins;
    for (const auto& [id, label] : connectors) {
        std::string from;
        std::string to;
        for (const QJsonValue& value : pages[0].toObject().value("connects").toArray()) {
            const QJsonObject connect = value.toObject();
            if (connect.value("from").toInt() != id)
                continue;
            EXPECT_EQ(connect.value("toCell").toString(), "Connections.X9");
            const bool begin = connect.value("fromCell").toString() == "BeginX";
            (begin ? from : to) = tableOfShape[connect.value("to").toInt()];
        }
        joins.emplace(label, from, to);
    }
    const std::multiset<std::tuple<std::string, std::string, std::string>> expected = {
        {"CustomerId -> Id", "Orders", "Customers"},
        {"OrderId -> Id", "OrderItems", "Orders"},
        {"ProductId -> Id", "OrderItems", "Products"},
        {"OrderId -> Id", "Waybills", "Orders"},
    };
    EXPECT_EQ(joins, expected);
}

} // namespace
