#include "platform/visio/detail/FieldText.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/visio/formula/Units.h"

namespace visio::detail {

namespace {

constexpr const char* kFieldSection = "Field";

// The Text element a reader draws: the shape's own, else its master's.
pugi::xml_node effectiveText(const ShapeRef& shape) {
    for (ShapeRef s = shape; s; s = masterShapeOf(s))
        if (pugi::xml_node text = s.node.child("Text"))
            return text;
    return {};
}

bool hasFieldSection(const ShapeRef& shape) {
    for (ShapeRef s = shape; s; s = masterShapeOf(s))
        if (localSection(s.node, kFieldSection))
            return true;
    return false;
}

CellAddress fieldCell(const std::string& index, const char* cell) {
    CellAddress a;
    a.section = kFieldSection;
    a.rowKey = index;
    a.rowByIndex = true;
    a.name = cell;
    a.formulaName = std::string("Fields.") + cell;
    return a;
}

bool fieldRowExists(const ShapeRef& shape, const std::string& index) {
    for (const RowInfo& row : rowsFor(shape, kFieldSection))
        if (row.key == index)
            return true;
    return false;
}

// Visio's general picture, which is all the masters here use for numbers.
bool hasGeneralFormat(const ShapeRef& shape, const std::string& index) {
    std::optional<FoundCell> format = findCell(shape, fieldCell(index, "Format"));
    if (!format)
        return true;
    std::string_view picture = format->cell.attribute("V").value();
    return picture.empty() || picture == "esc(0)";
}

// The display text of field row `index`; nothing when the row is gone or its
// value is one whose display depends on a picture (dates, measures) or is an
// error.
std::optional<std::string> displayText(const ShapeRef& shape, const std::string& index) {
    if (!fieldRowExists(shape, index))
        return std::nullopt;
    std::optional<FoundCell> value = findCell(shape, fieldCell(index, "Value"));
    if (!value || value->cell.attribute("E"))
        return std::nullopt;
    std::string_view unit = value->cell.attribute("U").value();
    const char* stored = value->cell.attribute("V").value();
    if (unit == "STR")
        return std::string(stored);
    if (!unit.empty() || !hasGeneralFormat(shape, index))
        return std::nullopt;
    double number = 0;
    const char* end = stored + std::strlen(stored);
    auto [stop, error] = std::from_chars(stored, end, number);
    if (error != std::errc() || stop != end || stop == stored)
        return std::nullopt;
    return formula::formatNumber(number);
}

std::string elementText(pugi::xml_node element) {
    std::string text;
    for (pugi::xml_node n : element.children())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
    return text;
}

void setElementText(pugi::xml_node element, const std::string& text) {
    while (element.first_child())
        element.remove_child(element.first_child());
    if (!text.empty())
        element.append_child(pugi::node_pcdata).set_value(text.c_str());
}

// Text stands after the cells and sections, before the data and sub-shapes.
pugi::xml_node copyTextInto(pugi::xml_node shape, pugi::xml_node masterText) {
    for (pugi::xml_node child : shape.children()) {
        std::string_view name = child.name();
        if (name == "Data1" || name == "Data2" || name == "Data3" || name == "ForeignData" || name == "Shapes")
            return shape.insert_copy_before(masterText, child);
    }
    return shape.append_copy(masterText);
}

struct FieldUpdate {
    std::string index;
    std::string text;
};

// Calls visit(shape) for `shape` and each of its sub-shapes that shows fields
// in its text, with that text.
template <typename Visit>
void forEachFieldShape(const ShapeRef& shape, Visit visit) {
    if (!shape)
        return;
    std::vector<pugi::xml_node> pending{shape.node};
    while (!pending.empty()) {
        ShapeRef current{shape.container, pending.back()};
        pending.pop_back();
        if (hasFieldSection(current))
            if (pugi::xml_node text = effectiveText(current))
                visit(current, text);
        for (pugi::xml_node sub : current.node.child("Shapes").children("Shape"))
            pending.push_back(sub);
    }
}

bool fieldCellWritten(const std::vector<CellAddress>& written, const std::string& index) {
    for (const CellAddress& address : written)
        if (address.section == kFieldSection && address.rowKey == index)
            return true;
    return false;
}

void applyUpdates(const ShapeRef& shape, pugi::xml_node text, const std::vector<FieldUpdate>& updates) {
    pugi::xml_node own = shape.node.child("Text");
    if (!own)
        own = copyTextInto(shape.node, text);
    for (const FieldUpdate& update : updates)
        for (pugi::xml_node fld : own.children("fld"))
            if (update.index == fld.attribute("IX").value())
                setElementText(fld, update.text);
    shape.container->markChanged();
}

} // namespace

FieldDisplays fieldDisplaysOf(const ShapeRef& shape) {
    FieldDisplays displays;
    forEachFieldShape(shape, [&](const ShapeRef& current, pugi::xml_node text) {
        for (pugi::xml_node fld : text.children("fld")) {
            std::string index = fld.attribute("IX").value();
            displays[{current.node.internal_object(), index}] = displayText(current, index);
        }
    });
    return displays;
}

void refreshFieldTexts(const ShapeRef& shape, const FieldDisplays& before, const std::vector<CellAddress>& written) {
    forEachFieldShape(shape, [&](const ShapeRef& current, pugi::xml_node text) {
        std::vector<FieldUpdate> updates;
        for (pugi::xml_node fld : text.children("fld")) {
            std::string index = fld.attribute("IX").value();
            std::optional<std::string> display = displayText(current, index);
            if (!display || *display == elementText(fld))
                continue;
            auto earlier = before.find({current.node.internal_object(), index});
            bool changed = earlier == before.end() || earlier->second != display ||
                           (current.node == shape.node && fieldCellWritten(written, index));
            if (changed)
                updates.push_back({std::move(index), std::move(*display)});
        }
        if (!updates.empty())
            applyUpdates(current, text, updates);
    });
}

std::string shownText(const ShapeRef& shape) {
    std::string raw;
    pugi::xml_node text = effectiveText(shape);
    for (pugi::xml_node n : text.children()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            raw += n.value();
        else if (std::strcmp(n.name(), "fld") == 0)
            raw += elementText(n);
    }
    return textAsRead(raw);
}

std::string textAsRead(const std::string& raw) {
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            text += raw[i];
            continue;
        }
        text += '\n';
        if (i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i;
    }
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

} // namespace visio::detail
