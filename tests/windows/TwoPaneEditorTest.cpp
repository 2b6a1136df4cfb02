// The two-pane editor, in this process and run end to end with scripted
// steps; saved files are read back by the RTF reader, the kept pane width
// from the settings file.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QMenu>
#include <QSplitter>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

#include "platform/richtext/RtfReader.h"
#include "platform/ui/Script.h"
#include "support/Files.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "windows/Unit_TWoW.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunResult;

const std::string kFixtures = std::string(KALEMAR_SOURCE_DIR) + "/tests/platform/richtext/fixtures/";

TEST(TwoPaneEditor, HasItsControlsWithTheirTexts)
{
    TfrmTWoW window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Двухоконный редактор"));
    EXPECT_EQ(window.size(), QSize(696, 480));
    const std::pair<QObject*, const char*> names[] = {
        {window.RzToolbar1, "RzToolbar1"}, {window.RxSplitter1, "RxSplitter1"}, {window.pnlLEFT, "pnlLEFT"},
        {window.reLEFT, "reLEFT"},         {window.pnlRIGHT, "pnlRIGHT"},       {window.reRIGHT, "reRIGHT"},
    };
    for (const auto& [control, name] : names) {
        EXPECT_EQ(control->objectName(), QString::fromLatin1(name));
    }
    const std::pair<QAction*, QString> items[] = {
        {window.N1, QStringLiteral("Открыть в левый редактор...")},
        {window.N2, QStringLiteral("Открыть в правый редактор...")},
        {window.MenuItem1, QStringLiteral("Сохранить данные левого редатора...")},
        {window.MenuItem2, QStringLiteral("Сохранить данные правого редатора...")},
    };
    for (const auto& [action, text] : items) {
        EXPECT_EQ(action->text(), text) << action->objectName().toStdString();
    }
    EXPECT_EQ(window.RzToolButton1->text(), QStringLiteral("Открыть файл"));
    EXPECT_EQ(window.RzToolButton2->text(), QStringLiteral("Сохранить файл"));
    EXPECT_EQ(window.RzToolButton1->popupMode(), QToolButton::InstantPopup);
    EXPECT_EQ(window.RzToolButton1->menu()->actions(), (QList<QAction*>{window.N1, window.N2}));
    EXPECT_EQ(window.RzToolButton2->menu()->actions(), (QList<QAction*>{window.MenuItem1, window.MenuItem2}));
    EXPECT_EQ(window.RxSplitter1->handleWidth(), 3);
    EXPECT_EQ(window.RxSplitter1->widget(0), window.pnlLEFT);
    EXPECT_EQ(window.RxSplitter1->widget(1), window.pnlRIGHT);
}

class TwoPaneEditorInProcess : public testing::Test {
protected:
    void SetUp() override { ui::Script::Instance().Clear(); }
    void TearDown() override { ui::Script::Instance().Clear(); }

    static void answerFileDialog(const std::string& path)
    {
        ui::Script::Instance().Add({ui::ScriptStep::File, "", path, "--file " + path});
    }

    testsupport::TempDir folder;
};

// The hourglass is up while a file loads and gone afterwards, also after a
// failure; a cancelled dialog never raises it.
TEST_F(TwoPaneEditorInProcess, ShowsTheHourglassOnlyWhileAFileLoads)
{
    TfrmTWoW window;
    testsupport::WriteFileBytes(folder.File("notes.txt"), "Текст заметки");
    std::vector<Qt::CursorShape> cursorsWhileLoading;
    QObject::connect(window.reLEFT->document(), &QTextDocument::contentsChanged, [&] {
        const QCursor* cursor = QApplication::overrideCursor();
        cursorsWhileLoading.push_back(cursor == nullptr ? Qt::ArrowCursor : cursor->shape());
    });

    ui::Script::Instance().Add({ui::ScriptStep::Cancel, "", "", "--cancel"});
    window.N1->trigger();
    EXPECT_TRUE(cursorsWhileLoading.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    answerFileDialog(folder.File("notes.txt").string());
    window.N1->trigger();
    ASSERT_FALSE(cursorsWhileLoading.empty());
    EXPECT_EQ(cursorsWhileLoading.back(), Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window.reLEFT->toPlainText(), QStringLiteral("Текст заметки"));

    answerFileDialog(folder.File("missing.txt").string());
    window.N1->trigger();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window.reLEFT->toPlainText(), QStringLiteral("Текст заметки"));
}

// A run of the built program without a display: a fresh settings folder,
// the working folder of the test.
class TwoPaneEditorRun : public testing::Test {
protected:
    testsupport::TempDir folder;

    testsupport::RunOptions runOptions() const
    {
        testsupport::RunOptions options = testsupport::HeadlessRunOptions(folder.Path().string());
        options.environment["XDG_CONFIG_HOME"] = folder.File("config").string();
        return options;
    }

    RunResult kalemar(std::vector<std::string> steps)
    {
        steps.push_back("3");
        return testsupport::RunProgram(testsupport::KalemarExecutable(), steps, runOptions());
    }

    std::string path(const std::string& name) const { return folder.File(name).string(); }
};

