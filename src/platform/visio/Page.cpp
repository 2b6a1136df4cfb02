// Page handles: names, shapes, connections, and dropping masters.

#include <cstring>

#include "platform/visio/detail/CellValues.h"
#include "platform/visio/detail/MasterCopy.h"

namespace visio {

using detail::CellAddress;
using detail::SheetContainer;
using detail::ShapeRef;

namespace {

SheetContainer* pageOf(SheetContainer* data) {
    if (!data)
        throw VisioError("The page reference holds no page");
    return data;
}

CellAddress singleton(const char* name) {
    CellAddress a;
    a.name = name;
    a.formulaName = name;
    return a;
}

bool nameTaken(SheetContainer& page, const std::string& name) {
    if (!page.topNamesBuilt) {
        for (pugi::xml_node_struct* s : page.childrenOf(page.root().internal_object()))
            page.topNames.insert(detail::shapeName({&page, pugi::xml_node(s)}));
        page.topNamesBuilt = true;
    }
    return page.topNames.count(name) != 0;
}

// The instance's sub-shapes mirror the master's, each with its own new ID.
void addSubShapes(SheetContainer& page, pugi::xml_node masterShape, pugi::xml_node instance) {
    pugi::xml_node subs = masterShape.child("Shapes");
    if (!subs)
        return;
    pugi::xml_node out = instance.append_child("Shapes");
    for (pugi::xml_node m : subs.children("Shape")) {
        pugi::xml_node s = out.append_child("Shape");
        s.append_attribute("ID") = ++page.maxId;
        s.append_attribute("Type") = m.attribute("Type") ? m.attribute("Type").value() : "Shape";
        s.append_attribute("MasterShape") = m.attribute("ID").value();
        page.byId[page.maxId] = s.internal_object();
        addSubShapes(page, m, s);
    }
}

double masterValue(const ShapeRef& master, const char* name) {
    std::optional<formula::Value> v = detail::valueOf(master, singleton(name));
    return v && v->type != formula::Value::Type::String ? v->number : 0;
}

} // namespace

std::string Page::Name() const {
    pugi::xml_node e = pageOf(data_)->entry;
    return *e.attribute("Name").value() ? e.attribute("Name").value() : e.attribute("NameU").value();
}

std::string Page::NameU() const {
    pugi::xml_node e = pageOf(data_)->entry;
    return *e.attribute("NameU").value() ? e.attribute("NameU").value() : e.attribute("Name").value();
}

void Page::SetName(const std::string& name) {
    SheetContainer* page = pageOf(data_);
    if (name.empty())
        throw VisioError("A page name cannot be empty");
    pugi::xml_node e = page->entry;
    for (const char* attr : {"NameU", "Name", "IsCustomNameU", "IsCustomName"})
        if (!e.attribute(attr))
            e.insert_attribute_after(attr, e.attribute("ID"));
    e.attribute("NameU") = name.c_str();
    e.attribute("Name") = name.c_str();
    e.attribute("IsCustomNameU") = "1";
    e.attribute("IsCustomName") = "1";
    page->doc->markDirty(page->doc->pagesPart, page->doc->pagesXml.get());
}

int Page::ID() const { return pageOf(data_)->id(); }

Shapes Page::GetShapes() const {
    SheetContainer* page = pageOf(data_);
    Shapes s;
    s.container_ = page;
    s.parent_ = page->root().internal_object();
    return s;
}

Shape Page::PageSheet() const {
    SheetContainer* page = pageOf(data_);
    pugi::xml_node sheet = page->entry.child("PageSheet");
    if (!sheet)
        throw VisioError(page->label() + " has no page sheet");
    return Shape(page, sheet.internal_object());
}

Shape Page::Drop(const Master& master, double x, double y) {
    SheetContainer* page = pageOf(data_);
    if (!master)
        throw VisioError("Nothing to drop on " + page->label() + ": the master reference is empty");
    SheetContainer* m = detail::masterInDocument(*page->doc, *master.data_);
    pugi::xml_node masterTop = m->topShapes(false).child("Shape");
    if (!masterTop)
        throw VisioError(m->label() + " has no shape to drop");
    detail::relatePageToMaster(*page, *m);

    page->load();
    std::string masterName = m->entry.attribute("NameU").value();
    std::string localName = *m->entry.attribute("Name").value() ? m->entry.attribute("Name").value() : masterName;
    bool taken = nameTaken(*page, localName);
    pugi::xml_node shape = page->topShapes(true).append_child("Shape");
    int id = ++page->maxId;
    shape.append_attribute("ID") = id;
    shape.append_attribute("NameU") = (taken ? masterName + "." + std::to_string(id) : masterName).c_str();
    shape.append_attribute("Name") = (taken ? localName + "." + std::to_string(id) : localName).c_str();
    shape.append_attribute("Type") = masterTop.attribute("Type") ? masterTop.attribute("Type").value() : "Shape";
    shape.append_attribute("Master") = m->id();
    page->byId[id] = shape.internal_object();
    page->topNames.insert(shape.attribute("Name").value());
    addSubShapes(*page, masterTop, shape);
    page->structureChanged();

    ShapeRef ref{page, shape};
    ShapeRef masterRef{m, masterTop};
    std::vector<CellAddress> written;
    if (detail::findCell(masterRef, singleton("BeginX"))) {
        // A 1-D shape keeps its length: its ends move so that its middle is at (x, y).
        double bx = masterValue(masterRef, "BeginX"), by = masterValue(masterRef, "BeginY");
        double ex = masterValue(masterRef, "EndX"), ey = masterValue(masterRef, "EndY");
        double dx = x - (bx + ex) / 2, dy = y - (by + ey) / 2;
        for (auto [name, value] : {std::pair{"BeginX", bx + dx}, {"BeginY", by + dy}, {"EndX", ex + dx},
                                   {"EndY", ey + dy}}) {
            detail::writeConstant(ref, singleton(name), value, "");
            written.push_back(singleton(name));
        }
    } else {
        detail::writeConstant(ref, singleton("PinX"), x, "");
        detail::writeConstant(ref, singleton("PinY"), y, "");
        written = {singleton("PinX"), singleton("PinY")};
    }
    detail::recalculateAfter(ref, written);
    return Shape(page, shape.internal_object());
}

std::vector<Connect> Page::Connects() const {
    SheetContainer* page = pageOf(data_);
    std::vector<Connect> out;
    for (pugi::xml_node c : page->root().child("Connects").children("Connect"))
        out.push_back({c.attribute("FromSheet").as_int(), c.attribute("FromCell").value(),
                       c.attribute("ToSheet").as_int(), c.attribute("ToCell").value()});
    return out;
}

Shape Page::ShapeByID(int id) const {
    SheetContainer* page = pageOf(data_);
    page->load();
    auto it = page->byId.find(id);
    return it == page->byId.end() ? Shape() : Shape(page, it->second);
}

Shape Page::ShapeByName(const std::string& name) const {
    SheetContainer* page = pageOf(data_);
    for (pugi::xml_node_struct* s : page->childrenOf(page->root().internal_object()))
        if (detail::shapeName({page, pugi::xml_node(s)}) == name)
            return Shape(page, s);
    return Shape();
}

Document Page::GetDocument() const { return Document(pageOf(data_)->doc); }

} // namespace visio
