#pragma once

// The RTF control words the reader acts on.

#include <string_view>

namespace richtext {

enum class RtfWord {
    Unknown,
    // Destinations.
    FontTable, ColourTable, SkippedDestination, AlternativeText, UnicodeText, FieldResult,
    // Document.
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont,
    // Fonts and colours of the tables.
    Font, FontCharset, FontCodePage, Red, Green, Blue,
    // Characters.
    Plain, Bold, Italic, Underline, UnderlineNone, FontSize, Colour, UnicodeSkip, Unicode, Bin,
    // Paragraphs.
    ParagraphDefault, AlignLeft, AlignCenter, AlignRight, AlignJustify,
    // Breaks and special characters.
    Paragraph, Line, Tab, Cell, Special,
};

struct KnownWord {
    RtfWord word = RtfWord::Unknown;
    char16_t character = 0; // what a Special word stands for (\emdash, \lquote, ...)
};

// The word of a control word's name; Unknown for names the reader ignores.
KnownWord LookUpWord(std::string_view name);

} // namespace richtext
