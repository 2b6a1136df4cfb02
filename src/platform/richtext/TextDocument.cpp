#include "platform/richtext/TextDocument.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace richtext {

namespace {

Qt::Alignment qtAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Justify:
        return Qt::AlignJustify;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

Alignment alignmentOf(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter) {
        return Alignment::Center;
    }
    if (alignment & Qt::AlignRight) {
        return Alignment::Right;
    }
    if (alignment & Qt::AlignJustify) {
        return Alignment::Justify;
    }
    return Alignment::Left;
}

QTextCharFormat charFormatOf(const TextFormat& format)
{
    QTextCharFormat qt;
    qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    qt.setFontItalic(format.italic);
    qt.setFontUnderline(format.underline);
    if (format.halfPoints > 0) {
        qt.setFontPointSize(format.halfPoints / 2.0);
    }
    if (format.colour) {
        qt.setForeground(QColor(format.colour->red, format.colour->green, format.colour->blue));
    }
    if (!format.fontFamily.isEmpty()) {
        qt.setFontFamilies(QStringList{format.fontFamily});
    }
    return qt;
}

QString familyOf(const QTextCharFormat& qt, const QFont& paneFont)
{
    const QStringList families = qt.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty()) {
        return families.front();
    }
    return paneFont.family();
}

int halfPointsOf(const QTextCharFormat& qt, const QFont& paneFont)
{
    const double points = qt.fontPointSize() > 0 ? qt.fontPointSize() : paneFont.pointSizeF();
    return points > 0 ? static_cast<int>(std::lround(points * 2)) : 0;
}

TextFormat formatOf(const QTextCharFormat& qt, const QFont& paneFont)
{
    TextFormat format;
    format.bold = qt.fontWeight() > QFont::Medium;
    format.italic = qt.fontItalic();
    format.underline = qt.fontUnderline();
    format.halfPoints = halfPointsOf(qt, paneFont);
    if (qt.hasProperty(QTextFormat::ForegroundBrush) && qt.foreground().style() != Qt::NoBrush) {
        const QColor colour = qt.foreground().color();
        format.colour = Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                            static_cast<std::uint8_t>(colour.blue())};
    }
    format.fontFamily = familyOf(qt, paneFont);
    return format;
}

Paragraph paragraphOf(const QTextBlock& block, const QFont& paneFont)
{
    Paragraph paragraph;
    paragraph.alignment = alignmentOf(block.blockFormat().alignment());
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid()) {
            paragraph.runs.push_back(TextRun{CleanText(fragment.text()), formatOf(fragment.charFormat(), paneFont)});
        }
    }
    return paragraph;
}

} // namespace

void ToTextDocument(const RichDocument& document, QTextDocument& target)
{
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const Paragraph& paragraph : document.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(qtAlignment(paragraph.alignment));
        if (first) {
            cursor.setBlockFormat(block);
            first = false;
        } else {
            cursor.insertBlock(block, QTextCharFormat());
        }
        for (const TextRun& run : paragraph.runs) {
            cursor.insertText(run.text, charFormatOf(run.format));
        }
    }
    cursor.endEditBlock();
}

RichDocument FromTextDocument(const QTextDocument& source)
{
    RichDocument document;
    document.paragraphs.clear();
    const QFont paneFont = source.defaultFont();
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        document.paragraphs.push_back(paragraphOf(block, paneFont));
    }
    Normalize(document);
    return document;
}

} // namespace richtext
