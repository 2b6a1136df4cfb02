#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "platform/visio/package/Package.h"
#include "platform/visio/package/XmlPart.h"

namespace visio::pkg {

// "drawing.vsdx: /_rels/.rels", how errors name a part of a package.
std::string partLabel(const Package& package, const std::string& partName);

// The part parsed, or null when the package has no such part; VisioError when
// it is not well-formed or its root is not `rootName` (in any namespace prefix).
std::unique_ptr<XmlPart> readXmlPart(const Package& package, const std::string& partName,
                                     std::string_view rootName);

// `text` parsed as a new part (a template the package layer writes itself).
std::unique_ptr<XmlPart> templatePart(const char* text, const std::string& partName);

// The name without its namespace prefix: "pr:Relationship" -> "Relationship".
std::string_view localName(pugi::xml_node node);

// A child element named like its parent's prefix would have it: under
// "pr:Types", "Override" becomes "pr:Override".
pugi::xml_node appendPrefixedChild(pugi::xml_node parent, std::string_view localChildName);

// ASCII case-insensitive equality, as OPC compares part names and extensions.
bool sameIgnoringCase(std::string_view a, std::string_view b);

} // namespace visio::pkg
