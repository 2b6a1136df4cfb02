// kalemar-dump as a user runs it, its JSON read back by Qt's reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/visio/Visio.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

using testsupport::KalemarDumpExecutable;
using testsupport::RunProgram;
using testsupport::RunResult;
using testsupport::SamplePath;

QJsonObject parsed(const RunResult& result)
{
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

// Every shape, at any depth, in document order.
void collectShapes(const QJsonArray& shapes, std::vector<QJsonObject>& all)
{
    for (const QJsonValue& value : shapes) {
        all.push_back(value.toObject());
        collectShapes(value.toObject().value("shapes").toArray(), all);
    }
}

TEST(KalemarDump, PrintsEveryPageOfRealDrawings)
{
    struct Case {
        const char* file;
        int pages;
        bool hasConnects;
        bool hasSubShapes;
    };
    const Case cases[] = {
        {"pyvsdx_test6_shape_properties.vsdx", 3, false, true},
        {"pyvsdx_test4_connectors.vsdx", 3, true, true},
        {"pyvsdx_test10_nested_shapes.vsdx", 1, false, true},
        {"drawio_utf8.vsdx", 1, true, false},
    };
    for (const Case& c : cases) {
        const std::string path = SamplePath(c.file);
        RunResult result = RunProgram(KalemarDumpExecutable(), {path});
        ASSERT_EQ(result.exitCode, 0) << c.file << result.err;
        EXPECT_EQ(result.err, "");
        QJsonObject root = parsed(result);
        EXPECT_EQ(root.value("file").toString().toStdString(), path);
        QJsonArray pages = root.value("pages").toArray();
        EXPECT_EQ(pages.size(), c.pages) << c.file;
        bool connects = false;
        bool subShapes = false;
        for (const QJsonValue& page : pages) {
            connects = connects || !page.toObject().value("connects").toArray().isEmpty();
            for (const QJsonValue& shape : page.toObject().value("shapes").toArray()) {
                subShapes = subShapes || !shape.toObject().value("shapes").toArray().isEmpty();
            }
        }
        EXPECT_EQ(connects, c.hasConnects) << c.file;
        EXPECT_EQ(subShapes, c.hasSubShapes) << c.file;
    }
}

TEST(KalemarDump, OnePageWithTheElementDataOfItsShapes)
{
    RunResult result = RunProgram(KalemarDumpExecutable(),
                                  {"--page", "master_test", SamplePath("pyvsdx_test6_shape_properties.vsdx")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    QJsonArray pages = parsed(result).value("pages").toArray();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages.at(0).toObject().value("name").toString(), QStringLiteral("master_test"));
    std::vector<QJsonObject> shapes;
    collectShapes(pages.at(0).toObject().value("shapes").toArray(), shapes);
    ASSERT_FALSE(shapes.empty());
    for (const QJsonObject& shape : shapes) {
        for (const char* key : {"id", "name", "kind", "text", "shownText", "properties", "user0", "pinX", "pinY", "shapes"}) {
            EXPECT_TRUE(shape.contains(key)) << key;
        }
        EXPECT_EQ(shape.value("kind").toInt(), 3); // no element of ours on this page
    }
    EXPECT_EQ(shapes.front().value("name").toString(), QStringLiteral("data_prop_test"));
    EXPECT_EQ(shapes.front().value("text").toString(), QStringLiteral("A"));
    EXPECT_EQ(shapes.front().value("shownText").toString(), QStringLiteral("A"));
}

// The example's shapes show their rows through text fields: their own text
// holds no characters of its own, what they show is the fields' values.
TEST(KalemarDump, ShownTextHoldsTheValuesOfTheTextFields)
{
    const std::string example = std::string(KALEMAR_SOURCE_DIR) + "/examples/order-process.vsdx";
    RunResult result = RunProgram(KalemarDumpExecutable(), {"--page", "1", example});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::map<QString, QString> shown;
    for (const QJsonValue& value : parsed(result).value("pages").toArray().at(0).toObject().value("shapes").toArray())
        shown[value.toObject().value("name").toString()] = value.toObject().value("shownText").toString();
    bool sawProcedure = false;
    for (const auto& [name, text] : shown) {
        if (name.startsWith(QStringLiteral("Process"))) {
            sawProcedure = true;
            EXPECT_TRUE(text.contains(QChar('\n'))) << name.toStdString() << ": name over performer";
        }
    }
    EXPECT_TRUE(sawProcedure);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const auto& entry) {
        return entry.second == QStringLiteral("Принять заказ\nМенеджер по продажам");
    }));
}

