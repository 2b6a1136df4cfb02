#include "platform/richtext/RtfDocumentBuilder.h"

#include <algorithm>

#include "platform/richtext/CodePage.h"

namespace richtext {

namespace {

constexpr int kMaxHalfPoints = 3276; // 1638 points, the largest size Word takes

bool isCodePage(int number)
{
    return number > 0 && number <= 0xFFFF;
}

bool switchedOn(bool hasParameter, int parameter)
{
    return !hasParameter || parameter != 0;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder() : ansiCodePage_(kWindowsLatin1) {}

void RtfDocumentBuilder::OpenGroup()
{
    groups_.push_back(groups_.empty() ? GroupState() : state());
}

void RtfDocumentBuilder::CloseGroup()
{
    if (state().destination == Destination::FontTable && fontNumber_ >= 0) {
        // An entry without its closing semicolon ends with its group.
        finishFontEntry();
    }
    if (groups_.size() == 1) {
        endAlignment_ = state().alignment;
    }
    groups_.pop_back();
}

void RtfDocumentBuilder::SkipGroup()
{
    state().destination = Destination::Skip;
}

void RtfDocumentBuilder::Byte(std::uint8_t byte)
{
    switch (state().destination) {
    case Destination::Body:
        bodyByte(byte);
        break;
    case Destination::FontTable:
        fontNameByte(byte);
        break;
    case Destination::ColourTable:
        colourByte(byte);
        break;
    case Destination::Skip:
    case Destination::AnsiAlternative:
        break;
    }
}

void RtfDocumentBuilder::Unit(char16_t unit)
{
    if (state().destination == Destination::Body) {
        bodyUnit(unit);
    } else if (state().destination == Destination::FontTable) {
        fontNameUnit(unit);
    }
}

void RtfDocumentBuilder::Symbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        Byte(static_cast<std::uint8_t>(symbol));
        break;
    case '~':
        Unit(u'\u00A0');
        break;
    case '-':
        Unit(u'\u00AD');
        break;
    case '_':
        Unit(u'\u2011');
        break;
    case '\n':
    case '\r':
        paragraphWord(RtfWord::Paragraph);
        break;
    default:
        break;
    }
}

void RtfDocumentBuilder::Word(const KnownWord& word, bool hasParameter, int parameter)
{
    switch (word.word) {
    case RtfWord::Ansi:
        ansiCodePage_ = kWindowsLatin1;
        break;
    case RtfWord::Mac:
        ansiCodePage_ = 10000;
        break;
    case RtfWord::Pc:
        ansiCodePage_ = 437;
        break;
    case RtfWord::Pca:
        ansiCodePage_ = 850;
        break;
    case RtfWord::AnsiCodePage:
        if (isCodePage(parameter)) {
            ansiCodePage_ = parameter;
        }
        break;
    case RtfWord::DefaultFont:
        defaultFont_ = parameter;
        break;
    case RtfWord::Line:
        Unit(QChar::LineSeparator);
        break;
    case RtfWord::Tab:
    case RtfWord::Cell:
        Unit(u'\t');
        break;
    case RtfWord::Special:
        Unit(word.character);
        break;
    default:
        destinationWord(word.word);
        tableWord(word.word, parameter);
        characterWord(word.word, hasParameter, parameter);
        paragraphWord(word.word);
        break;
    }
}

// A destination word can hide text but never bring back what a skipped
// group hides; only \ud turns the ANSI alternative of \upr into text again.
void RtfDocumentBuilder::destinationWord(RtfWord word)
{
    Destination& destination = state().destination;
    switch (word) {
    case RtfWord::FontTable:
        if (destination == Destination::Body) {
            destination = Destination::FontTable;
        }
        break;
    case RtfWord::ColourTable:
        if (destination == Destination::Body) {
            destination = Destination::ColourTable;
        }
        break;
    case RtfWord::SkippedDestination:
        destination = Destination::Skip;
        break;
    case RtfWord::AlternativeText:
        if (destination == Destination::Body) {
            destination = Destination::AnsiAlternative;
        }
        break;
    case RtfWord::UnicodeText:
        if (destination == Destination::AnsiAlternative) {
            destination = Destination::Body;
        }
        break;
    default:
        break;
    }
}

void RtfDocumentBuilder::tableWord(RtfWord word, int parameter)
{
    const Destination destination = state().destination;
    if (destination == Destination::FontTable) {
        if (word == RtfWord::Font) {
            beginFontEntry(parameter);
        } else if (word == RtfWord::FontCharset) {
            fontEntry_.charset = parameter;
        } else if (word == RtfWord::FontCodePage) {
            fontEntry_.codePage = parameter;
        }
    } else if (destination == Destination::ColourTable) {
        const auto component = static_cast<std::uint8_t>(std::clamp(parameter, 0, 255));
        if (word == RtfWord::Red) {
            colourEntry_.red = component;
        } else if (word == RtfWord::Green) {
            colourEntry_.green = component;
        } else if (word == RtfWord::Blue) {
            colourEntry_.blue = component;
        }
        colourEntrySet_ = colourEntrySet_ || word == RtfWord::Red || word == RtfWord::Green || word == RtfWord::Blue;
    }
}

void RtfDocumentBuilder::characterWord(RtfWord word, bool hasParameter, int parameter)
{
    GroupState& current = state();
    switch (word) {
    case RtfWord::Plain:
        current.bold = current.italic = current.underline = false;
        current.halfPoints = 0;
        current.colour = 0;
        current.font = -1;
        break;
    case RtfWord::Bold:
        current.bold = switchedOn(hasParameter, parameter);
        break;
    case RtfWord::Italic:
        current.italic = switchedOn(hasParameter, parameter);
        break;
    case RtfWord::Underline:
        current.underline = switchedOn(hasParameter, parameter);
        break;
    case RtfWord::UnderlineNone:
        current.underline = false;
        break;
    case RtfWord::FontSize:
        current.halfPoints = hasParameter ? std::clamp(parameter, 0, kMaxHalfPoints) : 24;
        break;
    case RtfWord::Colour:
        current.colour = std::max(parameter, 0);
        break;
    case RtfWord::Font:
        if (current.destination != Destination::FontTable) {
            current.font = std::max(parameter, 0);
        }
        break;
    case RtfWord::UnicodeSkip:
        current.fallbackLength = hasParameter ? std::max(parameter, 0) : 1;
        break;
    default:
        break;
    }
}

void RtfDocumentBuilder::paragraphWord(RtfWord word)
{
    Alignment& alignment = state().alignment;
    switch (word) {
    case RtfWord::ParagraphDefault:
    case RtfWord::AlignLeft:
        alignment = Alignment::Left;
        break;
    case RtfWord::AlignCenter:
        alignment = Alignment::Center;
        break;
    case RtfWord::AlignRight:
        alignment = Alignment::Right;
        break;
    case RtfWord::AlignJustify:
        alignment = Alignment::Justify;
        break;
    case RtfWord::Paragraph:
        if (state().destination == Destination::Body) {
            endParagraph();
        }
        break;
    default:
        break;
    }
}

int RtfDocumentBuilder::fontInEffect() const
{
    return state().font >= 0 ? state().font : defaultFont_;
}

int RtfDocumentBuilder::codePageOfFont(int font) const
{
    const auto found = fonts_.find(font);
    if (found == fonts_.end()) {
        return ansiCodePage_;
    }
    if (isCodePage(found->second.codePage)) {
        return found->second.codePage;
    }
    const int ofCharset = CodePageOfCharset(found->second.charset);
    return ofCharset > 0 ? ofCharset : ansiCodePage_;
}

TextFormat RtfDocumentBuilder::currentFormat() const
{
    const GroupState& current = state();
    TextFormat format;
    format.bold = current.bold;
    format.italic = current.italic;
    format.underline = current.underline;
    format.halfPoints = current.halfPoints;
    if (static_cast<std::size_t>(current.colour) < colours_.size()) {
        format.colour = colours_[static_cast<std::size_t>(current.colour)];
    }
    if (const auto found = fonts_.find(fontInEffect()); found != fonts_.end()) {
        format.fontFamily = found->second.name;
    }
    return format;
}

// Text goes to the last run of the last paragraph; a new paragraph or run is
// started when the last one is closed or has another format.
void RtfDocumentBuilder::prepareRun()
{
    if (paragraphClosed_) {
        flushBytes();
        document_.paragraphs.emplace_back();
        paragraphClosed_ = false;
    }
    TextFormat format = currentFormat();
    std::vector<TextRun>& runs = document_.paragraphs.back().runs;
    if (runs.empty() || runs.back().format != format) {
        flushBytes();
        runs.push_back(TextRun{QString(), std::move(format)});
    }
}

// Bytes are decoded a run at a time, so that the two bytes of a character
// of a double-byte code page, written as two \'hh, come out as one.
void RtfDocumentBuilder::flushBytes()
{
    if (pendingBytes_.isEmpty()) {
        return;
    }
    document_.paragraphs.back().runs.back().text += DecodeCodePage(pendingBytes_, pendingCodePage_);
    pendingBytes_.clear();
}

void RtfDocumentBuilder::bodyByte(std::uint8_t byte)
{
    prepareRun();
    const int codePage = codePageOfFont(fontInEffect());
    if (codePage != pendingCodePage_) {
        flushBytes();
        pendingCodePage_ = codePage;
    }
    pendingBytes_.append(static_cast<char>(byte));
}

void RtfDocumentBuilder::bodyUnit(char16_t unit)
{
    prepareRun();
    flushBytes();
    document_.paragraphs.back().runs.back().text += QChar(unit);
}

// A paragraph ends at its \par; the document's last \par opens no empty
// paragraph after it, as in every word processor's files.
void RtfDocumentBuilder::endParagraph()
{
    flushBytes();
    if (paragraphClosed_) {
        document_.paragraphs.emplace_back();
    }
    document_.paragraphs.back().alignment = state().alignment;
    paragraphClosed_ = true;
}

void RtfDocumentBuilder::beginFontEntry(int number)
{
    if (fontNumber_ >= 0) {
        finishFontEntry();
    }
    fontNumber_ = std::max(number, 0);
    fontEntry_ = FontEntry();
    fontNameBytes_.clear();
}

void RtfDocumentBuilder::fontNameByte(std::uint8_t byte)
{
    if (fontNumber_ < 0) {
        return;
    }
    if (byte == ';') {
        finishFontEntry();
    } else {
        fontNameBytes_.append(static_cast<char>(byte));
    }
}

// A semicolon ends a name, so none is kept inside one.
void RtfDocumentBuilder::fontNameUnit(char16_t unit)
{
    if (fontNumber_ < 0 || unit == u';') {
        return;
    }
    flushFontName();
    fontEntry_.name += QChar(unit);
}

void RtfDocumentBuilder::flushFontName()
{
    if (fontNameBytes_.isEmpty()) {
        return;
    }
    const int codePage = isCodePage(fontEntry_.codePage) ? fontEntry_.codePage : CodePageOfCharset(fontEntry_.charset);
    fontEntry_.name += DecodeCodePage(fontNameBytes_, codePage > 0 ? codePage : ansiCodePage_);
    fontNameBytes_.clear();
}

void RtfDocumentBuilder::finishFontEntry()
{
    flushFontName();
    fontEntry_.name = CleanText(fontEntry_.name).remove(QLatin1Char(';')).trimmed();
    fonts_[fontNumber_] = fontEntry_;
    fontNumber_ = -1;
}

void RtfDocumentBuilder::colourByte(std::uint8_t byte)
{
    if (byte != ';') {
        return;
    }
    colours_.push_back(colourEntrySet_ ? std::optional<Rgb>(colourEntry_) : std::nullopt);
    colourEntry_ = Rgb();
    colourEntrySet_ = false;
}

RichDocument RtfDocumentBuilder::Finish()
{
    flushBytes();
    if (!groups_.empty()) {
        endAlignment_ = state().alignment;
    }
    if (!paragraphClosed_) {
        document_.paragraphs.back().alignment = endAlignment_;
    }
    for (Paragraph& paragraph : document_.paragraphs) {
        for (TextRun& run : paragraph.runs) {
            run.text = CleanText(run.text);
        }
    }
    Normalize(document_);
    return document_;
}

} // namespace richtext
