#pragma once

// Reading RTF: groups, control words, code pages, Unicode escapes, the font
// and colour tables, paragraphs and the character formats a pane shows.

#include <QByteArray>

#include "platform/richtext/RichDocument.h"

namespace richtext {

// True when the bytes begin as an RTF document does: "{\rtf".
bool LooksLikeRtf(const QByteArray& bytes);

// Reads an RTF document as far as it makes sense and never fails: unknown
// control words are ignored, destinations that hold no text of the document
// (fonts, styles, information, pictures, anything marked \*) are skipped, a
// document cut short ends where the bytes end, groups nested deeper than the
// reader keeps are skipped whole, and text after the document's last brace is
// ignored. \'hh bytes and text are decoded in the code page of the current
// font's charset, else of \ansicpg; \uN is a signed 16-bit unit followed by
// \ucN fallback characters, which are skipped.
RichDocument ReadRtf(const QByteArray& bytes);

} // namespace richtext
