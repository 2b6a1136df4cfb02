// The detail page made from a frame selected on drawings made for the case:
// which procedure the frame holds, the new page, the frame's double-click
// link and the stamp, read back through the engine, kalemar-dump and libvisio.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

#include "database/LibvisioSvg.h"
#include "frames/BuildDetailPage.h"
#include "host/Globals.h"
#include "model/Utils.h"
#include "support/RunProgram.h"
#include "support/StderrCapture.h"
#include "support/StencilDrawing.h"

namespace {

using testsupport::Fill;
using testsupport::Place;

constexpr int EventRow = 5;
constexpr int EventDblClickColumn = 2;
const std::string kWarningLine = "Warning:    Процедура в пределах рамки детализации не найдена !   \n";

std::string linkOf(const visio::Shape& shape)
{
    return shape.CellsSRC(visio::visSectionObject, EventRow, EventDblClickColumn).FormulaU();
}

std::vector<std::string> pageNames(visio::Application& app)
{
    std::vector<std::string> names;
    const visio::Pages pages = app.ActiveDocument().GetPages();
    for (int index = 1; index <= pages.Count(); ++index)
        names.push_back(pages.Item(index).Name());
    return names;
}

// A frame at pin (100 mm, 100 mm), 50 mm by 40 mm, on page 1 of a drawing
// that a case fills; the command then runs on a session of the saved drawing
// with the frame (or what the case names) selected.
class DetailDrawing {
public:
    DetailDrawing()
    {
        frame = drawing.Drop("Frame");
        Place(frame, "100 mm", "100 mm", "50 mm", "40 mm");
        Fill(frame, {"", ""});
        frameId = frame.ID();
    }

    // A procedure numbered `number` and named "Процедура <number>", 40 mm high
    // at pin y 100 mm.
    visio::Shape Procedure(const std::string& number, const std::string& pinX = "100 mm",
                           const std::string& width = "50 mm", int page = 1)
    {
        visio::Shape shape = drawing.Drop("Process", page);
        Place(shape, pinX, "100 mm", width, "40 mm");
        Fill(shape, {number, "Исполнитель", "Процедура " + number});
        return shape;
    }

    // Saves the drawing (once), opens it with the frame selected and runs the
    // command; returns its error message.
    std::string Run() { return RunSelecting({std::to_string(frameId)}); }

    // The same with the shapes `selected` (IDs or names on page 1) selected.
    std::string RunSelecting(const std::vector<std::string>& selected)
    {
        if (path.empty())
            path = drawing.SaveAs(folder.File("detail.vsdx"));
        session = testsupport::OpenSession(path, "1", selected);
        VisioApp = session.get();
        std::string error;
        {
            testsupport::StderrCapture err;
            try {
                BuildDetailPage();
            } catch (const std::exception& failure) {
                error = failure.what();
            }
            warnings = err.Text();
        }
        VisioApp = nullptr;
        return error;
    }

    // Saves what the run changed and starts a session on the file again.
    void SaveAndReopen()
    {
        session->SaveChangedDocuments();
        session = testsupport::OpenSession(path);
    }

    visio::Application& App() { return *session; }
    visio::Shape FrameNow() { return session->ActiveDocument().GetPages().Item(1).ShapeByID(frameId); }

    testsupport::TempDir folder;
    testsupport::StencilDrawing drawing;
    visio::Shape frame; // in the drawing being built; gone once it is saved
    int frameId = 0;
    std::string path;
    std::unique_ptr<visio::Application> session;
    std::string warnings;
};

TEST(DetailPage, TheFirstProcedureWithinTheFrameIsDetailed)
{
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> procedures; // pin x and width, numbered 1, 2, ...
        const char* detailed; // the number of the page made; empty for the warning
    } cases[] = {
        {"edges that coincide lie inside", {{"100 mm", "50 mm"}}, "1"},
        {"one millimetre wider does not", {{"100 mm", "51 mm"}}, ""},
        {"a pin of 100.9 mm counts as 100", {{"100.9 mm", "50 mm"}}, "1"},
        {"two inside: the lower shape index", {{"100 mm", "30 mm"}, {"100 mm", "20 mm"}}, "1"},
        {"the first outside, the second inside", {{"140 mm", "30 mm"}, {"100 mm", "20 mm"}}, "2"},
        {"none on the page", {}, ""},
    };
    for (const Case& c : cases) {
        DetailDrawing d;
        int number = 0;
        for (const auto& [pinX, width] : c.procedures)
            d.Procedure(std::to_string(++number), pinX, width);
        ASSERT_EQ(d.Run(), "") << c.what;
        const std::string detailed = c.detailed;
        if (detailed.empty()) {
            EXPECT_EQ(d.warnings, kWarningLine) << c.what;
            EXPECT_EQ(pageNames(d.App()).size(), 1u) << c.what;
            EXPECT_FALSE(d.App().ActiveDocument().IsChanged()) << c.what;
        } else {
            EXPECT_EQ(d.warnings, "") << c.what;
            EXPECT_EQ(pageNames(d.App()), (std::vector<std::string>{"Page-1", detailed})) << c.what;
            EXPECT_EQ(linkOf(d.FrameNow()), "GOTOPAGE(\"" + detailed + "\")") << c.what;
        }
    }
}

