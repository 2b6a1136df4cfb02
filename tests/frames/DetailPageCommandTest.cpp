// Command 11 run as a user runs it on copies of the bundled example drawing,
// and what it saved read back by kalemar-dump, by libvisio's vsd2xhtml and by
// the engine; runs that fail or warn leave the file as it was.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

#include "database/LibvisioSvg.h"
#include "model/Utils.h"
#include "support/RunProgram.h"
#include "support/StencilDrawing.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunProgram;
using testsupport::RunResult;

const std::string kExample = std::string(KALEMAR_SOURCE_DIR) + "/examples/order-process.vsdx";
const std::string kWarningLine = "Warning:    Процедура в пределах рамки детализации не найдена !   \n";
constexpr double PointsPerMm = 72 / 25.4;

QJsonArray dumpPages(const fs::path& drawing)
{
    const RunResult dump = RunProgram(testsupport::KalemarDumpExecutable(), {drawing.string()});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object().value("pages").toArray();
}

std::string text(const QJsonValue& value) { return value.toString().toStdString(); }

// What vsd2xhtml draws of each page, in page order.
std::vector<dbtest::SvgPage> libvisioPages(const fs::path& drawing)
{
    const RunResult html = RunProgram("/usr/bin/vsd2xhtml", {drawing.string()});
    EXPECT_EQ(html.exitCode, 0) << html.err;
    std::vector<dbtest::SvgPage> pages;
    const std::string marker = "<svg:svg";
    for (std::size_t at = html.out.find(marker); at != std::string::npos;) {
        const std::size_t next = html.out.find(marker, at + 1);
        pages.push_back(dbtest::ParseSvg(html.out.substr(at, next == std::string::npos ? next : next - at)));
        at = next;
    }
    return pages;
}

// The stamp of the kalemar stencil, 60 mm by 15 mm, with its pin at 105 mm
// and 147 mm on an A4 page: in points from the page's top left corner.
const dbtest::Box kStampOnA4{75 * PointsPerMm, (297 - 147 - 7.5) * PointsPerMm, 135 * PointsPerMm,
                             (297 - 147 + 7.5) * PointsPerMm};

bool hasTextStartingWith(const dbtest::SvgPage& page, const std::string& start)
{
    for (const dbtest::SvgPage::Text& t : page.texts)
        if (t.lines.rfind(start, 0) == 0)
            return true;
    return false;
}

class DetailPageCommand : public testing::Test {
protected:
    testsupport::TempDir folder;
    fs::path drawing = folder.CopyIn(kExample, "order.vsdx");

    RunResult kalemar(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--drawing", drawing.string()});
        return RunProgram(testsupport::KalemarExecutable(), args, testsupport::HeadlessRunOptions(folder.Path().string()));
    }

