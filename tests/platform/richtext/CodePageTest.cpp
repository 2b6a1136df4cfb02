#include <gtest/gtest.h>

#include "platform/richtext/CodePage.h"

namespace richtext {
namespace {

TEST(CodePage, DecodesTheWindowsPagesThroughTheSystemConverter)
{
    struct Case {
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {1251, "\xcf\xf0\xe8\xe2\xe5\xf2 \xb8\xa8", QStringLiteral("Привет ёЁ")},
        {1252, "caf\xe9 \x80 \x93q\x94", QStringLiteral("café € “q”")},
        {1250, "\x8a\xe8", QStringLiteral("Šč")},
        {1253, "\xe1\xe2", QStringLiteral("αβ")},
        {932, "\x93\xfa\x96\x7b", QStringLiteral("日本")},
        {936, "\xd6\xd0\xce\xc4", QStringLiteral("中文")},
        {10000, "\x8e", QStringLiteral("é")},
        {65001, "\xd0\x96", QStringLiteral("Ж")},
        {20866, "\xf0\xd2\xc9", QStringLiteral("При")},
        // A code page nobody converts is read as 1252.
        {4242, "\xe9", QStringLiteral("é")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeCodePage(c.bytes, c.codePage), c.text) << c.codePage;
    }
}

TEST(CodePage, BytesThePageLacksBecomeReplacementCharacters)
{
    // 0x98 is the one byte Windows-1251 leaves undefined; 0x93 alone starts a
    // Shift-JIS character that never comes.
    EXPECT_EQ(DecodeCodePage("a\x98z", 1251), QStringLiteral("a\uFFFDz"));
    EXPECT_EQ(DecodeCodePage("a\x93", 932), QStringLiteral("a\uFFFD"));
    EXPECT_EQ(DecodeCodePage("", 1251), QString());
}

TEST(CodePage, CharsetsNameTheirCodePages)
{
    const std::pair<int, int> cases[] = {
        {204, 1251}, {238, 1250}, {161, 1253}, {162, 1254}, {177, 1255}, {178, 1256}, {186, 1257},
        {163, 1258}, {222, 874},  {128, 932},  {134, 936},  {129, 949},  {136, 950},  {77, 10000},
        // ANSI, default and symbol charsets follow the document; so does nonsense.
        {0, 0},      {1, 0},      {2, 0},      {-7, 0},     {999, 0},
    };
    for (const auto& [charset, codePage] : cases) {
        EXPECT_EQ(CodePageOfCharset(charset), codePage) << charset;
    }
}

TEST(CodePage, EncodesOneCharacterOrNothing)
{
    EXPECT_EQ(EncodeCodePage(U'П', 1251), QByteArray("\xcf"));
    EXPECT_EQ(EncodeCodePage(U'€', 1251), QByteArray("\x88"));
    EXPECT_EQ(EncodeCodePage(U'é', 1251), QByteArray());
    EXPECT_EQ(EncodeCodePage(U'日', 932), QByteArray("\x93\xfa"));
    EXPECT_EQ(EncodeCodePage(U'😀', 1251), QByteArray());
}

} // namespace
} // namespace richtext
