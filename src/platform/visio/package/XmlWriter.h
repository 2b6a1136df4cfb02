#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "platform/visio/package/XmlStyle.h"

namespace visio::pkg {

// Writes the element `root` and everything under it in the part's style:
// attributes as ` name=<quote>value<quote>`, escapes &amp; &lt; &gt; and the
// quote's entity, text and white space as they are, and, where `style` noted a
// node written otherwise and the node is unchanged, the bytes it was read from.
// `buffer` is the text the tree was parsed from in place (offsets in `style`
// count from its start); `style` may be null.
void writeXml(std::string& out, pugi::xml_node root, std::string_view buffer, char quote,
              const XmlStyle* style);

} // namespace visio::pkg
