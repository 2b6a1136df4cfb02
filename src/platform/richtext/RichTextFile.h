#pragma once

// Text files into and out of a text pane: RTF with its formatting, any other
// file as plain text, and saving as RTF.

#include <stdexcept>
#include <string>

#include <QByteArray>
#include <QString>

#include "platform/richtext/RichDocument.h"

class QIODevice;
class QTextDocument;

namespace richtext {

// A file that could not be opened, created, read or written; the message is
// the one to show.
class RichTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of a file that is not RTF: UTF-8 when it is valid UTF-8 (a byte
// order mark dropped), UTF-16 after its byte order mark, otherwise
// Windows-1251. CR LF, CR and LF all end a line.
QString DecodePlainText(const QByteArray& bytes);

// A file's bytes as rich text: RTF when they begin as RTF does, otherwise
// plain text with one paragraph per line.
RichDocument ReadRichTextBytes(const QByteArray& bytes);

// Everything the device holds from its position on; "Failed to Load Stream"
// when a read fails.
QByteArray ReadAllFrom(QIODevice& device);

// Writes all bytes; "Failed to Save Stream" when the device takes fewer.
void WriteAllTo(QIODevice& device, const QByteArray& bytes);

// Replaces the content of `target` by the file. "Cannot open file <path>"
// when it cannot be opened, "Failed to Load Stream" when reading it fails;
// `target` is left as it was in both cases.
void LoadRichTextFile(QTextDocument& target, const std::string& path);

// Writes `source` as RTF to the file, whatever its name, through a new file
// beside it that then replaces it. "Cannot create file <path>" when no file
// can be created there, "Failed to Save Stream" when writing fails; a file
// that was there keeps its content in both cases.
void SaveRichTextFile(const QTextDocument& source, const std::string& path);

} // namespace richtext
