#pragma once

// What a drawing or a stencil holds, as JSON: a drawing's pages, shapes with
// their element data, and the connections; a stencil's masters with their
// shapes, property rows and user rows.

#include <string>

#include "platform/visio/Visio.h"

namespace host {

// The JSON dump of the active document of `application`: every page, or only
// `page` (a name or 1-based index) when it is not empty. `file` is what the
// dump names as its source. Raises VisioError for a page that does not exist.
std::string DumpDrawing(const visio::Application& application, const std::string& file, const std::string& page);

// The JSON dump of `document`: its pages as DumpDrawing prints them, or, for a
// stencil, its masters. A stencil has no pages: asking for one raises
// VisioError.
std::string DumpDocument(const visio::Document& document, const std::string& file, const std::string& page);

} // namespace host
