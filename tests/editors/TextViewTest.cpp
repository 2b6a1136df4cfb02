// The text viewer in this process, and command 9 run end to end on a copy of
// the example drawing, with what it dropped read back by kalemar-dump.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

#include <filesystem>
#include <regex>
#include <set>

#include "editors/Unit_TextView.h"
#include "model/Utils.h"
#include "support/Files.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunResult;

const std::string kExample = std::string(KALEMAR_SOURCE_DIR) + "/examples/order-process.vsdx";
const std::string kFixtures = std::string(KALEMAR_SOURCE_DIR) + "/tests/platform/richtext/fixtures/";

TEST(TextView, HasItsButtonsAndKeepsTheSelectionVisible)
{
    TfrmTextView window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Просмотр текстов"));
    EXPECT_EQ(window.size(), QSize(670, 500));
    const std::pair<QPushButton*, QString> buttons[] = {
        {window.btnOPEN, QStringLiteral("Открыть  файл...")},
        {window.btnOBJECT, QStringLiteral("Добавить объект")},
        {window.btnAddProcedure, QStringLiteral("Добавить процедуру")},
        {window.RzBitBtn4, QStringLiteral("Закрыть")},
    };
    for (const auto& [button, text] : buttons) {
        EXPECT_EQ(button->text(), text) << button->objectName().toStdString();
    }
    EXPECT_EQ(window.reTEXT->objectName(), QStringLiteral("reTEXT"));
    // Without the focus the selection is drawn as with it.
    const QPalette palette = window.reTEXT->palette();
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::HighlightedText),
              palette.color(QPalette::Active, QPalette::HighlightedText));
}

TEST(TextView, TheSelectionIsPlainTextWithItsLineBreaks)
{
    TfrmTextView window;
    window.reTEXT->setHtml(QStringLiteral("<p><b>Первый</b> абзац</p><p>второй<br>строка&nbsp;три</p>"));
    EXPECT_EQ(window.SelectedText(), "");
    QTextCursor cursor = window.reTEXT->textCursor();
    cursor.setPosition(7);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    window.reTEXT->setTextCursor(cursor);
    EXPECT_EQ(window.SelectedText(), "абзац\nвторой\nстрока\u00A0три");
}

// The example drawing, with every shape as kalemar-dump shows it, keyed by
// page name and shape ID.
using ShapesByKey = std::map<std::string, QJsonObject>;

class TextViewRun : public testing::Test {
protected:
    testsupport::TempDir folder;
    fs::path drawing = folder.CopyIn(kExample, "order.vsdx");
    std::string stencilPath = KALEMAR_STENCIL_DIR;
    bool blankDrawing = false; // the session's new drawing instead of the example

    RunResult kalemar(std::vector<std::string> steps)
    {
        if (!blankDrawing) {
            steps.insert(steps.begin(), {"--drawing", drawing.string()});
        }
        steps.push_back("9");
        testsupport::RunOptions options = testsupport::HeadlessRunOptions(folder.Path().string());
        options.environment["KALEMAR_STENCIL_PATH"] = stencilPath;
        return testsupport::RunProgram(testsupport::KalemarExecutable(), steps, options);
    }

    ShapesByKey shapes()
    {
        const RunResult dump = testsupport::RunProgram(testsupport::KalemarDumpExecutable(), {drawing.string()});
        EXPECT_EQ(dump.exitCode, 0) << dump.err;
        ShapesByKey byKey;
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
        for (const QJsonValue& page : root.value("pages").toArray()) {
            for (const QJsonValue& shape : page.toObject().value("shapes").toArray()) {
                const std::string key = page.toObject().value("name").toString().toStdString() + "/" +
                                        std::to_string(shape.toObject().value("id").toInt());
                byKey[key] = shape.toObject();
            }
        }
        return byKey;
    }

