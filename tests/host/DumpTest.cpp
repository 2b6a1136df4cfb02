// kalemar-dump as a user runs it, its JSON read back by Qt's reader.

#include <gtest/gtest.h>

#include <fstream>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
        for (const char* key : {"id", "name", "kind", "text", "properties", "user0", "pinX", "pinY", "shapes"}) {
            EXPECT_TRUE(shape.contains(key)) << key;
        }
        EXPECT_EQ(shape.value("kind").toInt(), 3); // no element of ours on this page
    }
    EXPECT_EQ(shapes.front().value("name").toString(), QStringLiteral("data_prop_test"));
    EXPECT_EQ(shapes.front().value("text").toString(), QStringLiteral("A"));
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
    };
    for (const auto& args : cases) {
        RunResult result = RunProgram(KalemarDumpExecutable(), args);
        EXPECT_EQ(result.exitCode, 1) << (args.empty() ? "" : args.back());
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("kalemar-dump: ", 0), 0u) << result.err;
    }
}

} // namespace
