#include "platform/visio/package/PartXml.h"

#include "platform/visio/VisioError.h"
#include "platform/visio/package/PartName.h"

namespace visio::pkg {

std::string partLabel(const Package& package, const std::string& partName) {
    const std::string& path = package.sourcePath();
    return (path.empty() ? std::string("new package") : path) + ": " + partName;
}

std::unique_ptr<XmlPart> readXmlPart(const Package& package, const std::string& partName,
                                     std::string_view rootName) {
    if (!package.has(partName))
        return nullptr;
    std::string where = partLabel(package, partName);
    std::unique_ptr<XmlPart> part = XmlPart::parse(package.read(partName), where);
    if (localName(part->root()) != rootName)
        throw VisioError(where + ": the root element is <" + part->root().name() + ">, not <" +
                         std::string(rootName) + ">");
    return part;
}

std::unique_ptr<XmlPart> templatePart(const char* text, const std::string& partName) {
    return XmlPart::parse(text, "new part " + partName);
}

std::string_view localName(pugi::xml_node node) {
    std::string_view name = node.name();
    std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node appendPrefixedChild(pugi::xml_node parent, std::string_view localChildName) {
    std::string_view name = parent.name();
    std::size_t colon = name.find(':');
    std::string childName(colon == std::string_view::npos ? std::string_view() : name.substr(0, colon + 1));
    childName += localChildName;
    return parent.append_child(childName.c_str());
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldedName(a) == foldedName(b);
}

} // namespace visio::pkg
