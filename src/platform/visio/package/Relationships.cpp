#include <set>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/Package.h"
#include "platform/visio/package/PartXml.h"

namespace visio {
namespace {

// A new .rels part in the style Visio writes them.
const char kEmptyRelationships[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>";

std::vector<Relationship> relationshipsIn(pugi::xml_node root, const std::string& where) {
    std::vector<Relationship> relationships;
    for (pugi::xml_node node : root.children()) {
        if (node.type() != pugi::node_element || pkg::localName(node) != "Relationship")
            continue;
        Relationship relationship;
        relationship.id = node.attribute("Id").value();
        relationship.type = node.attribute("Type").value();
        relationship.target = node.attribute("Target").value();
        relationship.external = std::string_view(node.attribute("TargetMode").value()) == "External";
        if (relationship.id.empty() || relationship.target.empty())
            throw VisioError(where + ": a relationship has no Id or no Target");
        relationships.push_back(std::move(relationship));
    }
    return relationships;
}

} // namespace

std::vector<Relationship> readRelationships(const Package& package, const std::string& sourcePart) {
    std::string relsName = relationshipsPartName(sourcePart);
    std::unique_ptr<XmlPart> part = pkg::readXmlPart(package, relsName, "Relationships");
    if (!part)
        return {};
    return relationshipsIn(part->root(), pkg::partLabel(package, relsName));
}

std::optional<std::string> findRelatedPart(const Package& package, const std::string& sourcePart,
                                           const std::string& type) {
    for (const Relationship& relationship : readRelationships(package, sourcePart))
        if (relationship.type == type && !relationship.external)
            return resolvePartName(sourcePart, relationship.target);
    return std::nullopt;
}

std::string addRelationship(Package& package, const std::string& sourcePart, const std::string& type,
                            const std::string& targetPart) {
    std::string relsName = relationshipsPartName(sourcePart);
    std::unique_ptr<XmlPart> part = pkg::readXmlPart(package, relsName, "Relationships");
    if (!part)
        part = pkg::templatePart(kEmptyRelationships, relsName);
    std::set<std::string> taken;
    for (const Relationship& relationship : relationshipsIn(part->root(), pkg::partLabel(package, relsName)))
        taken.insert(relationship.id);
    int number = 1;
    while (taken.count("rId" + std::to_string(number)))
        ++number;
    std::string id = "rId" + std::to_string(number);
    pugi::xml_node node = pkg::appendPrefixedChild(part->root(), "Relationship");
    node.append_attribute("Id") = id.c_str();
    node.append_attribute("Type") = type.c_str();
    node.append_attribute("Target") = relativeTarget(sourcePart, targetPart).c_str();
    package.write(relsName, part->serialize());
    return id;
}

} // namespace visio
