#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

namespace visio {

namespace pkg {
struct XmlStyle;
}

// One XML part of a package, parsed into a pugixml tree and written back in the
// style it was read in: the bytes before the root element (the XML declaration
// and any whitespace) kept verbatim, the attribute quote character of the part
// (Visio writes single quotes), the entity escapes Visio uses (&amp; &lt; &gt;
// and &apos; or &quot; for the quote character), whitespace and line ends as
// they were. Parsing then serializing an unchanged Visio part gives its bytes
// back exactly.
//
// Hostile input: a document type declaration is refused (so no entity can be
// defined or expanded); malformed XML is refused with the byte offset.
class XmlPart {
public:
    // Parses `bytes`; `where` names the file and part for error messages
    // ("drawing.vsdx: /visio/pages/page1.xml"). Raises VisioError.
    static std::unique_ptr<XmlPart> parse(std::string bytes, const std::string& where);
    // A new part holding only the root element `rootName`, with the standard
    // XML declaration Visio writes and single-quoted attributes.
    static std::unique_ptr<XmlPart> create(const std::string& rootName);

    pugi::xml_document& document() { return doc_; }
    pugi::xml_node root() const { return doc_.document_element(); }

    std::string serialize() const;

private:
    XmlPart() = default;
    std::string buffer_;   // the parsed text; pugixml's strings point into it
    std::string prolog_;   // bytes before the root element
    std::string epilog_;   // bytes after the root element
    char quote_ = '\'';
    std::shared_ptr<const pkg::XmlStyle> style_;  // what the tree does not keep of the markup
    pugi::xml_document doc_;
};

} // namespace visio
