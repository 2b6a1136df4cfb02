#pragma once

#include "platform/visio/detail/Internal.h"

namespace visio::detail {

// The master of `target` that stands for `source` (a master of any open
// document): the same master itself, a document master with the same UniqueID,
// or one with the same universal name that matches by name; otherwise a copy of
// `source` added to `target` with its part, relationships and styles.
SheetContainer* masterInDocument(DocumentData& target, SheetContainer& source);

// Makes sure `page` has a relationship to the master's part.
void relatePageToMaster(SheetContainer& page, SheetContainer& master);

} // namespace visio::detail
