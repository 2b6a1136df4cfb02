// Opening a package as a Visio document: the main part, the pages and masters
// that its relationships name, checked before any command sees the document.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/visio/detail/Internal.h"

namespace visio::detail {

namespace {

const char* const kVisioMainTypes[] = {
    "application/vnd.ms-visio.drawing.main+xml",
    "application/vnd.ms-visio.drawing.macroEnabled.main+xml",
    "application/vnd.ms-visio.stencil.main+xml",
    "application/vnd.ms-visio.stencil.macroEnabled.main+xml",
    "application/vnd.ms-visio.template.main+xml",
    "application/vnd.ms-visio.template.macroEnabled.main+xml",
};

bool isVisioMainType(const std::string& type) {
    return std::any_of(std::begin(kVisioMainTypes), std::end(kVisioMainTypes),
                       [&](const char* t) { return type == t; });
}

// The part that relationship `rid` of `source` names; it must exist.
std::string requiredTarget(const Package& package, const std::string& source, const std::string& rid,
                           const std::string& label) {
    for (const Relationship& rel : readRelationships(package, source)) {
        if (rel.id != rid)
            continue;
        if (rel.external)
            throw VisioError(label + ": relationship " + rid + " of " + source + " points outside the package");
        std::string part = resolvePartName(source, rel.target);
        if (!package.has(part))
            throw VisioError(label + ": part " + part + " named by relationship " + rid + " of " + source +
                             " is missing");
        return part;
    }
    throw VisioError(label + ": " + source + " refers to relationship " + rid + ", which its .rels part lacks");
}

std::optional<std::string> relatedPart(const Package& package, const std::string& source,
                                       const std::string& type, const std::string& label) {
    std::optional<std::string> part = findRelatedPart(package, source, type);
    if (part && !package.has(*part))
        throw VisioError(label + ": part " + *part + " named by the relationships of " + source + " is missing");
    return part;
}

void indexContainers(DocumentData& doc, XmlPart& listPart, const std::string& listPartName,
                     const char* entryName, SheetContainer::Kind kind,
                     std::vector<std::unique_ptr<SheetContainer>>& out) {
    for (pugi::xml_node entry : listPart.root().children(entryName)) {
        auto c = std::make_unique<SheetContainer>();
        c->doc = &doc;
        c->kind = kind;
        c->entry = entry;
        pugi::xml_node rel = entry.child("Rel");
        if (rel) {
            c->partName = requiredTarget(*doc.package, listPartName, rel.attribute("r:id").value(),
                                         doc.fileLabel());
        } else if (kind == SheetContainer::Kind::Master || !doc.stencil) {
            throw VisioError(doc.fileLabel() + ": " + std::string(entryName) + " " +
                             entry.attribute("ID").value() + " in " + listPartName + " has no part");
        }
        out.push_back(std::move(c));
    }
}

} // namespace

std::string baseNameOf(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return name;
}

std::unique_ptr<XmlPart> DocumentData::parsePart(const std::string& partName) const {
    return XmlPart::parse(package->read(partName), fileLabel() + ": " + partName);
}

std::unique_ptr<DocumentData> loadDocument(std::unique_ptr<Package> package, const std::string& label,
                                           ApplicationData* app) {
    auto doc = std::make_unique<DocumentData>();
    doc->app = app;
    doc->package = std::move(package);
    doc->name = label;

    std::optional<std::string> main = findRelatedPart(*doc->package, "/", kRelDocument);
    if (!main)
        throw VisioError(label + ": not a Visio drawing (the package has no Visio document part)");
    if (!doc->package->has(*main))
        throw VisioError(label + ": part " + *main + " named by the package relationships is missing");
    std::string type = contentTypeOf(*doc->package, *main);
    if (!type.empty() && !isVisioMainType(type))
        throw VisioError(label + ": not a Visio drawing (its main part is of type " + type + ")");
    doc->stencil = type.find(".stencil.") != std::string::npos;
    doc->documentPart = *main;
    doc->document = doc->parsePart(*main);
    if (std::string(doc->document->root().name()) != "VisioDocument")
        throw VisioError(label + ": " + *main + " is not a Visio document part");

    if (auto pages = relatedPart(*doc->package, *main, kRelPages, label)) {
        doc->pagesPart = *pages;
        doc->pagesXml = doc->parsePart(*pages);
        indexContainers(*doc, *doc->pagesXml, *pages, "Page", SheetContainer::Kind::Page, doc->pages);
    }
    if (auto masters = relatedPart(*doc->package, *main, kRelMasters, label)) {
        doc->mastersPart = *masters;
        doc->mastersXml = doc->parsePart(*masters);
        indexContainers(*doc, *doc->mastersXml, *masters, "Master", SheetContainer::Kind::Master, doc->masters);
        for (auto& m : doc->masters)
            doc->masterById[m->id()] = m.get();
    }
    // A stencil keeps one page entry without a part; it is not a page of shapes.
    if (doc->stencil)
        std::erase_if(doc->pages, [](const auto& p) { return p->partName.empty(); });
    return doc;
}

void DocumentData::markDirty(const std::string& partName, XmlPart* part) { dirtyParts[partName] = part; }

// A part is serialized when the package packs it, one at a time, so that a
// save holds the bytes of one part beside the trees, not of every part.
void DocumentData::flushParts() {
    for (auto& [partName, part] : dirtyParts) {
        XmlPart* tree = part;
        package->writeLater(partName, [tree] { return tree->serialize(); });
    }
    dirtyParts.clear();
}

// ---- SheetContainer ----

void SheetContainer::load() {
    if (contents || partName.empty())
        return;
    contents = doc->parsePart(partName);
    pugi::xml_node shapes = contents->root().child("Shapes");
    for (pugi::xml_node shape : shapes.children("Shape"))
        indexShape(shape);
}

void SheetContainer::indexShape(pugi::xml_node shape) {
    int id = shape.attribute("ID").as_int();
    byId[id] = shape.internal_object();
    maxId = std::max(maxId, id);
    for (pugi::xml_node sub : shape.child("Shapes").children("Shape"))
        indexShape(sub);
}

pugi::xml_node SheetContainer::root() {
    load();
    if (!contents)
        throw VisioError(doc->fileLabel() + ": " + label() + " has no shapes part");
    return contents->root();
}

pugi::xml_node SheetContainer::topShapes(bool create) {
    pugi::xml_node r = root();
    pugi::xml_node shapes = r.child("Shapes");
    if (!shapes && create) {
        // Shapes stands before Connects and the other page-level elements.
        shapes = r.first_child() ? r.insert_child_before("Shapes", r.first_child()) : r.append_child("Shapes");
    }
    return shapes;
}

void SheetContainer::markChanged() {
    load();
    formulaCellCache.clear();
    if (kind == Kind::Master) {
        rowListCache.clear();
        lookups.clear();
        ++doc->masterGeneration;
    }
    doc->markDirty(partName, contents.get());
}

void SheetContainer::sheetChanged(pugi::xml_node_struct* shape) {
    if (shape == entry.child("PageSheet").internal_object()) {
        if (kind == Kind::Page)
            doc->markDirty(doc->pagesPart, doc->pagesXml.get());
        else
            doc->markDirty(doc->mastersPart, doc->mastersXml.get());
    }
    markChanged();
}

ShapeLookups& SheetContainer::lookupsOf(pugi::xml_node_struct* shape) {
    ShapeLookups& found = lookups[shape];
    if (found.masterGeneration != doc->masterGeneration) {
        found.rows.clear();
        found.rowKeying.clear();
        found.names.clear();
        found.masterKnown = false;
        found.masterGeneration = doc->masterGeneration;
    }
    return found;
}

void SheetContainer::structureChanged() {
    childCache.clear();
    markChanged();
}

const std::vector<pugi::xml_node_struct*>& SheetContainer::childrenOf(pugi::xml_node_struct* parent) {
    auto it = childCache.find(parent);
    if (it != childCache.end())
        return it->second;
    pugi::xml_node p(parent);
    pugi::xml_node shapes = std::strcmp(p.name(), "Shapes") == 0 ? p : p.child("Shapes");
    std::vector<pugi::xml_node_struct*> list;
    for (pugi::xml_node s : shapes.children("Shape"))
        list.push_back(s.internal_object());
    return childCache.emplace(parent, std::move(list)).first->second;
}

std::vector<int> SheetContainer::gluedTo(const std::set<int>& ids) {
    if (!connectsIndexed) {
        connectsByTarget.clear();
        std::size_t place = 0;
        for (pugi::xml_node c : root().child("Connects").children("Connect"))
            connectsByTarget[c.attribute("ToSheet").as_int()].emplace_back(place++, c.attribute("FromSheet").as_int());
        connectsIndexed = true;
    }
    std::vector<std::pair<std::size_t, int>> records;
    for (int id : ids)
        if (auto it = connectsByTarget.find(id); it != connectsByTarget.end())
            records.insert(records.end(), it->second.begin(), it->second.end());
    std::sort(records.begin(), records.end());
    std::vector<int> from;
    from.reserve(records.size());
    for (const auto& record : records)
        from.push_back(record.second);
    return from;
}

std::string SheetContainer::label() const {
    const char* n = entry.attribute("NameU") ? entry.attribute("NameU").value() : entry.attribute("Name").value();
    if (entry.attribute("Name"))
        n = entry.attribute("Name").value();
    return std::string(kind == Kind::Page ? "page '" : "master '") + n + "'";
}

} // namespace visio::detail
