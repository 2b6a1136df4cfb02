// What the writer writes, read back by our reader, by QTextDocument and by
// LibreOffice; what LibreOffice Writer wrote, read by our reader.

#include <gtest/gtest.h>

#include <QFile>
#include <QTextDocument>

#include <filesystem>

#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "platform/richtext/TextDocument.h"
#include "support/Files.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace richtext {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(KALEMAR_SOURCE_DIR) + "/tests/platform/richtext/fixtures/";

TextFormat formatOf(bool bold, bool italic, bool underline, int halfPoints = 0, std::optional<Rgb> colour = {},
                    const char* family = "")
{
    TextFormat format;
    format.bold = bold;
    format.italic = italic;
    format.underline = underline;
    format.halfPoints = halfPoints;
    format.colour = colour;
    format.fontFamily = QString::fromUtf8(family);
    return format;
}

// Cyrillic and Latin text in every format the panes keep, with the
// characters a writer must escape.
RichDocument formattedDocument()
{
    RichDocument document;
    document.paragraphs = {
        Paragraph{{TextRun{QStringLiteral("Регламент "), formatOf(true, false, false, 28, {}, "Liberation Serif")},
                   TextRun{QStringLiteral("приёма"), formatOf(true, true, false, 28, Rgb{200, 0, 0}, "Liberation Serif")},
                   TextRun{QStringLiteral(" заказа"), formatOf(false, false, true, 20, {}, "Liberation Mono")}},
                  Alignment::Center},
        Paragraph{{TextRun{QStringLiteral("Order \\ {5} — naïve café €\tЁж"), formatOf(false, true, false, 24)},
                   TextRun{QStringLiteral("\u2028second line 😀"), formatOf(false, false, false, 0, Rgb{0, 128, 0})}},
                  Alignment::Right},
        Paragraph{{}, Alignment::Left},
        Paragraph{{TextRun{QStringLiteral("Итог"), formatOf(true, true, true, 48, Rgb{0, 0, 255}, "DejaVu Sans")}},
                  Alignment::Justify},
        Paragraph{{}, Alignment::Left},
    };
    return document;
}

TEST(RtfRoundTrip, WhatIsWrittenReadsBackUnchanged)
{
    const RichDocument document = formattedDocument();
    EXPECT_EQ(ReadRtf(WriteRtf(document)), document);

    const RichDocument empty;
    EXPECT_EQ(ReadRtf(WriteRtf(empty)), empty);
}

TEST(RtfRoundTrip, NonAsciiIsWrittenAsUnicodeWithA1251Fallback)
{
    RichDocument document;
    document.paragraphs[0].runs.push_back(TextRun{QStringLiteral("Пé€😀{"), TextFormat()});
    const QByteArray rtf = WriteRtf(document);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251")) << rtf.constData();
    // The run has no font of its own: the default font has no name either.
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset204 ;}}")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\colortbl ;}")) << rtf.constData();
    // П is 0xCF in 1251, € 0x88; é and the emoji are not in it.
    EXPECT_TRUE(rtf.contains("{\\u1055\\'cf\\u233?\\u8364\\'88\\u-10179?\\u-8704?\\{}\\par")) << rtf.constData();
}

TEST(RtfRoundTrip, APaneKeepsItsTextAndFormatsThroughRtf)
{
    QTextDocument pane;
    pane.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    ToTextDocument(formattedDocument(), pane);
    EXPECT_EQ(pane.toPlainText(), formattedDocument().PlainText());
    EXPECT_EQ(pane.blockCount(), 5);

    QTextDocument reloaded;
    reloaded.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 14));
    ToTextDocument(ReadRtf(WriteRtf(FromTextDocument(pane))), reloaded);

    // Sizes and families the pane left to its font come back as that font.
    RichDocument expected = formattedDocument();
    for (Paragraph& paragraph : expected.paragraphs) {
        for (TextRun& run : paragraph.runs) {
            run.format.halfPoints = run.format.halfPoints > 0 ? run.format.halfPoints : 20;
            run.format.fontFamily = run.format.fontFamily.isEmpty() ? QStringLiteral("DejaVu Sans") : run.format.fontFamily;
        }
    }
    EXPECT_EQ(FromTextDocument(reloaded), expected);
}

QByteArray fixture(const std::string& name)
{
    return QByteArray::fromStdString(testsupport::FileBytes(kFixtures + name));
}

TEST(RtfRoundTrip, ReadsWhatLibreOfficeWriterWrote)
{
    // Made once from the .html beside it: soffice --headless --convert-to rtf.
    const RichDocument document = ReadRtf(fixture("libreoffice-formatted-cyrillic.rtf"));
    EXPECT_EQ(document.PlainText(), QStringLiteral("Регламент приёма заказа\n"
                                                   "Оператор проверяет заказ клиента и отмечает его.\n"
                                                   "Вторая строка абзаца.\n"
                                                   "Крупный текст and Latin: naïve café — “quoted” № 5"));
    ASSERT_EQ(document.paragraphs.size(), 3u);
    auto runWith = [&](std::size_t paragraph, const QString& text) {
        for (const TextRun& run : document.paragraphs[paragraph].runs) {
            if (run.text == text) {
                return run.format;
            }
        }
        ADD_FAILURE() << "no run " << text.toStdString();
        return TextFormat();
    };
    EXPECT_TRUE(runWith(0, QStringLiteral("Регламент приёма заказа")).bold);
    EXPECT_TRUE(runWith(1, QStringLiteral("проверяет")).italic);
    EXPECT_TRUE(runWith(1, QStringLiteral("заказ")).underline);
    EXPECT_EQ(runWith(1, QStringLiteral("отмечает")).colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(runWith(2, QStringLiteral("Крупный текст")).halfPoints, 32);
}

// LibreOffice's text export: UTF-8 with a byte order mark, each paragraph
// and each line break ended by a line feed.
std::string libreOfficeText(const fs::path& rtf, const testsupport::TempDir& folder)
{
    const std::string profile = "-env:UserInstallation=file://" + (folder.Path() / "profile").string();
    testsupport::RunOptions options;
    options.workingDirectory = folder.Path().string();
    options.timeoutSeconds = 300;
    const testsupport::RunResult run =
        testsupport::RunProgram("/usr/bin/soffice", {profile, "--headless", "--convert-to", "txt:Text (encoded):UTF8",
                                                     "--outdir", folder.Path().string(), rtf.string()},
                                options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string text = testsupport::FileBytes(fs::path(rtf).replace_extension(".txt"));
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    return text;
}

TEST(RtfRoundTrip, LibreOfficeReadsTheSameTextFromWhatWeWrite)
{
    testsupport::TempDir folder;
    const fs::path rtf = folder.File("ours.rtf");
    const QByteArray bytes = WriteRtf(formattedDocument());
    testsupport::WriteFileBytes(rtf, bytes.toStdString());

    EXPECT_EQ(libreOfficeText(rtf, folder), formattedDocument().PlainText().toStdString() + "\n");
}

} // namespace
} // namespace richtext
