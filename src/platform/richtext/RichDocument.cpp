#include "platform/richtext/RichDocument.h"

namespace richtext {

namespace {

bool isReservedByTextDocument(char16_t unit)
{
    return (unit >= 0xFDD0 && unit <= 0xFDEF) || unit == 0xFFFE || unit == 0xFFFF || unit == 0xFFFC;
}

bool isDroppedControl(char16_t unit)
{
    return (unit < 0x20 && unit != u'\t') || unit == 0x7F;
}

void normalizeRuns(std::vector<TextRun>& runs)
{
    std::vector<TextRun> joined;
    for (TextRun& run : runs) {
        if (run.text.isEmpty()) {
            continue;
        }
        if (!joined.empty() && joined.back().format == run.format) {
            joined.back().text += run.text;
        } else {
            joined.push_back(std::move(run));
        }
    }
    runs = std::move(joined);
}

} // namespace

QString RichDocument::PlainText() const
{
    QString text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char('\n');
        }
        for (const TextRun& run : paragraphs[i].runs) {
            text += run.text;
        }
    }
    text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    return text;
}

void Normalize(RichDocument& document)
{
    if (document.paragraphs.empty()) {
        document.paragraphs.emplace_back();
    }
    for (Paragraph& paragraph : document.paragraphs) {
        normalizeRuns(paragraph.runs);
    }
}

QString CleanText(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            clean += text[i];
            clean += text[++i];
        } else if (QChar::isSurrogate(unit)) {
            clean += QChar(QChar::ReplacementCharacter);
        } else if (unit == QChar::ParagraphSeparator) {
            clean += QChar(QChar::LineSeparator);
        } else if (!isDroppedControl(unit) && !isReservedByTextDocument(unit)) {
            clean += text[i];
        }
    }
    return clean;
}

} // namespace richtext
