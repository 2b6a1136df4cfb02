#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "platform/richtext/RtfReader.h"

namespace richtext {
namespace {

QString textOf(const QByteArray& rtf)
{
    return ReadRtf(rtf).PlainText();
}

// What the reader must get right, one pitfall per row.
TEST(RtfReader, ReadsTheTextOfEachPitfall)
{
    struct Case {
        const char* what;
        QByteArray rtf;
        QString text;
    };
    const Case cases[] = {
        {"a Cyrillic font's bytes are 1251 under \\ansicpg1252",
         R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 Arial;}{\f1\fnil\fcharset204 Arial Cyr;}})"
         R"(\f1 \'cf\'f0\'e8\'e2\'e5\'f2})",
         QStringLiteral("Привет")},
        {"the ANSI charset follows \\ansicpg",
         R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fnil\fcharset0 Arial;}}\f0 \'cf\'f0\'e8})", QStringLiteral("При")},
        {"\\ansi without a code page is 1252", R"({\rtf1\ansi caf\'e9})", QStringLiteral("café")},
        {"the default font's charset applies before any \\f",
         R"({\rtf1\ansi\deff1{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial;}}\'e4\'e0})", QStringLiteral("да")},
        {"a font change changes the code page mid-paragraph",
         R"({\rtf1\ansi{\fonttbl{\f0\fcharset0 Arial;}{\f1\fcharset204 Arial;}}\f0 caf\'e9 \f1\'e4\'e0})",
         QStringLiteral("café да")},
        {"\\cpg outranks the charset", R"({\rtf1{\fonttbl{\f0\fcharset0\cpg1251 X;}}\f0\'e0})", QStringLiteral("а")},
        {"font entries without their own groups",
         R"({\rtf1{\fonttbl\f0\fcharset0 Arial;\f1\fcharset204 Arial Cyr;}\f1\'e0})", QStringLiteral("а")},
        {"a run of \\'hh is decoded as one: double-byte characters",
         R"({\rtf1\ansi\ansicpg932 \'93\'fa\'96\'7b})", QStringLiteral("日本")},
        {"a trail byte written as plain text joins its lead byte",
         R"({\rtf1\ansi\ansicpg932 \'83e})", QStringLiteral("テ")},
        {"\\uN with its fallback skipped", R"({\rtf1\uc1\u1055?\u1088?})", QStringLiteral("Пр")},
        {"\\uN is signed 16-bit", R"({\rtf1\u-3913?})", QString(QChar(0xF0B7))},
        {"\\uc2 skips two \\'hh", R"({\rtf1\uc2\u1055\'cf\'cf!})", QStringLiteral("П!")},
        {"\\uc0 skips nothing", R"({\rtf1\uc0\u1055 !})", QStringLiteral("П!")},
        {"\\uc is restored with its group", R"({\rtf1{\uc2\u1055??}\u1088?x})", QStringLiteral("Прx")},
        {"a fallback ends at a group boundary", R"({\rtf1\uc3\u1055{\b x}})", QStringLiteral("Пx")},
        {"a surrogate pair makes one character", R"({\rtf1\u-10179?\u-8704?})", QStringLiteral("😀")},
        {"a lone surrogate is replaced", R"({\rtf1\u-10179?x})", QStringLiteral("\uFFFDx")},
        {"a number beyond 16 bits is no character", R"({\rtf1\u70000?x})", QStringLiteral("\uFFFDx")},
        {"\\par, \\line and the last \\par", R"({\rtf1 a\par b\line c\par})", QStringLiteral("a\nb\nc")},
        {"an empty paragraph before the last \\par", R"({\rtf1 a\par\par})", QStringLiteral("a\n")},
        {"escaped braces and backslash", R"({\rtf1 \{x\}\\})", QStringLiteral("{x}\\")},
        {"words and symbols for characters",
         R"({\rtf1 \emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet\~\_})",
         QStringLiteral("—–‘’“”•\u00A0\u2011")},
        {"tabs and table cells", R"({\rtf1 a\tab b\cell c\cell\row d})", QStringLiteral("a\tb\tc\t\nd")},
        {"an unknown \\* destination is skipped", R"({\rtf1 a{\*\unknown hidden {nested}}b})",
         QStringLiteral("ab")},
        {"styles, information and pictures are skipped",
         R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}{\pict\pngblip 89504e47}a})",
         QStringLiteral("a")},
        {"\\bin data is skipped whatever it holds", R"({\rtf1{\pict\bin3 }{x}a})", QStringLiteral("a")},
        {"a field shows its result, not its instruction",
         R"({\rtf1{\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt link}}})", QStringLiteral("link")},
        {"\\upr shows its Unicode alternative", R"({\rtf1{\upr{\'cf}{\*\ud{\u1055?}}}})", QStringLiteral("П")},
        {"a font name's alternative is no text", R"({\rtf1{\fonttbl{\f0\fcharset204 L{\*\falt A};}}\f0\'e0})",
         QStringLiteral("а")},
        {"line ends in the source are no text", "{\\rtf1 a\r\nb\n}", QStringLiteral("ab")},
        {"a control word ends at its blank, which is no text", R"({\rtf1\b  x})", QStringLiteral(" x")},
        {"a \\' without hex digits is dropped", R"({\rtf1 a\'zzb})", QStringLiteral("azzb")},
        {"a \\' with one hex digit is dropped with it", R"({\rtf1 a\'4zb})", QStringLiteral("azb")},
        {"text after the document's last brace is ignored", R"({\rtf1 a}junk)", QStringLiteral("a")},
        {"control characters are dropped", "{\\rtf1 a\\'00\\'07b\x01}", QStringLiteral("ab")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textOf(c.rtf), c.text) << c.what;
    }
}

