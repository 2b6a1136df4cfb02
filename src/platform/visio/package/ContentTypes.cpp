#include "platform/visio/package/Package.h"
#include "platform/visio/package/PartXml.h"

namespace visio {
namespace {

const char kContentTypesPart[] = "/[Content_Types].xml";

// A new [Content_Types].xml in the style Visio writes it, with the two
// defaults every package needs.
const char kEmptyContentTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";

std::string_view extensionOf(std::string_view partName) {
    std::size_t slash = partName.rfind('/');
    std::size_t dot = partName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return partName.substr(dot + 1);
}

pugi::xml_node findEntry(pugi::xml_node types, std::string_view kind, const char* key, std::string_view value) {
    for (pugi::xml_node node : types.children())
        if (node.type() == pugi::node_element && pkg::localName(node) == kind &&
            pkg::sameIgnoringCase(node.attribute(key).value(), value))
            return node;
    return {};
}

} // namespace

std::string contentTypeOf(const Package& package, const std::string& partName) {
    std::unique_ptr<XmlPart> part = pkg::readXmlPart(package, kContentTypesPart, "Types");
    if (!part)
        return {};
    if (pugi::xml_node entry = findEntry(part->root(), "Override", "PartName", partName))
        return entry.attribute("ContentType").value();
    std::string_view extension = extensionOf(partName);
    if (extension.empty())
        return {};
    return findEntry(part->root(), "Default", "Extension", extension).attribute("ContentType").value();
}

void setContentTypeOverride(Package& package, const std::string& partName, const std::string& contentType) {
    std::unique_ptr<XmlPart> part = pkg::readXmlPart(package, kContentTypesPart, "Types");
    if (!part)
        part = pkg::templatePart(kEmptyContentTypes, kContentTypesPart);
    pugi::xml_node entry = findEntry(part->root(), "Override", "PartName", partName);
    if (!entry) {
        entry = pkg::appendPrefixedChild(part->root(), "Override");
        entry.append_attribute("PartName") = partName.c_str();
    }
    pugi::xml_attribute type = entry.attribute("ContentType");
    if (!type)
        type = entry.append_attribute("ContentType");
    type = contentType.c_str();
    package.write(kContentTypesPart, part->serialize());
}

} // namespace visio
