#include "platform/richtext/RtfWriter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/richtext/CodePage.h"

namespace richtext {

namespace {

// What the runs use, numbered in order of first use. Font 0 is the default
// font of the document, which readers give to runs without a font of their
// own: it is the first family when every run has one, else a font without a
// name, so that such runs keep the reader's own font.
struct Tables {
    std::vector<QString> fonts;
    std::vector<Rgb> colours;

    explicit Tables(const RichDocument& document)
    {
        bool unnamed = false;
        for (const Paragraph& paragraph : document.paragraphs) {
            for (const TextRun& run : paragraph.runs) {
                unnamed = unnamed || run.format.fontFamily.isEmpty();
                addOnce(fonts, run.format.fontFamily, !run.format.fontFamily.isEmpty());
                addOnce(colours, run.format.colour.value_or(Rgb()), run.format.colour.has_value());
            }
        }
        if (unnamed) {
            fonts.insert(fonts.begin(), QString());
        } else if (fonts.empty()) {
            fonts.push_back(QStringLiteral("Arial"));
        }
    }

    template <typename T>
    static void addOnce(std::vector<T>& list, const T& value, bool used)
    {
        if (used && std::find(list.begin(), list.end(), value) == list.end()) {
            list.push_back(value);
        }
    }

    template <typename T>
    static int indexOf(const std::vector<T>& list, const T& value)
    {
        return static_cast<int>(std::find(list.begin(), list.end(), value) - list.begin());
    }
};

void appendNumber(QByteArray& out, const char* word, int number)
{
    out += word;
    out += QByteArray::number(number);
}

// The Windows-1251 byte of a UTF-16 unit, -1 where there is none; asked of
// the converter once per unit and kept, since a text repeats its letters.
int cyrillicByteOf(char16_t unit)
{
    static std::vector<int> known(0x10000, -2);
    int& byte = known[unit];
    if (byte == -2) {
        const QByteArray bytes = QChar::isSurrogate(unit) ? QByteArray() : EncodeCodePage(unit, kWindowsCyrillic);
        byte = bytes.size() == 1 ? static_cast<unsigned char>(bytes[0]) : -1;
    }
    return byte;
}

// The byte a reader without \uN shows in place of the character.
void appendFallback(QByteArray& out, char16_t unit)
{
    const int byte = cyrillicByteOf(unit);
    if (byte < 0) {
        out += '?';
        return;
    }
    out += "\\'";
    out += QByteArray::number(byte, 16).rightJustified(2, '0');
}

void appendText(QByteArray& out, const QString& text)
{
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit == QChar::LineSeparator) {
            out += "\\line ";
        } else if (unit < 0x20 || unit == 0x7F) {
            continue;
        } else if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else {
            appendNumber(out, "\\u", static_cast<std::int16_t>(unit));
            appendFallback(out, unit);
        }
    }
}

void appendHeader(QByteArray& out, const Tables& tables)
{
    out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\r\n{\\fonttbl";
    for (std::size_t i = 0; i < tables.fonts.size(); ++i) {
        appendNumber(out, "{\\f", static_cast<int>(i));
        out += "\\fnil\\fcharset204 ";
        appendText(out, tables.fonts[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const Rgb& colour : tables.colours) {
        appendNumber(out, "\\red", colour.red);
        appendNumber(out, "\\green", colour.green);
        appendNumber(out, "\\blue", colour.blue);
        out += ';';
    }
    out += "}\r\n";
}

void appendRun(QByteArray& out, const TextRun& run, const Tables& tables)
{
    QByteArray words;
    const TextFormat& format = run.format;
    if (!format.fontFamily.isEmpty()) {
        appendNumber(words, "\\f", Tables::indexOf(tables.fonts, format.fontFamily));
    }
    if (format.halfPoints > 0) {
        appendNumber(words, "\\fs", format.halfPoints);
    }
    if (format.bold) {
        words += "\\b";
    }
    if (format.italic) {
        words += "\\i";
    }
    if (format.underline) {
        words += "\\ul";
    }
    if (format.colour) {
        // Entry 0 of the colour table is the reader's own text colour.
        appendNumber(words, "\\cf", Tables::indexOf(tables.colours, *format.colour) + 1);
    }
    out += '{';
    if (!words.isEmpty()) {
        out += words;
        out += ' ';
    }
    appendText(out, run.text);
    out += '}';
}

const char* alignmentWord(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Center:
        return "\\qc";
    case Alignment::Right:
        return "\\qr";
    case Alignment::Justify:
        return "\\qj";
    case Alignment::Left:
        break;
    }
    return "";
}

} // namespace

QByteArray WriteRtf(const RichDocument& document)
{
    const Tables tables(document);
    QByteArray out;
    appendHeader(out, tables);
    for (const Paragraph& paragraph : document.paragraphs) {
        out += "\\pard";
        out += alignmentWord(paragraph.alignment);
        for (const TextRun& run : paragraph.runs) {
            appendRun(out, run, tables);
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace richtext
