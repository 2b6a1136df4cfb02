#include "platform/richtext/RtfReader.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/richtext/CodePage.h"
#include "platform/richtext/RtfDocumentBuilder.h"
#include "platform/richtext/RtfWords.h"

namespace richtext {

namespace {

// Deeper groups are skipped whole: no document needs them, and a stack per
// byte of hostile input would cost memory for nothing.
constexpr std::size_t kMaxDepth = 256;
constexpr int kMaxDigits = 10;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// \uN is a signed 16-bit number: -1 is U+FFFF, -4064 is U+F020. Numbers that
// fit in no 16 bits stand for no character.
char16_t unicodeUnit(int value)
{
    if (value >= -32768 && value < 0) {
        return static_cast<char16_t>(value + 65536);
    }
    if (value >= 0 && value <= 0xFFFF) {
        return static_cast<char16_t>(value);
    }
    return QChar::ReplacementCharacter;
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    RichDocument Read()
    {
        while (pos_ < bytes_.size() && !done_) {
            const char c = bytes_[pos_++];
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                readControl();
                break;
            case '\r':
            case '\n':
                break;
            default:
                character([&] { builder_.Byte(static_cast<std::uint8_t>(c)); });
                break;
            }
        }
        return builder_.Finish();
    }

private:
    bool ignoring() const { return builder_.Depth() == 0 || overflow_ > 0; }

    // A character of the text (a byte, a \'hh, a \uN or a symbol): the
    // fallback of a \uN swallows it, anything else takes it.
    template <typename Take>
    void character(Take take)
    {
        ignorableNext_ = false;
        if (ignoring()) {
            return;
        }
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        take();
    }

    void openGroup()
    {
        ignorableNext_ = false;
        fallbackLeft_ = 0;
        if (overflow_ > 0 || builder_.Depth() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        builder_.OpenGroup();
    }

    void closeGroup()
    {
        ignorableNext_ = false;
        fallbackLeft_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (builder_.Depth() == 0) {
            return;
        }
        builder_.CloseGroup();
        done_ = builder_.Depth() == 0;
    }

    void readControl()
    {
        if (pos_ >= bytes_.size()) {
            return;
        }
        const char c = bytes_[pos_];
        if (isLetter(c)) {
            readWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            readHexByte();
        } else if (c == '*') {
            // Counts as a character of a fallback like any other symbol.
            character([&] { ignorableNext_ = true; });
        } else {
            character([&] { builder_.Symbol(c); });
        }
    }

    // A \' needs two hex digits; with fewer, what it has is dropped.
    void readHexByte()
    {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < bytes_.size() && hexValue(bytes_[pos_]) >= 0) {
            value = value * 16 + hexValue(bytes_[pos_++]);
            ++digits;
        }
        character([&] {
            if (digits == 2) {
                builder_.Byte(static_cast<std::uint8_t>(value));
            }
        });
    }

    // Digits beyond the tenth are read and dropped; the value saturates at
    // the limits of 32 bits.
    int readParameter(bool& hasParameter)
    {
        const bool negative = pos_ + 1 < bytes_.size() && bytes_[pos_] == '-' && isDigit(bytes_[pos_ + 1]);
        if (negative) {
            ++pos_;
        }
        long long value = 0;
        int digits = 0;
        while (pos_ < bytes_.size() && isDigit(bytes_[pos_])) {
            if (digits++ < kMaxDigits) {
                value = value * 10 + (bytes_[pos_] - '0');
            }
            ++pos_;
        }
        hasParameter = digits > 0;
        value = negative ? -value : value;
        return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
    }

    void readWord()
    {
        const qsizetype start = pos_;
        while (pos_ < bytes_.size() && isLetter(bytes_[pos_])) {
            ++pos_;
        }
        const std::string_view name(bytes_.constData() + start, static_cast<std::size_t>(pos_ - start));
        bool hasParameter = false;
        const int parameter = readParameter(hasParameter);
        if (pos_ < bytes_.size() && bytes_[pos_] == ' ') {
            ++pos_;
        }
        const KnownWord word = LookUpWord(name);
        if (word.word == RtfWord::Bin) {
            skipBinary(hasParameter ? parameter : 0);
        }
        const bool ignorable = ignorableNext_;
        character([&] { applyWord(word, hasParameter, parameter, ignorable); });
    }

    void skipBinary(int count)
    {
        pos_ += std::min<qsizetype>(std::max(count, 0), bytes_.size() - pos_);
    }

    void applyWord(const KnownWord& word, bool hasParameter, int parameter, bool ignorable)
    {
        if (word.word == RtfWord::Unknown) {
            // An unknown destination marked \* holds nothing to show.
            if (ignorable) {
                builder_.SkipGroup();
            }
            return;
        }
        if (word.word == RtfWord::Unicode) {
            builder_.Unit(unicodeUnit(parameter));
            fallbackLeft_ = builder_.FallbackLength();
            return;
        }
        builder_.Word(word, hasParameter, parameter);
    }

    const QByteArray& bytes_;
    qsizetype pos_ = 0;
    bool done_ = false;
    int overflow_ = 0;          // groups opened beyond kMaxDepth, skipped
    bool ignorableNext_ = false; // the last token was \*
    int fallbackLeft_ = 0;      // fallback characters of a \uN still to skip
    RtfDocumentBuilder builder_;
};

} // namespace

bool LooksLikeRtf(const QByteArray& bytes)
{
    return bytes.startsWith("{\\rtf");
}

RichDocument ReadRtf(const QByteArray& bytes)
{
    return Reader(bytes).Read();
}

} // namespace richtext
