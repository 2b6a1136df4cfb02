#pragma once

// Writing RTF that Word, WordPad and LibreOffice Writer read.

#include <QByteArray>

#include "platform/richtext/RichDocument.h"

namespace richtext {

// The document as RTF: ANSI code page 1251, a font table of the families the
// runs use (Cyrillic charset), a colour table of their colours, each run a
// group with its format, each paragraph ended by \par. Text other than ASCII
// is written as \uN followed by its Windows-1251 byte for readers that do not
// know \uN, or "?" where that code page lacks the character.
QByteArray WriteRtf(const RichDocument& document);

} // namespace richtext