    // Numbers the procedures of the first page "П-1", "П-2", ...
    void numberProcedures()
    {
        const RunResult run = kalemar({"--page", "1", "--set", "tbCONST=П-", "--choose", "RzRadioGroup1=1",
                                       "--press", "btnSAVE", "--press", "btnClose", "7"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    // The raw number and name formulas of the procedure of the first page whose
    // pin is the pin of the frame drawn around it.
    std::pair<std::string, std::string> framedProcedure()
    {
        const QJsonArray shapes = dumpPages(drawing).at(0).toObject().value("shapes").toArray();
        QJsonObject frame;
        for (const QJsonValue& shape : shapes)
            if (text(shape.toObject().value("name")) == "Frame")
                frame = shape.toObject();
        for (const QJsonValue& value : shapes) {
            const QJsonObject shape = value.toObject();
            if (shape.value("kind").toInt() == 1 && shape.value("pinX") == frame.value("pinX") &&
                shape.value("pinY") == frame.value("pinY")) {
                const QJsonArray properties = shape.value("properties").toArray();
                return {text(properties.at(0)), text(properties.at(2))};
            }
        }
        ADD_FAILURE() << "the example has no procedure at the pin of its frame";
        return {};
    }
};

TEST_F(DetailPageCommand, TheFramedProcedureGetsAStampedDetailPageThatTheFrameOpens)
{
    numberProcedures();
    const auto [number, name] = framedProcedure();
    const RunResult run = kalemar({"--page", "1", "--select", "Frame", "11"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, drawing.string() + "\n");
    EXPECT_EQ(run.err, "");

    const QJsonArray pages = dumpPages(drawing);
    ASSERT_EQ(pages.size(), 3);
    const QJsonObject detail = pages.at(2).toObject();
    EXPECT_EQ(text(detail.value("name")), StripQuotes(number));
    const QJsonArray stamps = detail.value("shapes").toArray();
    ASSERT_EQ(stamps.size(), 1);
    EXPECT_EQ(text(stamps.at(0).toObject().value("name")), "Stamp");
    const QJsonArray stampRows = stamps.at(0).toObject().value("properties").toArray();
    EXPECT_EQ(text(stampRows.at(0)), "\"?\"");
    EXPECT_EQ(text(stampRows.at(1)), name);

    // The drawing opens on the detail page, and the frame's double-click goes there.
    std::unique_ptr<visio::Application> reopened = testsupport::OpenSession(drawing.string());
    EXPECT_EQ(reopened->ActivePage().Name(), text(detail.value("name")));
    const visio::Shape frame = reopened->ActiveDocument().GetPages().Item(1).ShapeByName("Frame");
    EXPECT_EQ(frame.CellsSRC(visio::visSectionObject, 5, 2).FormulaU(),
              "GOTOPAGE(\"" + text(detail.value("name")) + "\")");

    const std::vector<dbtest::SvgPage> drawn = libvisioPages(drawing);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(dbtest::HasRectangle(drawn[2], kStampOnA4));
    // The stamp shows its two rows through its fields: "?" over the name.
    EXPECT_TRUE(hasTextStartingWith(drawn[2], "Процедура № ?\n" + StripQuotes(name)));
}

TEST_F(DetailPageCommand, ASecondRunAddsAnotherPageUnderItsOwnName)
{
    numberProcedures();
    ASSERT_EQ(kalemar({"--page", "1", "--select", "Frame", "11"}).exitCode, 0);
    const RunResult second = kalemar({"--page", "1", "--select", "Frame", "11"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    const QJsonArray pages = dumpPages(drawing);
    ASSERT_EQ(pages.size(), 4);
    EXPECT_EQ(text(pages.at(3).toObject().value("name")), "Page-4");
    EXPECT_EQ(pages.at(2).toObject().value("shapes").toArray().size(), 1);
    std::unique_ptr<visio::Application> reopened = testsupport::OpenSession(drawing.string());
    const visio::Shape frame = reopened->ActiveDocument().GetPages().Item(1).ShapeByName("Frame");
    EXPECT_EQ(frame.CellsSRC(visio::visSectionObject, 5, 2).FormulaU(), "GOTOPAGE(\"Page-4\")");
}

TEST_F(DetailPageCommand, RunsThatFindNothingOrFailLeaveTheFileAsItWas)
{
    struct Case {
        const char* what;
        bool numbered;
        std::vector<std::string> args;
        int exitCode;
        const char* err; // the whole of standard error, or a part of it
    } cases[] = {
        {"a selected shape that frames no procedure", true, {"--page", "1", "--select", "Object", "11"}, 0,
         kWarningLine.c_str()},
        {"nothing selected", true, {"--page", "1", "11"}, 1, "The selection has no shape 1."},
        {"a framed procedure without a number", false, {"--page", "1", "--select", "Frame", "11"}, 1,
         "A page name cannot be empty."},
    };
    for (const Case& c : cases) {
        folder.CopyIn(kExample, "order.vsdx");
        if (c.numbered)
            numberProcedures();
        const std::string before = testsupport::FileBytes(drawing);
        const RunResult run = kalemar(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.what;
        if (c.exitCode == 0)
            EXPECT_EQ(run.err, c.err) << c.what;
        else
            EXPECT_NE(run.err.find(c.err), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(testsupport::FileBytes(drawing), before) << c.what;
    }
}

} // namespace
