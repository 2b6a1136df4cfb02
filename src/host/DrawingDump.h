#pragma once

// What a drawing holds, as JSON: pages, shapes with their element data, and
// the connections.

#include <string>

#include "platform/visio/Visio.h"

namespace host {

// The JSON dump of the active document of `application`: every page, or only
// `page` (a name or 1-based index) when it is not empty. `file` is what the
// dump names as its source. Raises VisioError for a page that does not exist.
std::string DumpDrawing(const visio::Application& application, const std::string& file, const std::string& page);

} // namespace host
