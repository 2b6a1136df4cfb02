#include "platform/visio/detail/SelectionLookup.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/visio/detail/CellValues.h"
#include "platform/visio/detail/FieldText.h"

namespace visio::detail {

namespace {

constexpr int kPropertySection = 243;

// Runs of blanks, tabs and line breaks become one blank; none at either end.
std::string collapsedBlanks(const std::string& text) {
    std::string out;
    bool blank = false;
    for (unsigned char c : text) {
        if (std::isspace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += static_cast<char>(c);
    }
    return out;
}

// The value of the shape's first property row as shown; nothing without one.
std::optional<std::string> firstPropertyValue(const ShapeRef& shape) {
    std::optional<CellAddress> address = addressOfSRC(shape, kPropertySection, 0, 0);
    if (!address)
        return std::nullopt;
    std::optional<formula::Value> value = valueOf(shape, *address);
    if (!value)
        return std::nullopt;
    return value->type == formula::Value::Type::String ? value->text : valueText(value->number);
}

bool fitsValueOrText(const ShapeRef& shape, const std::string& wanted) {
    std::optional<std::string> value = firstPropertyValue(shape);
    if (value && collapsedBlanks(*value) == wanted)
        return true;
    return collapsedBlanks(shownText(shape)) == wanted;
}

std::string describeCandidates(const std::vector<ShapeRef>& shapes) {
    std::string list;
    for (const ShapeRef& shape : shapes) {
        list += "\n  ID " + std::string(shape.node.attribute("ID").value()) + ", '" + shapeName(shape) + "', text '" +
                collapsedBlanks(shownText(shape)) + "'";
    }
    return list;
}

} // namespace

Shape shapeToSelect(SheetContainer* page, const std::string& key) {
    Page handle = ApplicationData::page(page);
    bool numeric = !key.empty() && std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isdigit(c); });
    if (numeric && key.size() < 10)
        if (Shape s = handle.ShapeByID(std::stoi(key)))
            return s;
    if (Shape s = handle.ShapeByName(key))
        return s;
    std::vector<ShapeRef> fitting;
    const std::string wanted = collapsedBlanks(key);
    if (!wanted.empty()) {
        for (pugi::xml_node_struct* node : page->childrenOf(page->root().internal_object())) {
            ShapeRef shape{page, pugi::xml_node(node)};
            if (fitsValueOrText(shape, wanted))
                fitting.push_back(shape);
        }
    }
    if (fitting.size() == 1)
        return ApplicationData::shape(page, fitting.front().node);
    if (fitting.empty())
        throw VisioError("There is no shape '" + key + "' on " + page->label() +
                         " to select: no shape has that ID, name, element number or text");
    throw VisioError("'" + key + "' fits " + std::to_string(fitting.size()) + " shapes on " + page->label() +
                     "; select one of them by ID:" + describeCandidates(fitting));
}

} // namespace visio::detail