TEST(DetailPage, OnlyProceduresOfTheActivePageCount)
{
    DetailDrawing d;
    // An object and a stamp inside the frame, a procedure at the same place on
    // another page.
    Place(d.drawing.Drop("Object"), "100 mm", "100 mm", "20 mm", "20 mm");
    Place(d.drawing.Drop("Stamp"), "100 mm", "100 mm", "20 mm", "10 mm");
    d.Procedure("2.1", "100 mm", "20 mm", 2);
    ASSERT_EQ(d.Run(), "");
    EXPECT_EQ(d.warnings, kWarningLine);
    EXPECT_EQ(pageNames(d.App()).size(), 2u);
}

TEST(DetailPage, AFrameThatIsAProcedureFindsItself)
{
    DetailDrawing d;
    d.Procedure("0.9", "160 mm", "20 mm"); // before it, outside it
    const int big = d.Procedure("3", "100 mm", "80 mm").ID();
    d.Procedure("3.1", "100 mm", "20 mm"); // inside it, but after it
    ASSERT_EQ(d.RunSelecting({std::to_string(big)}), "");
    EXPECT_EQ(pageNames(d.App()).back(), "3");
    EXPECT_EQ(linkOf(d.App().ActiveDocument().GetPages().Item(1).ShapeByID(big)), "GOTOPAGE(\"3\")");
}

TEST(DetailPage, TheNewPageIsShownNamedLinkedAndStamped)
{
    DetailDrawing d;
    d.Procedure("3.1");
    ASSERT_EQ(d.Run(), "");
    const visio::Page page = d.App().ActivePage();
    EXPECT_EQ(page.Name(), "3.1");
    EXPECT_EQ(d.App().ActiveWindow().GetPage(), page);
    EXPECT_EQ(linkOf(d.FrameNow()), "GOTOPAGE(\"3.1\")");
    ASSERT_EQ(page.GetShapes().Count(), 1);
    const visio::Shape stamp = page.GetShapes().Item(1);
    EXPECT_EQ(stamp.Name(), "Stamp");
    EXPECT_EQ(ReadPropertyFormula(stamp, 0), "\"?\"");
    EXPECT_EQ(ReadPropertyFormula(stamp, 1), "\"Процедура 3.1\"");
    EXPECT_DOUBLE_EQ(stamp.Cells("PinX").ResultIU(), 4.133858);
    EXPECT_DOUBLE_EQ(stamp.Cells("PinY").ResultIU(), 5.787402);
    // The procedure and the frame themselves stay as they were.
    EXPECT_EQ(ReadPropertyFormula(d.FrameNow(), 0), "\"\"");
}

TEST(DetailPage, ATakenNameLeavesTheNewPageItsOwnNameAndTheLinkFollowsIt)
{
    DetailDrawing d;
    d.Procedure("3.1");
    ASSERT_EQ(d.Run(), "");
    d.SaveAndReopen();
    ASSERT_EQ(d.Run(), "");
    EXPECT_EQ(pageNames(d.App()), (std::vector<std::string>{"Page-1", "3.1", "Page-3"}));
    EXPECT_EQ(linkOf(d.FrameNow()), "GOTOPAGE(\"Page-3\")");
    // The first detail page keeps its stamp; the second has its own.
    EXPECT_EQ(d.App().ActiveDocument().GetPages().Item(2).GetShapes().Count(), 1);
    EXPECT_EQ(d.App().ActivePage().GetShapes().Count(), 1);
}

TEST(DetailPage, QuotesInTheNumberAreDoubledInTheLink)
{
    DetailDrawing d;
    d.Procedure("ООО \"Ромашка\" 1");
    ASSERT_EQ(d.Run(), "");
    EXPECT_EQ(d.App().ActivePage().Name(), "ООО \"Ромашка\" 1");
    EXPECT_EQ(linkOf(d.FrameNow()), "GOTOPAGE(\"ООО \"\"Ромашка\"\" 1\")");
}

TEST(DetailPage, FailuresStopTheCommandWhereTheyHappen)
{
    struct Case {
        const char* what;
        const char* number;    // of the procedure inside the frame
        const char* framePinX; // the frame's pin formula
        bool frameSelected;
        const char* error;
        int pages;             // pages afterwards
    } cases[] = {
        // The drawing refuses an empty page name once the page was added.
        {"an empty number", "", "100 mm", true, "A page name cannot be empty", 2},
        {"a frame whose pin is no length", "1", "Width*0.5 + 75 mm", true,
         "'Width*0' is not a valid floating point value", 1},
        {"nothing selected", "1", "100 mm", false, "The selection has no shape 1", 1},
    };
    for (const Case& c : cases) {
        DetailDrawing d;
        d.Procedure(c.number);
        d.frame.Cells("PinX").SetFormulaU(c.framePinX);
        const std::string error = c.frameSelected ? d.Run() : d.RunSelecting({});
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(pageNames(d.App()).size(), static_cast<std::size_t>(c.pages)) << c.what;
        EXPECT_EQ(linkOf(d.FrameNow()), "0") << c.what;
        EXPECT_EQ(d.App().ActiveDocument().GetPages().Item(c.pages).GetShapes().Count(), c.pages == 1 ? 2 : 0)
            << c.what;
    }
}

} // namespace