TEST(RtfReader, ReadsCharacterAndParagraphFormats)
{
    const RichDocument document = ReadRtf(R"({\rtf1\ansi\ansicpg1251)"
                                          R"({\fonttbl{\f0\fcharset204 Arial;}{\f1\fcharset204 Courier New;}})"
                                          R"({\colortbl;\red255\green0\blue0;\red0\green128\blue0;})"
                                          R"(\pard\qc{\f1\fs32\b\i\ul\cf1 \'c6\'e8\'f0})"
                                          R"({\b0\i0\ulnone \'ee} plain\par)"
                                          R"(\pard\qr{\cf2 green}{\cf9 nine}{\b\plain reset}\par)"
                                          R"(\pard\qj{\ul0 u}{\uldb d}\par})");
    TextFormat bold;
    bold.bold = bold.italic = bold.underline = true;
    bold.halfPoints = 32;
    bold.colour = Rgb{255, 0, 0};
    bold.fontFamily = QStringLiteral("Courier New");
    // Text without a font of its own is in font 0.
    TextFormat plain;
    plain.fontFamily = QStringLiteral("Arial");
    TextFormat green = plain;
    green.colour = Rgb{0, 128, 0};
    TextFormat doubleUnderline = plain;
    doubleUnderline.underline = true;

    RichDocument expected;
    expected.paragraphs = {
        Paragraph{{TextRun{QStringLiteral("Жир"), bold}, TextRun{QStringLiteral("о plain"), plain}},
                  Alignment::Center},
        // Colour 9 is beyond the table: the pane's own colour.
        Paragraph{{TextRun{QStringLiteral("green"), green}, TextRun{QStringLiteral("ninereset"), plain}},
                  Alignment::Right},
        Paragraph{{TextRun{QStringLiteral("u"), plain}, TextRun{QStringLiteral("d"), doubleUnderline}},
                  Alignment::Justify},
    };
    EXPECT_EQ(document, expected);
}

