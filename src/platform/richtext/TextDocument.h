#pragma once

// Rich text in and out of the QTextDocument of a text pane.

#include "platform/richtext/RichDocument.h"

class QTextDocument;

namespace richtext {

// Replaces the whole content of `target` by the document: a block per
// paragraph, each run with its character format. Sizes, colours and families
// that the document leaves open keep the pane's own.
void ToTextDocument(const RichDocument& document, QTextDocument& target);

// The content of `source` as paragraphs and runs. Sizes and families that a
// run leaves to the pane are filled in from the pane's default font, so that
// the text looks the same in another program.
RichDocument FromTextDocument(const QTextDocument& source);

} // namespace richtext
