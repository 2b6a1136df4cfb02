#pragma once

// Rich text as the RTF reader gives it and the writer takes it: paragraphs of
// runs, each run one piece of text in one character format. Independent of
// any widget, so that the codec can be checked and fuzzed on its own.

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

namespace richtext {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct TextFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;          // font size in half points; 0: the pane's own size
    std::optional<Rgb> colour;   // none: the pane's own text colour
    QString fontFamily;          // empty: the pane's own font
    bool operator==(const TextFormat&) const = default;
};

struct TextRun {
    QString text; // U+2028 is a line break inside the paragraph, '\t' a tab
    TextFormat format;
    bool operator==(const TextRun&) const = default;
};

enum class Alignment { Left, Center, Right, Justify };

struct Paragraph {
    std::vector<TextRun> runs;
    Alignment alignment = Alignment::Left;
    bool operator==(const Paragraph&) const = default;
};

// Always at least one paragraph; an empty document is one empty paragraph.
struct RichDocument {
    std::vector<Paragraph> paragraphs{Paragraph{}};
    bool operator==(const RichDocument&) const = default;

    // The text with paragraphs joined by '\n' and line breaks as '\n'.
    QString PlainText() const;
};

// Drops empty runs and joins neighbouring runs of the same format, so that a
// document has one form however its text was cut up.
void Normalize(RichDocument& document);

// The text as a paragraph may hold it: lone surrogates become U+FFFD, control
// characters other than tab are dropped, U+2029 becomes a line break, and the
// code points that a text document keeps for itself (U+FDD0 to U+FDEF, U+FFFE,
// U+FFFF, U+FFFC) are dropped.
QString CleanText(const QString& text);

} // namespace richtext
