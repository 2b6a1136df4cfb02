// Shape handles: names, text, cells and z-order.

#include <algorithm>
#include <cstring>

#include "platform/visio/detail/CellValues.h"
#include "platform/visio/detail/FieldText.h"

namespace visio {

using detail::CellAddress;
using detail::ShapeRef;

namespace {

ShapeRef refOf(detail::SheetContainer* c, pugi::xml_node_struct* n) {
    if (!c || !n)
        throw VisioError("The shape reference holds no shape (nothing was selected)");
    return {c, pugi::xml_node(n)};
}

pugi::xml_node textElement(const ShapeRef& shape) {
    for (ShapeRef s = shape; s; s = detail::masterShapeOf(s))
        if (pugi::xml_node t = s.node.child("Text"))
            return t;
    return {};
}

// The characters of a Text element; the cp/pp/tp/fld markers carry no text.
std::string textOf(pugi::xml_node text) {
    std::string raw;
    for (pugi::xml_node n : text.children())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            raw += n.value();
    return detail::textAsRead(raw);
}

// Offsets of code points, so that ranges count characters, not bytes.
size_t byteOffset(const std::string& text, int chars) {
    size_t i = 0;
    for (int n = 0; n < chars && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i;
}

} // namespace

std::string Shape::Name() const { return detail::shapeName(refOf(container_, node_)); }

std::string Shape::NameU() const {
    ShapeRef s = refOf(container_, node_);
    if (const char* n = s.node.attribute("NameU").value(); *n)
        return n;
    return detail::shapeName(s);
}

int Shape::ID() const { return refOf(container_, node_).node.attribute("ID").as_int(); }

std::string Shape::Text() const { return textOf(textElement(refOf(container_, node_))); }

std::string Shape::ShownText() const { return detail::shownText(refOf(container_, node_)); }

void Shape::SetText(const std::string& text) {
    ShapeRef s = refOf(container_, node_);
    pugi::xml_node t = s.node.child("Text");
    if (!t) {
        // Text stands after the cells and sections, before the sub-shapes.
        pugi::xml_node sub = s.node.child("Shapes");
        t = sub ? s.node.insert_child_before("Text", sub) : s.node.append_child("Text");
    }
    while (t.first_child())
        t.remove_child(t.first_child());
    if (text.empty()) {
        // Readers skip an empty <Text/> and draw the master's text through it;
        // a character-format marker alone is a text of no characters.
        t.append_child("cp").append_attribute("IX") = "0";
    } else {
        t.append_child(pugi::node_pcdata).set_value(text.c_str());
    }
    s.container->markChanged();
}

Characters Shape::GetCharacters() const {
    refOf(container_, node_);
    Characters c;
    c.container_ = container_;
    c.shape_ = node_;
    c.begin_ = 0;
    // End defaults to the length of the text, in characters.
    std::string t = Text();
    int count = 0;
    for (unsigned char ch : t)
        if ((ch & 0xC0) != 0x80)
            ++count;
    c.end_ = count;
    return c;
}

std::string Characters::Text() const {
    std::string t = Shape(container_, shape_).Text();
    size_t b = byteOffset(t, begin_), e = byteOffset(t, end_);
    return e > b ? t.substr(b, e - b) : std::string();
}

void Characters::SetText(const std::string& text) {
    Shape shape(container_, shape_);
    std::string t = shape.Text();
    size_t b = byteOffset(t, begin_), e = std::max(b, byteOffset(t, end_));
    shape.SetText(t.substr(0, b) + text + t.substr(e));
}

Shapes Shape::GetShapes() const {
    ShapeRef s = refOf(container_, node_);
    Shapes out;
    out.container_ = container_;
    out.parent_ = s.node.internal_object();
    return out;
}

Cell Shape::Cells(const std::string& name) const {
    ShapeRef s = refOf(container_, node_);
    std::optional<CellAddress> a = detail::addressOfName(s, name);
    if (!a)
        throw VisioError("Shape '" + Name() + "' has no cell " + name);
    if (a->formulaName.empty())
        a->formulaName = name;
    return cellAt(std::move(*a));
}

Cell Shape::cellAt(detail::CellAddress address) const {
    Cell cell;
    cell.container_ = container_;
    cell.shape_ = node_;
    cell.address_ = std::make_shared<const detail::CellAddress>(std::move(address));
    return cell;
}

namespace {

std::string describeSRC(int section, int row, int column) {
    if (section == visSectionProp)
        return "property row " + std::to_string(row);
    if (section == visSectionUser)
        return "user row " + std::to_string(row);
    if (section == visSectionConnectionPts)
        return "connection point row " + std::to_string(row);
    return "cell (" + std::to_string(section) + ", " + std::to_string(row) + ", " + std::to_string(column) + ")";
}

} // namespace

Cell Shape::CellsSRC(int section, int row, int column) const {
    ShapeRef s = refOf(container_, node_);
    std::optional<CellAddress> a = detail::addressOfSRC(s, section, row, column);
    if (!a)
        throw VisioError("Shape '" + Name() + "' has no " + describeSRC(section, row, column));
    return cellAt(std::move(*a));
}

int Shape::CellsSRCExists(int section, int row, int column, int localOnly) const {
    ShapeRef s = refOf(container_, node_);
    if (!localOnly)
        return detail::existsSRC(s, section, row, column) ? -1 : 0;
    std::optional<CellAddress> a = detail::addressOfSRC(s, section, row, column);
    if (!a)
        return 0;
    if (a->section.empty())
        return detail::cellOf(s, *a) ? -1 : 0;
    return detail::localRow(s.node, *a) ? -1 : 0;
}

void Shape::SendToBack() const {
    ShapeRef s = refOf(container_, node_);
    pugi::xml_node parent = s.node.parent();
    if (parent.first_child() != s.node)
        parent.prepend_move(s.node);
    s.container->structureChanged();
}

int Shape::AddRow(int section, int row, int rowTag) const {
    ShapeRef s = refOf(container_, node_);
    const std::string type = rowTag == visTagLineTo ? "LineTo" : rowTag == visTagMoveTo ? "MoveTo" : "";
    if (section < visSectionFirstComponent || section >= visSectionAction || type.empty())
        throw VisioError("Shape '" + Name() + "': rows can only be added to a geometry section, as MoveTo or LineTo");
    const std::string name = "Geometry" + std::to_string(section - visSectionFirstComponent);
    int last = 0;
    for (const detail::RowInfo& r : detail::rowsFor(s, name))
        last = std::max(last, std::atoi(r.key.c_str()));
    if (row != visRowLast && row != last + 1)
        throw VisioError("Shape '" + Name() + "': a row can only be added after the last row of " + name);
    // A cell of the new row makes the section and the row; the row then
    // holds no cell until one is written.
    CellAddress a;
    a.section = name;
    a.rowKey = std::to_string(last + 1);
    a.rowByIndex = true;
    a.rowType = type;
    a.name.push_back('X'); // (an assignment from "X" trips a false warning of GCC 12)
    pugi::xml_node cell = detail::ensureLocalCell(s, a);
    cell.parent().remove_child(cell);
    s.container->sheetGrew(s.node.internal_object());
    s.container->sheetChanged(s.node.internal_object());
    return last + 1;
}

Master Shape::GetMaster() const {
    ShapeRef s = refOf(container_, node_);
    pugi::xml_attribute m = s.node.attribute("Master");
    if (!m)
        return Master();
    auto it = s.container->doc->masterById.find(m.as_int());
    return it == s.container->doc->masterById.end() ? Master() : Master(it->second);
}

Page Shape::ContainingPage() const {
    ShapeRef s = refOf(container_, node_);
    return s.container->kind == detail::SheetContainer::Kind::Page ? Page(s.container) : Page();
}

int Shapes::Count() const {
    if (!container_)
        return 0;
    return static_cast<int>(container_->childrenOf(parent_).size());
}

Shape Shapes::Item(int index) const {
    if (container_) {
        const auto& children = container_->childrenOf(parent_);
        if (index >= 1 && static_cast<size_t>(index) <= children.size())
            return Shape(container_, children[static_cast<size_t>(index - 1)]);
    }
    throw VisioError("There is no shape " + std::to_string(index) + " among " + std::to_string(Count()) +
                     " shapes");
}

} // namespace visio
