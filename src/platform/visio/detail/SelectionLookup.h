#pragma once

// Which shape of a page a word on the command line means when a session is
// opened with a selection.

#include <string>

#include "platform/visio/Visio.h"
#include "platform/visio/detail/Internal.h"

namespace visio::detail {

// The shape of `page` that `key` names: a shape ID (any depth), else the name
// of a top-level shape, else the one top-level shape whose first property row
// or whose shown text is `key` (blanks and line breaks count alike). VisioError
// when no shape fits, or when several fit the value or text (the message lists
// them by ID, name and text).
Shape shapeToSelect(SheetContainer* page, const std::string& key);

} // namespace visio::detail
