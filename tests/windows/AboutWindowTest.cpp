#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "windows/Unit_Splash.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunResult;

TEST(AboutWindow, IsLaidOutAsDesigned)
{
    TfrmSplash window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("О библиотеке \"КАЛЕМАР\""));
    EXPECT_EQ(window.size(), QSize(608, 310));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.RzBackground1->geometry(), QRect(0, 0, 608, 310));

    struct Case {
        QLabel* label;
        const char* name;
        QPoint at;
        QSize designed;
        const char* family; // the metric-compatible font Debian ships
        int pixels;
        bool boldItalic;
        QColor colour;
    };
    const QColor orange(255, 102, 0);
    const QColor maroon(128, 0, 0);
    const QColor text = window.RzLabel1->palette().color(QPalette::WindowText);
    const Case cases[] = {
        {window.RzLabel2, "RzLabel2", {104, 40}, {357, 97}, "Liberation Mono", 85, true, orange},
        {window.RzLabel3, "RzLabel3", {464, 32}, {42, 28}, "Liberation Mono", 24, true, orange},
        {window.RzLabel4, "RzLabel4", {72, 120}, {464, 31}, "Liberation Mono", 27, true, maroon},
        {window.lbVERSION, "lbVERSION", {456, 160}, {111, 20}, "Liberation Sans", 16, false, text},
        {window.RzLabel1, "RzLabel1", {16, 208}, {106, 60}, "Liberation Sans", 16, false, text},
        {window.RzURLLabel1, "RzURLLabel1", {16, 272}, {138, 20}, "Liberation Sans", 16, false,
         window.palette().color(QPalette::Highlight)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.label->objectName(), QString::fromLatin1(c.name));
        EXPECT_EQ(c.label->pos(), c.at) << c.name;
        // A label is at least its designed size and grows with its text.
        EXPECT_GE(c.label->width(), c.designed.width()) << c.name;
        EXPECT_GE(c.label->width(), c.label->sizeHint().width()) << c.name;
        EXPECT_LE(c.label->geometry().right(), 607) << c.name;
        EXPECT_EQ(QFontInfo(c.label->font()).family(), QString::fromLatin1(c.family)) << c.name;
        EXPECT_EQ(c.label->font().pixelSize(), c.pixels) << c.name;
        EXPECT_EQ(c.label->font().bold() && c.label->font().italic(), c.boldItalic) << c.name;
        EXPECT_EQ(c.label->palette().color(QPalette::WindowText), c.colour) << c.name;
    }
    EXPECT_EQ(window.RzLabel2->text(), QStringLiteral("КАЛЕМАР"));
    EXPECT_EQ(window.RzLabel3->text(), QStringLiteral("(c)"));
    EXPECT_TRUE(window.RzURLLabel1->font().underline());
    EXPECT_EQ(window.RzLabel1->text().count(QLatin1Char('\n')), 2);
    EXPECT_EQ(window.RzButton1->text(), QStringLiteral("Закрыть..."));
    EXPECT_EQ(window.RzButton1->geometry().topLeft(), QPoint(504, 280));
    EXPECT_EQ(window.RzButton1->width(), 91);
}

TEST(AboutWindow, TheBackgroundRunsFromWhiteToYellow)
{
    TfrmSplash window;
    const QImage image = window.RzBackground1->grab().toImage();
    // A corner no label covers, at the top and at the bottom.
    EXPECT_EQ(image.pixelColor(2, 0), QColor(Qt::white));
    const QColor bottom = image.pixelColor(2, image.height() - 1);
    EXPECT_EQ(bottom.red(), 255);
    EXPECT_EQ(bottom.green(), 255);
    EXPECT_LE(bottom.blue(), 2);
}

class AboutCommand : public testing::Test {
protected:
    testsupport::TempDir folder;

    RunResult run(const std::string& program, const std::vector<std::string>& args)
    {
        testsupport::RunOptions options = testsupport::HeadlessRunOptions(folder.Path().string());
        options.environment["XDG_CONFIG_HOME"] = folder.File("config").string();
        options.environment["KALEMAR_STENCIL_PATH"] = KALEMAR_STENCIL_DIR;
        return testsupport::RunProgram(program, args, options);
    }

    // A copy of the program with its version record taken out by binutils.
    std::string withoutRecord()
    {
        fs::create_directories(folder.File("bare"));
        const std::string copy = folder.File("bare/kalemar").string();
        const RunResult strip =
            testsupport::RunProgram("/usr/bin/objcopy", {"--remove-section=.kalemar_version", testsupport::KalemarExecutable(), copy});
        EXPECT_EQ(strip.exitCode, 0) << strip.err;
        return copy;
    }
};

TEST_F(AboutCommand, ShowsTheProgramsVersionOrNothing)
{
    const std::string version = KALEMAR_PROJECT_VERSION;
    struct Case {
        std::string program;
        std::string caption;
    };
    const Case cases[] = {
        {testsupport::KalemarExecutable(), "Версия " + version},
        {withoutRecord(), "Версия "},
    };
    for (const Case& c : cases) {
        const RunResult about = run(c.program, {"--print", "lbVERSION", "--press", "RzButton1", "8"});
        EXPECT_EQ(about.exitCode, 0) << about.err;
        EXPECT_EQ(about.out, "lbVERSION=" + c.caption + "\n") << c.program;
        EXPECT_EQ(about.err, "");
    }
}

TEST_F(AboutCommand, VersionOptionPrintsTheSameVersion)
{
    const RunResult withRecord = run(testsupport::KalemarExecutable(), {"--version"});
    EXPECT_EQ(withRecord.exitCode, 0) << withRecord.err;
    EXPECT_EQ(withRecord.out, std::string("kalemar ") + KALEMAR_PROJECT_VERSION + "\n");

    const RunResult anywhere = run(testsupport::KalemarExecutable(), {"--drawing", "x.vsdx", "--version", "8"});
    EXPECT_EQ(anywhere.out, withRecord.out);

    const RunResult bare = run(withoutRecord(), {"--version"});
    EXPECT_EQ(bare.exitCode, 0) << bare.err;
    EXPECT_EQ(bare.out, "kalemar\n");
}

} // namespace