TEST_F(TwoPaneEditorRun, OpensATextLeftAndRichTextRight)
{
    testsupport::WriteFileBytes(folder.File("NOTES.TXT"), "Заметки\r\nвторая строка\r\n");
    fs::copy_file(kFixtures + "libreoffice-formatted-cyrillic.rtf", folder.File("regulation.rtf"));
    const RunResult run = kalemar({"--press", "N1", "--file", path("NOTES.TXT"), "--print", "reRIGHT", "--press", "N2",
                                   "--file", path("regulation.rtf"), "--print", "reLEFT", "--print", "reRIGHT"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // Opening into one pane leaves the other as it was.
    EXPECT_EQ(run.out, "reRIGHT=\n"
                       "reLEFT=Заметки\\nвторая строка\\n\n"
                       "reRIGHT=Регламент приёма заказа\\nОператор проверяет заказ клиента и отмечает его.\\n"
                       "Вторая строка абзаца.\\nКрупный текст and Latin: naïve café — “quoted” № 5\n");
}

TEST_F(TwoPaneEditorRun, SavesEachPaneAsRtfWhateverTheName)
{
    testsupport::WriteFileBytes(folder.File("notes.txt"), "Простой текст");
    fs::copy_file(kFixtures + "libreoffice-formatted-cyrillic.rtf", folder.File("regulation.rtf"));
    testsupport::WriteFileBytes(folder.File("left.TXT"), "what was there before");
    const RunResult run = kalemar({"--press", "N1", "--file", path("notes.txt"), "--press", "N2", "--file",
                                   path("regulation.rtf"), "--press", "MenuItem1", "--file", path("left.TXT"),
                                   "--press", "MenuItem2", "--file", path("right")});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const QByteArray left = QByteArray::fromStdString(testsupport::FileBytes(folder.File("left.TXT")));
    ASSERT_TRUE(richtext::LooksLikeRtf(left)) << left.constData();
    EXPECT_EQ(richtext::ReadRtf(left).PlainText(), QStringLiteral("Простой текст"));

    // No default extension is added; the formatting goes with the text.
    const richtext::RichDocument right = richtext::ReadRtf(QByteArray::fromStdString(testsupport::FileBytes(folder.File("right"))));
    EXPECT_TRUE(right.PlainText().startsWith(QStringLiteral("Регламент приёма заказа\nОператор")));
    ASSERT_FALSE(right.paragraphs.empty());
    EXPECT_TRUE(right.paragraphs[0].runs.at(0).format.bold);
}

TEST_F(TwoPaneEditorRun, CancelledDialogsChangeNothing)
{
    const RunResult run = kalemar({"--set", "reLEFT=оставить", "--press", "N1", "--cancel", "--press", "N2", "--cancel",
                                   "--press", "MenuItem1", "--cancel", "--press", "MenuItem2", "--cancel", "--print",
                                   "reLEFT", "--print", "reRIGHT"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "reLEFT=оставить\nreRIGHT=\n");
    EXPECT_EQ(run.err, "");
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
        EXPECT_EQ(entry.path().filename(), "config") << "nothing but the settings is written";
    }
}

TEST_F(TwoPaneEditorRun, FilesThatCannotBeOpenedOrCreatedAreReported)
{
    const std::string missing = path("нет такого.txt");
    const std::string nowhere = path("no-folder/out.rtf");
    const RunResult run = kalemar({"--set", "reLEFT=текст", "--press", "N1", "--file", missing, "--press",
                                   "MenuItem1", "--file", nowhere, "--print", "reLEFT"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "kalemar: Cannot open file " + missing + "\nkalemar: Cannot create file " + nowhere + "\n");
    EXPECT_EQ(run.out, "reLEFT=текст\n");
}

// Files may not grow past a few KiB in this run, so the save fails half-way
// through writing, as on a full disk.
TEST_F(TwoPaneEditorRun, ASaveThatFailsHalfWayKeepsTheOldFile)
{
    testsupport::WriteFileBytes(folder.File("kept.rtf"), "the old content");
    const std::string longText(40000, 'x');
    const RunResult run = testsupport::RunProgram(
        "/bin/sh", {"-c", "ulimit -f 8; trap '' XFSZ; exec \"$0\" \"$@\"", testsupport::KalemarExecutable(), "--set",
                    "reLEFT=" + longText, "--press", "MenuItem1", "--file", path("kept.rtf"), "3"},
        runOptions());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "kalemar: Failed to Save Stream\n");
    EXPECT_EQ(testsupport::FileBytes(folder.File("kept.rtf")), "the old content");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"config", "kept.rtf"}));
}

TEST_F(TwoPaneEditorRun, TheLeftPaneKeepsItsWidthForTheNextRun)
{
    const RunResult first = kalemar({"--print", "RxSplitter1", "--set", "RxSplitter1=400"});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "RxSplitter1=281\n");

    const std::string settings = testsupport::FileBytes(folder.File("config/Zef/Forms.conf"));
    EXPECT_NE(settings.find("[TfrmMAIN]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("pnlLEFT.Width=400"), std::string::npos) << settings;

    const RunResult second = kalemar({"--print", "RxSplitter1"});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "RxSplitter1=400\n");
}

} // namespace
