#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

namespace visio::pkg {

// How one element was written where it differs from the part's plain style.
// Raw bytes are written again only while the node still has the name and
// values it was read with (pugixml overwrites a string in the parse buffer
// in place when the new one fits, so an unchanged offset proves nothing).
struct ElementStyle {
    std::optional<bool> emptyAsPair;     // this empty element was written <X></X> (or <X/>)
    std::string rawHead;                 // "<X  a = '1'" up to '>' or "/>", when irregular
    std::string rawEndTag;               // "</X >", when irregular
    std::string name;                    // as parsed
    std::vector<std::string> attributes; // names and values as parsed, in turn
};

// Text whose escapes differ from the plain ones (&#65; for A, &quot;).
struct TextStyle {
    std::string raw;
    std::string value;                   // as parsed
};

// A processing instruction written otherwise than "<?name value?>".
struct InstructionStyle {
    std::string raw;
    std::string name;                    // as parsed
    std::string value;
};

// What pugixml's tree does not keep of how a part was written, keyed by the byte
// offset in the parse buffer of the name (elements, instructions) or of the text.
// Everything not listed is in the part's plain style: attributes as
// ` name=<q>value<q>`, escapes &amp; &lt; &gt; and the quote's entity.
struct XmlStyle {
    bool emptyAsPair = false;            // the part writes an empty element as <X></X>
    std::unordered_map<std::size_t, ElementStyle> elements;
    std::unordered_map<std::size_t, TextStyle> texts;
    std::unordered_map<std::size_t, InstructionStyle> instructions;

    bool empty() const { return elements.empty() && texts.empty() && instructions.empty(); }
};

// The outcome of reading a part's raw text before pugixml parses it in place.
struct XmlScan {
    XmlStyle style;
    char quote = '\'';                                // of the first attribute
    std::optional<std::size_t> rootBegin;             // offset of the root's '<'
    std::optional<std::size_t> rootEnd;               // offset just past the root
    std::optional<std::size_t> doctypeAt;             // a document type declaration
};

// Reads the markup of `text`. Well-formed text is described completely; on
// malformed text it stops where it cannot go on (the parser then reports the
// fault), leaving rootEnd unset.
XmlScan scanXmlStyle(std::string_view text);

// The offset of `text` in `buffer`, or npos when pugixml holds it elsewhere (a
// name or value set after parsing that did not fit in place).
inline std::size_t offsetIn(std::string_view buffer, const char* text) {
    auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    auto at = reinterpret_cast<std::uintptr_t>(text);
    return at >= begin && at < begin + buffer.size() ? at - begin : std::string_view::npos;
}

// Completes `style` from the tree parsed in place from `buffer`: records the
// names and values its noted nodes were read with.
void recordParsedValues(XmlStyle& style, pugi::xml_node root, std::string_view buffer);

} // namespace visio::pkg