    // The shapes the run added, in ID order: name, kind, pin and rows 1 and 2.
    std::vector<std::string> addedShapes(const ShapesByKey& before)
    {
        std::vector<std::pair<int, std::string>> added;
        for (const auto& [key, shape] : shapes()) {
            if (before.count(key) != 0) {
                continue;
            }
            const QJsonArray rows = shape.value("properties").toArray();
            std::string line = shape.value("name").toString().toStdString() + " kind " +
                               std::to_string(shape.value("kind").toInt()) + " at " +
                               shape.value("pinX").toString().toStdString() + ", " +
                               shape.value("pinY").toString().toStdString() + " row 1 " +
                               rows.at(1).toString().toStdString();
            if (rows.size() > 2 && shape.value("kind").toInt() == 1) {
                line += " row 2 " + rows.at(2).toString().toStdString();
            }
            added.emplace_back(shape.value("id").toInt(), line);
        }
        std::sort(added.begin(), added.end());
        std::vector<std::string> lines;
        for (const auto& [id, line] : added) {
            lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(TextViewRun, DropsObjectsAndProceduresNamedAfterTheMarkedPhrase)
{
    testsupport::WriteFileBytes(folder.File("regulation.txt"), "Менеджер принимает заказ клиента.\r\n"
                                             "Счёт на оплату выписывает бухгалтер\r\n"
                                             "по договору с ООО \"Ромашка\".\r\n");
    const ShapesByKey before = shapes();
    const RunResult run = kalemar({"--press", "btnOPEN", "--file", folder.File("regulation.txt").string(),
                                   "--mark", "reTEXT=Счёт на оплату", "--press", "btnOBJECT",
                                   "--mark", "reTEXT=принимает заказ клиента.\nСчёт", "--press", "btnAddProcedure",
                                   "--mark", "reTEXT=ООО \"Ромашка\"", "--press", "btnOBJECT",
                                   "--mark", "reTEXT=", "--press", "btnOBJECT", "--press", "btnAddProcedure",
                                   "--press", "RzBitBtn4"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, drawing.string() + "\n");

    // Every shape lies at 5 in, 5 in, one on the other; the example drawing
    // is metric.
    const std::vector<std::string> expected = {
        "Document kind 0 at 127 mm, 127 mm row 1 \"Счёт на оплату\"",
        "Process kind 1 at 127 mm, 127 mm row 1 \"\" row 2 \"принимает заказ клиента.\nСчёт\"",
        "Document kind 0 at 127 mm, 127 mm row 1 \"ООО \"\"Ромашка\"\"\"",
        "Document kind 0 at 127 mm, 127 mm row 1 \"\"",
        "Process kind 1 at 127 mm, 127 mm row 1 \"\" row 2 \"\"",
    };
    std::vector<std::string> added = addedShapes(before);
    // The engine names a shape "Name.ID" when the name is taken on the page.
    for (std::string& line : added) {
        line = std::regex_replace(line, std::regex(R"(^(Document|Process)\.\d+ )"), "$1 ");
    }
    EXPECT_EQ(added, expected);
    // A name with quotes is kept as it was marked.
    EXPECT_EQ(StripQuotes("\"ООО \"\"Ромашка\"\"\""), "ООО \"Ромашка\"");
}

TEST_F(TextViewRun, OpensRichTextAndReportsAFileThatCannotBeOpened)
{
    fs::copy_file(kFixtures + "libreoffice-formatted-cyrillic.rtf", folder.File("regulation.rtf"));
    const ShapesByKey before = shapes();
    const std::string missing = folder.File("нет.rtf").string();
    const RunResult run = kalemar({"--press", "btnOPEN", "--file", folder.File("regulation.rtf").string(), "--press",
                                   "btnOPEN", "--file", missing, "--mark", "reTEXT=проверяет", "--press",
                                   "btnOBJECT", "--press", "RzBitBtn4"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "kalemar: Cannot open file " + missing + "\n");
    ASSERT_EQ(addedShapes(before).size(), 1u);
    EXPECT_NE(addedShapes(before).front().find("row 1 \"проверяет\""), std::string::npos);
}

// A stencil whose "Process" has property rows 0 and 1 only: the name cannot
// be written once the shape is dropped.
void packStencilWithoutProcessName(const fs::path& folder)
{
    const fs::path source = folder / "kalemar";
    fs::copy(std::string(KALEMAR_SOURCE_DIR) + "/stencils/kalemar", source, fs::copy_options::recursive);
    const fs::path process = source / "visio/masters/master3.xml";
    std::string xml = testsupport::FileBytes(process);
    ASSERT_NE(xml.find("Наименование процедуры"), std::string::npos) << "master3 is no longer Process";
    const std::size_t from = xml.find("<Row N='Row_3'>");
    const std::size_t to = xml.find("</Section>", from);
    ASSERT_NE(to, std::string::npos);
    testsupport::WriteFileBytes(process, xml.erase(from, to - from));

    std::vector<std::string> args{"-E", "tar", "cf", (folder / "stencils/kalemar.vssx").string(), "--format=zip", "--"};
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        if (entry.is_regular_file()) {
            args.push_back(fs::relative(entry.path(), source).string());
        }
    }
    fs::create_directories(folder / "stencils");
    testsupport::RunOptions options;
    options.workingDirectory = source.string();
    const RunResult pack = testsupport::RunProgram(KALEMAR_CMAKE_COMMAND, args, options);
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
}

// A drawing that already holds a "Process" master drops that one, so the run
// starts from the session's new drawing, which takes the stencil's.
TEST_F(TextViewRun, AFailedWriteIsShownAndTheDroppedShapeStays)
{
    packStencilWithoutProcessName(folder.Path());
    stencilPath = folder.File("stencils").string() + ":" + KALEMAR_STENCIL_DIR;
    blankDrawing = true;
    const RunResult run = kalemar({"--set", "reTEXT=Проверить заказ", "--mark", "reTEXT=Проверить", "--press",
                                   "btnAddProcedure", "--press", "btnOBJECT", "--press", "RzBitBtn4"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // The error is shown in a box and the window takes the next click.
    EXPECT_EQ(run.err.rfind("kalemar: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("row 2"), std::string::npos) << run.err;
    drawing = folder.File("Drawing1.vsdx");
    EXPECT_EQ(run.out, drawing.string() + "\n");
    const std::vector<std::string> added = addedShapes({});
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0], "Process kind 1 at 127 mm, 127 mm row 1 \"\"");
    EXPECT_EQ(added[1], "Document kind 0 at 127 mm, 127 mm row 1 \"Проверить\"");
}

} // namespace
