#include "platform/visio/package/XmlPart.h"

#include <cstring>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/XmlMemory.h"
#include "platform/visio/package/XmlStyle.h"
#include "platform/visio/package/XmlWriter.h"

namespace visio {
namespace {

// White space text is kept (Visio's text runs depend on it), line ends stay as
// they are (no \r\n folding), comments and instructions stay in the tree,
// entities are decoded, and a document type is parsed only to be refused.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_escapes | pugi::parse_ws_pcdata | pugi::parse_doctype;

const char kVisioDeclaration[] = "<?xml version='1.0' encoding='utf-8' ?>\r\n";

[[noreturn]] void notWellFormed(const std::string& where, const std::string& problem, std::size_t offset) {
    throw VisioError(where + ": not well-formed XML (" + problem + ") at byte " + std::to_string(offset));
}

void checkTopLevel(const pugi::xml_document& doc, const std::string& where, std::size_t rootBegin) {
    int elements = 0;
    for (pugi::xml_node node : doc.children()) {
        if (node.type() == pugi::node_doctype)
            throw VisioError(where + ": a document type declaration is not allowed");
        if (node.type() == pugi::node_element && ++elements > 1)
            notWellFormed(where, "more than one root element", rootBegin);
    }
}

} // namespace

std::unique_ptr<XmlPart> XmlPart::parse(std::string bytes, const std::string& where) {
    pkg::UseLargeRegionsForXmlTrees();
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        notWellFormed(where, "NUL character", static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
    pkg::XmlScan scan = pkg::scanXmlStyle(bytes);
    if (scan.doctypeAt)
        throw VisioError(where + ": a document type declaration is not allowed (at byte " +
                         std::to_string(*scan.doctypeAt) + ")");

    std::unique_ptr<XmlPart> part(new XmlPart);
    part->buffer_ = std::move(bytes);
    if (scan.rootBegin && scan.rootEnd) {
        part->prolog_ = part->buffer_.substr(0, *scan.rootBegin);
        part->epilog_ = part->buffer_.substr(*scan.rootEnd);
    }
    pugi::xml_parse_result result = part->doc_.load_buffer_inplace(
        part->buffer_.data(), part->buffer_.size(), kParseOptions, pugi::encoding_utf8);
    if (!result)
        notWellFormed(where, result.description(), static_cast<std::size_t>(result.offset));
    checkTopLevel(part->doc_, where, scan.rootBegin.value_or(0));
    // The tree and the scan must agree on where the root is, or the bytes kept
    // around it would be wrong.
    const char* rootName = part->root().name();
    if (!scan.rootBegin || !scan.rootEnd || rootName != part->buffer_.data() + *scan.rootBegin + 1)
        notWellFormed(where, "unreadable markup", scan.rootBegin.value_or(0));

    pkg::recordParsedValues(scan.style, part->root(), part->buffer_);
    part->quote_ = scan.quote;
    part->style_ = std::make_shared<const pkg::XmlStyle>(std::move(scan.style));
    return part;
}

std::unique_ptr<XmlPart> XmlPart::create(const std::string& rootName) {
    pkg::UseLargeRegionsForXmlTrees();
    std::unique_ptr<XmlPart> part(new XmlPart);
    part->prolog_ = kVisioDeclaration;
    part->doc_.append_child(rootName.c_str());
    return part;
}

std::string XmlPart::serialize() const {
    std::string out;
    out.reserve(prolog_.size() + buffer_.size() + epilog_.size() + 256);
    out += prolog_;
    if (pugi::xml_node top = root())
        pkg::writeXml(out, top, buffer_, quote_, style_.get());
    out += epilog_;
    return out;
}

} // namespace visio
