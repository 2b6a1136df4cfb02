#include "platform/richtext/RichTextFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocument>

#include "platform/richtext/CodePage.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "platform/richtext/TextDocument.h"

namespace richtext {

namespace {

const char kLoadFailed[] = "Failed to Load Stream";
const char kSaveFailed[] = "Failed to Save Stream";

std::optional<QString> decodeStrictly(const QByteArray& bytes, QStringDecoder::Encoding encoding)
{
    QStringDecoder decoder(encoding);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

QString decodeByMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE")) {
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    }
    if (std::optional<QString> utf8 = decodeStrictly(bytes, QStringDecoder::Utf8)) {
        return *utf8;
    }
    return DecodeCodePage(bytes, kWindowsCyrillic);
}

} // namespace

QString DecodePlainText(const QByteArray& bytes)
{
    QString text = decodeByMark(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

RichDocument ReadRichTextBytes(const QByteArray& bytes)
{
    if (LooksLikeRtf(bytes)) {
        return ReadRtf(bytes);
    }
    RichDocument document;
    document.paragraphs.clear();
    for (const QString& line : DecodePlainText(bytes).split(QLatin1Char('\n'))) {
        Paragraph paragraph;
        paragraph.runs.push_back(TextRun{CleanText(line), TextFormat()});
        document.paragraphs.push_back(std::move(paragraph));
    }
    Normalize(document);
    return document;
}

QByteArray ReadAllFrom(QIODevice& device)
{
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const qint64 count = device.read(buffer, sizeof buffer);
        if (count < 0) {
            throw RichTextError(kLoadFailed);
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<qsizetype>(count));
    }
}

void WriteAllTo(QIODevice& device, const QByteArray& bytes)
{
    if (device.write(bytes) != bytes.size()) {
        throw RichTextError(kSaveFailed);
    }
}

void LoadRichTextFile(QTextDocument& target, const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        throw RichTextError("Cannot open file " + path);
    }
    const QByteArray bytes = ReadAllFrom(file);
    ToTextDocument(ReadRichTextBytes(bytes), target);
}

void SaveRichTextFile(const QTextDocument& source, const std::string& path)
{
    const QByteArray bytes = WriteRtf(FromTextDocument(source));
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        throw RichTextError("Cannot create file " + path);
    }
    try {
        WriteAllTo(file, bytes);
    } catch (const RichTextError&) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit()) {
        throw RichTextError(kSaveFailed);
    }
}

} // namespace richtext
