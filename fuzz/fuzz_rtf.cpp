// Reads arbitrary bytes as RTF and as a text file, and checks that whatever
// was read comes back unchanged when it is written as RTF and read again, and
// when it goes through a text pane's document.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QFont>
#include <QGuiApplication>
#include <QTextDocument>

#include "platform/richtext/RichTextFile.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "platform/richtext/TextDocument.h"

namespace {

using namespace richtext;

[[noreturn]] void fail(const char* what, const QByteArray& rtf)
{
    std::fprintf(stderr, "%s\n%s\n", what, rtf.constData());
    std::abort();
}

void requireRtfRoundTrip(const RichDocument& document)
{
    const QByteArray rtf = WriteRtf(document);
    if (!(ReadRtf(rtf) == document)) {
        fail("written RTF reads back differently", rtf);
    }
}

// The pane fills in its own font where the document leaves size and family open.
void requirePaneRoundTrip(const RichDocument& document, QTextDocument& pane)
{
    ToTextDocument(document, pane);
    RichDocument expected = document;
    for (Paragraph& paragraph : expected.paragraphs) {
        for (TextRun& run : paragraph.runs) {
            run.format.halfPoints = run.format.halfPoints > 0 ? run.format.halfPoints : 20;
            run.format.fontFamily = run.format.fontFamily.isEmpty() ? pane.defaultFont().family() : run.format.fontFamily;
        }
    }
    // Runs that differed only in what the pane filled in are one run now.
    Normalize(expected);
    if (!(FromTextDocument(pane) == expected)) {
        fail("a pane changes the document", WriteRtf(document));
    }
}

QTextDocument* pane = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    pane = new QTextDocument;
    pane->setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RichDocument read = ReadRichTextBytes(bytes);
    requireRtfRoundTrip(read);
    requirePaneRoundTrip(read, *pane);
    if (!LooksLikeRtf(bytes)) {
        // Whatever precedes it, the reader takes RTF from its first brace.
        requireRtfRoundTrip(ReadRtf(bytes));
    }
    return 0;
}
