#pragma once

// Which page a drawing opens on: the page its saved drawing window shows
// (visio/windows.xml), which Visio also keeps as TopPage in document.xml.

#include "platform/visio/detail/Internal.h"

namespace visio::detail {

// The ID of the page the saved window state marks: the Page of the first
// drawing window in windows.xml, else DocumentSettings TopPage; -1 when the
// drawing marks none.
int markedPageId(const DocumentData& doc);

// Records `pageId` as the page the drawing window shows, in windows.xml and as
// TopPage, so that the saved drawing opens on it. Parts that already mark it
// are left byte for byte as they are.
void markShownPage(DocumentData& doc, int pageId);

} // namespace visio::detail
