#pragma once

// Windows code pages, converted by the system's iconv: the bytes of RTF text
// and of plain-text files that are not UTF-8.

#include <QByteArray>
#include <QString>

namespace richtext {

inline constexpr int kWindowsLatin1 = 1252;
inline constexpr int kWindowsCyrillic = 1251;

// The code page of an RTF font charset (\fcharsetN): 204 is 1251, 238 is
// 1250, 128 is 932 and so on. 0 for the ANSI (0) and default (1) charsets and
// for numbers that name no code page: the document's code page applies.
int CodePageOfCharset(int charset);

// Decodes bytes of a code page. A byte sequence that the page does not define
// becomes U+FFFD; a code page the system cannot convert is read as 1252.
QString DecodeCodePage(const QByteArray& bytes, int codePage);

// The bytes of one character in a code page; empty when the page lacks it.
QByteArray EncodeCodePage(char32_t character, int codePage);

} // namespace richtext