TEST(RtfReader, TextWithoutAFontOfItsOwnIsInTheDefaultFont)
{
    struct Case {
        const char* what;
        QByteArray rtf;
        QString family;
    };
    const Case cases[] = {
        {"\\deff names it", R"({\rtf1\deff1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}x})", QStringLiteral("Courier New")},
        {"font 0 without \\deff", R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}x})", QStringLiteral("Arial")},
        {"\\plain goes back to it", R"({\rtf1\deff1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}\f0\plain x})",
         QStringLiteral("Courier New")},
        {"a default font without a name", R"({\rtf1{\fonttbl{\f0 ;}{\f1 Arial;}}x})", QString()},
        {"no font table", R"({\rtf1 x})", QString()},
    };
    for (const Case& c : cases) {
        const RichDocument document = ReadRtf(c.rtf);
        ASSERT_EQ(document.paragraphs[0].runs.size(), 1u) << c.what;
        EXPECT_EQ(document.paragraphs[0].runs[0].format.fontFamily, c.family) << c.what;
    }
}

TEST(RtfReader, KnowsRtfByItsFirstBytes)
{
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi}"));
    EXPECT_TRUE(LooksLikeRtf("{\\rtf"));
    EXPECT_FALSE(LooksLikeRtf(" {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf("plain text"));
    EXPECT_FALSE(LooksLikeRtf(""));
}

QByteArray repeated(const char* piece, int count)
{
    return QByteArray(piece).repeated(count);
}

QByteArray randomBytes(std::size_t size)
{
    std::mt19937 generator(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes("{\\rtf1 ");
    for (std::size_t i = 0; i < size; ++i) {
        bytes.append(static_cast<char>(byte(generator)));
    }
    return bytes;
}

// Hostile input loads as far as it makes sense; none of it may crash the
// reader or keep it busy for long (a sanitizer build checks the memory).
TEST(RtfReader, HostileInputLoadsAsFarAsItMakesSense)
{
    struct Case {
        const char* what;
        QByteArray rtf;
        QString text;
    };
    const Case cases[] = {
        {"deep nesting around text", "{\\rtf1 " + repeated("{", 100000) + "x" + repeated("}", 100000) + "}",
         QString()},
        {"deep nesting before text", "{\\rtf1 " + repeated("{", 5000) + repeated("}", 5000) + "after}",
         QStringLiteral("after")},
        {"huge numbers", R"({\rtf1\fs99999999999999999999 a\u99999999999999 b\uc-5\u1055 c\cf2147483648 d})",
         QStringLiteral("a\uFFFDПcd")},
        {"a huge \\bin", R"({\rtf1 a\bin2147483647 xyz})", QStringLiteral("a")},
        {"a negative \\bin", R"({\rtf1 a\bin-5 b})", QStringLiteral("ab")},
        {"a huge \\uc", R"({\rtf1\uc2147483647\u1055 abc}def)", QStringLiteral("П")},
        {"a document cut short in a group", "{\\rtf1 abc{\\b de", QStringLiteral("abcde")},
        {"cut short after a backslash", "{\\rtf1 ab\\", QStringLiteral("ab")},
        {"cut short in a hex byte", "{\\rtf1 ab\\'4", QStringLiteral("ab")},
        {"cut short in a font table", "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Ari", QString()},
        {"more closing braces than opening", "{\\rtf1 a}}}}}}", QStringLiteral("a")},
        {"a thousand-letter control word", "{\\rtf1 " + repeated("\\", 1) + repeated("x", 1000) + " y}",
         QStringLiteral("y")},
        {"a hundred thousand paragraphs", "{\\rtf1 " + repeated("\\par", 100000) + "}",
         QString(99999, QLatin1Char('\n'))},
        {"colours and fonts without end", "{\\rtf1{\\colortbl" + repeated(";", 50000) + "}{\\fonttbl" +
                                              repeated("\\f1\\fcharset204 A;", 20000) + "}\\cf49999\\f1\\'e0}",
         QStringLiteral("а")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textOf(c.rtf), c.text) << c.what;
    }
    // Junk after a valid start: anything may come out, but it comes out.
    const RichDocument junk = ReadRtf(randomBytes(1 << 20));
    EXPECT_FALSE(junk.paragraphs.empty());
}

} // namespace
} // namespace richtext
