#include "platform/visio/detail/MasterCopy.h"

#include <algorithm>
#include <set>

namespace visio::detail {

namespace {

SheetContainer* findEquivalent(DocumentData& target, SheetContainer& source) {
    std::string uid = source.entry.attribute("UniqueID").value();
    std::string nameU = source.entry.attribute("NameU").value();
    for (auto& m : target.masters) {
        if (!uid.empty() && uid == m->entry.attribute("UniqueID").value())
            return m.get();
        if (m->entry.attribute("MatchByName").as_bool() && nameU == m->entry.attribute("NameU").value())
            return m.get();
    }
    return nullptr;
}

// masters.xml and its relationship, created when the document has none yet.
void ensureMastersPart(DocumentData& doc) {
    if (doc.mastersXml)
        return;
    doc.mastersPart = "/visio/masters/masters.xml";
    doc.mastersXml = XmlPart::create("Masters");
    pugi::xml_node root = doc.mastersXml->root();
    root.append_attribute("xmlns") = kVisioNamespace;
    root.append_attribute("xmlns:r") = kRelNamespace;
    root.append_attribute("xml:space") = "preserve";
    addRelationship(*doc.package, doc.documentPart, kRelMasters, doc.mastersPart);
    setContentTypeOverride(*doc.package, doc.mastersPart, kTypeMasters);
    doc.markDirty(doc.mastersPart, doc.mastersXml.get());
}

std::string freeMasterPartName(const DocumentData& doc) {
    for (int n = 1;; ++n) {
        std::string name = "/visio/masters/master" + std::to_string(n) + ".xml";
        if (!doc.package->has(name))
            return name;
    }
}

// Style sheets that the copied master uses and the document lacks are copied
// along, keeping their IDs when those are free.
void copyStyles(DocumentData& target, DocumentData& source, SheetContainer& master) {
    pugi::xml_node targetSheets = target.document->root().child("StyleSheets");
    pugi::xml_node sourceSheets = source.document->root().child("StyleSheets");
    if (!targetSheets || !sourceSheets)
        return;
    std::set<int> present;
    for (pugi::xml_node s : targetSheets.children("StyleSheet"))
        present.insert(s.attribute("ID").as_int());
    std::vector<int> wanted;
    master.load();
    for (auto& [id, node] : master.byId)
        for (const char* attr : {"LineStyle", "FillStyle", "TextStyle"})
            if (pugi::xml_attribute a = pugi::xml_node(node).attribute(attr))
                wanted.push_back(a.as_int());
    bool added = false;
    while (!wanted.empty()) {
        int id = wanted.back();
        wanted.pop_back();
        if (present.count(id))
            continue;
        for (pugi::xml_node s : sourceSheets.children("StyleSheet")) {
            if (s.attribute("ID").as_int() != id)
                continue;
            targetSheets.append_copy(s);
            present.insert(id);
            added = true;
            for (const char* attr : {"LineStyle", "FillStyle", "TextStyle"})
                if (pugi::xml_attribute a = s.attribute(attr))
                    wanted.push_back(a.as_int());
        }
    }
    if (added)
        target.markDirty(target.documentPart, target.document.get());
}

} // namespace

SheetContainer* masterInDocument(DocumentData& target, SheetContainer& source) {
    if (source.doc == &target)
        return &source;
    if (SheetContainer* existing = findEquivalent(target, source))
        return existing;
    ensureMastersPart(target);
    int id = 0;
    for (auto& m : target.masters)
        id = std::max(id, m->id() + 1);
    std::string partName = freeMasterPartName(target);

    // The master part is taken over byte for byte: it is the master itself.
    std::string bytes = source.contents ? source.contents->serialize() : source.doc->package->read(source.partName);
    target.package->write(partName, bytes);
    setContentTypeOverride(*target.package, partName, kTypeMaster);
    std::string rid = addRelationship(*target.package, target.mastersPart, kRelMaster, partName);

    pugi::xml_node entry = target.mastersXml->root().append_copy(source.entry);
    entry.attribute("ID") = id;
    entry.remove_child("Rel");
    pugi::xml_node rel = entry.append_child("Rel");
    rel.append_attribute("r:id") = rid.c_str();
    target.markDirty(target.mastersPart, target.mastersXml.get());
    copyStyles(target, *source.doc, source);

    auto copy = std::make_unique<SheetContainer>();
    copy->doc = &target;
    copy->kind = SheetContainer::Kind::Master;
    copy->entry = entry;
    copy->partName = partName;
    SheetContainer* result = copy.get();
    target.masters.push_back(std::move(copy));
    target.masterById[id] = result;
    return result;
}

void relatePageToMaster(SheetContainer& page, SheetContainer& master) {
    if (!page.relatedMastersRead) {
        for (const Relationship& rel : readRelationships(*page.doc->package, page.partName))
            if (!rel.external)
                page.relatedMasters.insert(resolvePartName(page.partName, rel.target));
        page.relatedMastersRead = true;
    }
    if (page.relatedMasters.insert(master.partName).second)
        addRelationship(*page.doc->package, page.partName, kRelMaster, master.partName);
}

} // namespace visio::detail
