#pragma once

// What the RTF reader's tokens mean: the group states, the font and colour
// tables, and the paragraphs and runs of the document being read.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "platform/richtext/RichDocument.h"
#include "platform/richtext/RtfWords.h"

namespace richtext {

class RtfDocumentBuilder {
public:
    RtfDocumentBuilder();

    // Groups open: 0 before the document's first brace and after its last.
    std::size_t Depth() const { return groups_.size(); }
    void OpenGroup();
    void CloseGroup();
    // The current group holds nothing of the document (an unknown \* destination).
    void SkipGroup();

    // A byte of text or a \'hh, in the code page of the current font.
    void Byte(std::uint8_t byte);
    // A UTF-16 unit of a \uN or of a word that stands for a character.
    void Unit(char16_t unit);
    // A control symbol other than \' and \*: \\ \{ \} \~ \- \_ and a line end.
    void Symbol(char symbol);
    void Word(const KnownWord& word, bool hasParameter, int parameter);
    // How many fallback characters follow a \uN in the current group (\ucN).
    int FallbackLength() const { return state().fallbackLength; }

    // The document read so far, cleaned and normalised.
    RichDocument Finish();

private:
    enum class Destination { Body, Skip, FontTable, ColourTable, AnsiAlternative };

    struct GroupState {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        int halfPoints = 0;
        int colour = 0;
        int font = -1; // -1: no \f in effect, the default font (\deff) applies
        int fallbackLength = 1;
        Alignment alignment = Alignment::Left;
        Destination destination = Destination::Body;
    };

    struct FontEntry {
        int charset = -1;
        int codePage = 0; // \cpgN, which outranks the charset
        QString name;
    };

    GroupState& state() { return groups_.back(); }
    const GroupState& state() const { return groups_.back(); }

    void destinationWord(RtfWord word);
    void tableWord(RtfWord word, int parameter);
    void characterWord(RtfWord word, bool hasParameter, int parameter);
    void paragraphWord(RtfWord word);

    int fontInEffect() const;
    int codePageOfFont(int font) const;
    TextFormat currentFormat() const;
    void prepareRun();
    void flushBytes();
    void bodyByte(std::uint8_t byte);
    void bodyUnit(char16_t unit);
    void endParagraph();

    void beginFontEntry(int number);
    void fontNameByte(std::uint8_t byte);
    void fontNameUnit(char16_t unit);
    void flushFontName();
    void finishFontEntry();
    void colourByte(std::uint8_t byte);

    std::vector<GroupState> groups_;
    int ansiCodePage_;
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    std::vector<std::optional<Rgb>> colours_;

    int fontNumber_ = -1; // the font table entry being read
    FontEntry fontEntry_;
    QByteArray fontNameBytes_;
    Rgb colourEntry_;
    bool colourEntrySet_ = false;

    RichDocument document_;
    bool paragraphClosed_ = false; // the last paragraph has had its \par
    Alignment endAlignment_ = Alignment::Left;
    QByteArray pendingBytes_;      // text bytes of the last run, not decoded yet
    int pendingCodePage_ = 0;
};

} // namespace richtext