TEST(KalemarDump, PageByIndexAndHelp)
{
    RunResult byIndex = RunProgram(KalemarDumpExecutable(), {"--page", "2", SamplePath("pyvsdx_test6_shape_properties.vsdx")});
    ASSERT_EQ(byIndex.exitCode, 0) << byIndex.err;
    EXPECT_EQ(parsed(byIndex).value("pages").toArray().at(0).toObject().value("name").toString(), QStringLiteral("Page-2"));

    RunResult help = RunProgram(KalemarDumpExecutable(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: kalemar-dump [--page NAME|INDEX] FILE.vsdx\n", 0), 0u);
}

TEST(KalemarDump, ErrorsGoToStandardErrorWithExitCodeOne)
{
    testsupport::TempDir folder;
    const std::string notADrawing = folder.File("notes.vsdx").string();
    {
        std::ofstream(notADrawing) << "not a zip";
    }
    const std::vector<std::vector<std::string>> cases{
        {folder.File("missing.vsdx").string()},
        {notADrawing},
        {},
        {"--page"},
        {"--bogus", "x.vsdx"},
        {"--page", "nosuch", SamplePath("pyvsdx_test6_shape_properties.vsdx")},
        {"--page", "9", SamplePath("pyvsdx_test6_shape_properties.vsdx")},
        {SamplePath("pyvsdx_test6_shape_properties.vsdx"), SamplePath("ibm_Boxes.vssx")},
    };
    for (const auto& args : cases) {
        RunResult result = RunProgram(KalemarDumpExecutable(), args);
        EXPECT_EQ(result.exitCode, 1) << (args.empty() ? "" : args.back());
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("kalemar-dump: ", 0), 0u) << result.err;
    }
}

struct RowCounts {
    int masters = 0;
    int shapes = 0;
    int propertyRows = 0;
    int userRows = 0;
};

void countRows(const QJsonArray& shapes, RowCounts& counts)
{
    for (const QJsonValue& value : shapes) {
        const QJsonObject shape = value.toObject();
        ++counts.shapes;
        counts.propertyRows += static_cast<int>(shape.value("propertyRows").toArray().size());
        counts.userRows += static_cast<int>(shape.value("userRows").toArray().size());
        EXPECT_EQ(shape.value("propertyRows").toArray().size(), shape.value("properties").toArray().size());
        countRows(shape.value("shapes").toArray(), counts);
    }
}

TEST(KalemarDump, PrintsTheMastersOfBundledAndOtherStencils)
{
    struct Case {
        std::string path;
        std::vector<std::string> firstMasters; // by universal name, in order
        RowCounts expected;                   // shapes counted at any depth
    };
    const std::string bundled = KALEMAR_STENCIL_DIR;
    // The samples' row counts are those the files hold (their PROVENANCE.md).
    const Case cases[] = {
        {bundled + "/kalemar.vssx", {"Document", "Object", "Process", "Stamp", "Frame"}, {5, 5, 0, 0}},
        {bundled + "/entity_m.vssx", {"Entity"}, {1, 3, 0, 0}},
        {SamplePath("ibm_Connectors.vssx"), {"LINE", "DIRECTIONAL LINE"}, {9, 0, 0, 9}},
        {SamplePath("ibm_Boxes.vssx"), {"IBM CLOUD", "VPC"}, {20, 0, 3, 848}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RunResult result = RunProgram(KalemarDumpExecutable(), {c.path});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        QJsonObject root = parsed(result);
        EXPECT_EQ(root.value("file").toString().toStdString(), c.path);
        EXPECT_FALSE(root.contains("pages"));
        const QJsonArray masters = root.value("masters").toArray();
        RowCounts counts;
        counts.masters = static_cast<int>(masters.size());
        for (std::size_t i = 0; i < c.firstMasters.size() && i < static_cast<std::size_t>(masters.size()); ++i)
            EXPECT_EQ(masters.at(static_cast<int>(i)).toObject().value("nameU").toString().toStdString(),
                      c.firstMasters[i]);
        for (const QJsonValue& master : masters) {
            EXPECT_FALSE(master.toObject().value("shapes").toArray().isEmpty());
            countRows(master.toObject().value("shapes").toArray(), counts);
        }
        EXPECT_EQ(counts.masters, c.expected.masters);
        if (c.expected.shapes != 0) {
            EXPECT_EQ(counts.shapes, c.expected.shapes);
        }
        if (c.path.rfind(bundled, 0) != 0) {
            EXPECT_EQ(counts.propertyRows, c.expected.propertyRows);
            EXPECT_EQ(counts.userRows, c.expected.userRows);
        }
    }
}

// The element data of the bundled masters, as the editors rely on them.
TEST(KalemarDump, BundledMastersShowTheirRowsByName)
{
    RunResult result = RunProgram(KalemarDumpExecutable(), {std::string(KALEMAR_STENCIL_DIR) + "/kalemar.vssx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::map<std::string, QJsonObject> topShapes;
    for (const QJsonValue& master : parsed(result).value("masters").toArray())
        topShapes[master.toObject().value("nameU").toString().toStdString()] =
            master.toObject().value("shapes").toArray().at(0).toObject();
    const QJsonObject object = topShapes["Object"];
    const QJsonArray properties = object.value("propertyRows").toArray();
    ASSERT_GE(properties.size(), 7);
    EXPECT_EQ(properties.at(0).toObject().value("name").toString(), QStringLiteral("Prop.Row_1"));
    EXPECT_TRUE(properties.at(0).toObject().contains("label"));
    EXPECT_EQ(properties.at(0).toObject().value("value").toString(),
              object.value("properties").toArray().at(0).toString());
    const QJsonArray user = object.value("userRows").toArray();
    ASSERT_GE(user.size(), 1);
    EXPECT_TRUE(user.at(0).toObject().value("name").toString().startsWith("User."));
    EXPECT_TRUE(user.at(0).toObject().contains("prompt"));
    EXPECT_EQ(user.at(0).toObject().value("value").toString(), object.value("user0").toString());
    EXPECT_TRUE(topShapes["Process"].value("userRows").toArray().isEmpty());
}

// A stencil of the user's own is printed, also when it bears the name of a
// bundled stencil; a stencil has no pages to ask for.
TEST(KalemarDump, OwnStencilUnderABundledNameAndNoPagesOfAStencil)
{
    testsupport::TempDir folder;
    const std::string own = folder.CopyIn(SamplePath("ibm_Connectors.vssx"), "kalemar.vssx").string();
    RunResult result = RunProgram(KalemarDumpExecutable(), {own});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QJsonArray masters = parsed(result).value("masters").toArray();
    ASSERT_EQ(masters.size(), 9);
    EXPECT_EQ(masters.at(0).toObject().value("nameU").toString(), QStringLiteral("LINE"));

    RunResult page = RunProgram(KalemarDumpExecutable(), {"--page", "1", own});
    EXPECT_EQ(page.exitCode, 1);
    EXPECT_EQ(page.out, "");
    EXPECT_NE(page.err.find("is a stencil"), std::string::npos) << page.err;
}

// Texts are printed as valid JSON whatever they hold: quotes, backslashes,
// control characters, and bytes that are no UTF-8 (as U+FFFD).
TEST(KalemarDump, AnyTextComesOutAsValidJson)
{
    testsupport::TempDir folder;
    const std::string text = std::string("ООО \"Ромашка\" \\ tab\t\x01 bad \xff byte");
    {
        visio::SessionOptions options;
        options.newDrawingFolder = folder.Path().string();
        visio::Application app(options);
        const visio::Master object = app.GetDocuments().Item("kalemar.vss").GetMasters().ItemU("Object");
        app.ActiveDocument().GetPages().Item(1).Drop(object, 1, 1).SetText(text);
        ASSERT_EQ(app.SaveChangedDocuments().size(), 1u);
    }
    RunResult result = RunProgram(KalemarDumpExecutable(), {folder.File("Drawing1.vsdx").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QJsonObject shape =
        parsed(result).value("pages").toArray().at(0).toObject().value("shapes").toArray().at(0).toObject();
    EXPECT_EQ(shape.value("text").toString(),
              QString::fromUtf8("ООО \"Ромашка\" \\ tab\t\x01 bad \uFFFD byte"));
}

} // namespace
