#include "platform/visio/detail/CellValues.h"
#include "platform/visio/detail/FieldText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <unordered_set>

#include "platform/visio/detail/FormulaCells.h"

#include "platform/visio/formula/StringLiteral.h"
#include "platform/visio/formula/Units.h"

namespace visio::detail {

namespace {

std::optional<double> parseNumber(const char* text) {
    double v = 0;
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, v);
    if (ec != std::errc() || ptr != end || ptr == text)
        return std::nullopt;
    return v;
}

// The formula text of a stored constant, in the unit the cell shows it in.
std::string constantText(const FoundCell& found, const CellAddress& address) {
    std::string v = found.cell.attribute("V").value();
    std::string u = found.cell.attribute("U").value();
    if (u == "STR")
        return formula::quoteString(v);
    std::optional<double> number = parseNumber(v.c_str());
    if (!number)
        return v.empty() || v[0] == '#' ? v : formula::quoteString(v);
    if (u == "BOOL")
        return *number != 0 ? "TRUE" : "FALSE";
    if ((u.empty() || u == "DL") && isLengthCell(address))
        u = drawingUnitOf(found.owner.container);
    if (std::optional<formula::UnitInfo> unit = formula::unitByCode(u == "DA" ? "DEG" : u))
        return formula::formatNumber(formula::fromInternal(*number, *unit)) + " " + std::string(unit->formulaWord);
    return formula::formatNumber(*number);
}

// The shape that a sheet qualifier names, seen from `self`. A formula inherited
// from a master names the master's shape IDs; they map to the instance shapes
// that inherit from them.
ShapeRef resolveSheet(const ShapeRef& self, bool inheritedFormula, const std::string& sheet) {
    if (sheet.empty())
        return self;
    if (sheet.rfind("Sheet.", 0) != 0)
        return {};
    int id = std::atoi(sheet.c_str() + 6);
    if (!inheritedFormula) {
        auto it = self.container->byId.find(id);
        return it == self.container->byId.end() ? ShapeRef{} : ShapeRef{self.container, pugi::xml_node(it->second)};
    }
    pugi::xml_node top = self.node;
    while (top && !top.attribute("Master") && std::strcmp(top.parent().name(), "Shapes") == 0 &&
           std::strcmp(top.parent().parent().name(), "Shape") == 0)
        top = top.parent().parent();
    ShapeRef masterTop = masterShapeOf({self.container, top});
    if (masterTop && masterTop.node.attribute("ID").as_int() == id)
        return {self.container, top};
    std::vector<pugi::xml_node> stack{top};
    while (!stack.empty()) {
        pugi::xml_node n = stack.back();
        stack.pop_back();
        if (n.attribute("MasterShape").as_int() == id)
            return {self.container, n};
        for (pugi::xml_node sub : n.child("Shapes").children("Shape"))
            stack.push_back(sub);
    }
    return {};
}

class ShapeContext final : public formula::EvaluationContext {
public:
    ShapeContext(ShapeRef self, bool inherited) : self_(self), inherited_(inherited) {}

    std::optional<formula::Value> cellValue(const formula::Reference& ref) override {
        ShapeRef target = target_(ref.sheet);
        if (!target)
            return std::nullopt;
        std::optional<CellAddress> a = addressOfName(target, ref.cell);
        if (!a)
            return std::nullopt;
        return valueOf(target, *a);
    }

    std::optional<formula::Value> toParent(const formula::Value& point, const std::string& sheet) override {
        ShapeRef t = target_(sheet);
        if (!t)
            return std::nullopt;
        auto num = [&](const char* name) -> std::optional<double> {
            CellAddress a;
            a.name = name;
            std::optional<formula::Value> v = valueOf(t, a);
            if (!v || v->type == formula::Value::Type::String)
                return std::nullopt;
            return v->number;
        };
        auto pinX = num("PinX"), pinY = num("PinY"), locX = num("LocPinX"), locY = num("LocPinY");
        if (!pinX || !pinY || !locX || !locY)
            return std::nullopt;
        double angle = num("Angle").value_or(0);
        double dx = point.number - *locX, dy = point.y - *locY;
        if (num("FlipX").value_or(0) != 0)
            dx = -dx;
        if (num("FlipY").value_or(0) != 0)
            dy = -dy;
        formula::Value out = point;
        out.number = *pinX + dx * std::cos(angle) - dy * std::sin(angle);
        out.y = *pinY + dx * std::sin(angle) + dy * std::cos(angle);
        return out;
    }

    std::vector<ShapeRef> usedSheets;

private:
    ShapeRef target_(const std::string& sheet) {
        if (sheet == "ThePage") {
            if (self_.container->kind != SheetContainer::Kind::Page)
                return {};
            return {self_.container, self_.container->entry.child("PageSheet")};
        }
        return resolveSheet(self_, inherited_, sheet);
    }
    ShapeRef self_;
    bool inherited_;
};

// A point assigned to a cell gives its x to an X cell and its y to a Y cell.
formula::Value forCell(const CellAddress& address, formula::Value v) {
    if (v.type == formula::Value::Type::Point) {
        bool isY = !address.name.empty() && address.name.back() == 'Y';
        v.number = isY ? v.y : v.number;
        v.type = formula::Value::Type::Number;
    }
    return v;
}

bool sameValue(const formula::Value& a, const formula::Value& b) {
    if (a.type == formula::Value::Type::String || b.type == formula::Value::Type::String)
        return a.type == b.type && a.text == b.text;
    // Visio keeps about 15 digits; what differs below that is the same value.
    double scale = std::max({1.0, std::fabs(a.number), std::fabs(b.number)});
    return std::fabs(a.number - b.number) <= 1e-9 * scale;
}

// Returns the cell when it had to be made, else null.
pugi::xml_node_struct* storeValue(const ShapeRef& shape, const CellAddress& address, const formula::Value& value,
                                  bool inherited) {
    pugi::xml_node cell = cellOf(shape, address);
    pugi::xml_node_struct* made = nullptr;
    if (!cell) {
        cell = ensureLocalCell(shape, address);
        made = cell.internal_object();
        if (inherited)
            cell.append_attribute("F") = "Inh";
    }
    pugi::xml_attribute v = cell.attribute("V");
    if (!v)
        v = cell.insert_attribute_after("V", cell.attribute("N"));
    if (value.type == formula::Value::Type::String) {
        v = value.text.c_str();
        if (!cell.attribute("U"))
            cell.insert_attribute_after("U", v) = "STR";
    } else {
        v = valueText(value.number).c_str();
    }
    cell.remove_attribute("E");
    shape.container->sheetChanged(shape.node.internal_object());
    return made;
}

// Shapes whose cells may follow from `shape`: itself, its sub-shapes and the
// connectors glued to any of them.
std::vector<ShapeRef> dependentScope(const ShapeRef& shape) {
    std::vector<ShapeRef> scope;
    std::set<int> ids;
    std::vector<pugi::xml_node> stack{shape.node};
    while (!stack.empty()) {
        pugi::xml_node n = stack.back();
        stack.pop_back();
        scope.push_back({shape.container, n});
        ids.insert(n.attribute("ID").as_int());
        for (pugi::xml_node sub : n.child("Shapes").children("Shape"))
            stack.push_back(sub);
    }
    if (shape.container->kind == SheetContainer::Kind::Page) {
        std::set<int> added;
        for (int from : shape.container->gluedTo(ids)) {
            if (!ids.count(from) && added.insert(from).second) {
                auto it = shape.container->byId.find(from);
                if (it != shape.container->byId.end())
                    scope.push_back({shape.container, pugi::xml_node(it->second)});
            }
        }
    }
    return scope;
}

} // namespace

std::string valueText(double value) {
    if (value == 0)
        return "0";
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, ptr) : std::to_string(value);
}

std::string drawingUnitOf(SheetContainer* container) {
    pugi::xml_node sheet = container->entry.child("PageSheet");
    CellAddress scale;
    scale.name = "DrawingScale";
    if (pugi::xml_attribute unit = cellOf({container, sheet}, scale).attribute("U"))
        return unit.value();
    for (pugi::xml_node cell : sheet.children("Cell"))
        if (std::string_view(cell.attribute("N").value()) == "DrawingScale" && cell.attribute("U"))
            return cell.attribute("U").value();
    return "IN";
}

std::optional<std::string> activeFormula(const ShapeRef& shape, const CellAddress& address) {
    for (ShapeRef s = shape; s; s = masterShapeOf(s)) {
        pugi::xml_node cell = cellOf(s, address);
        if (!cell)
            continue;
        pugi::xml_attribute f = cell.attribute("F");
        if (!f)
            return std::nullopt;
        std::string_view text = f.value();
        if (text == "No Formula")
            return std::nullopt;
        if (text != "Inh")
            return std::string(text);
    }
    return std::nullopt;
}

std::optional<std::string> formulaOf(const ShapeRef& shape, const CellAddress& address) {
    std::optional<FoundCell> found = findCell(shape, address);
    if (!found)
        return std::nullopt;
    // An inherited formula ("Inh") reads as the master's formula or constant.
    for (ShapeRef s = found->owner; s; s = masterShapeOf(s)) {
        pugi::xml_node cell = s.node == found->owner.node && !found->fromStyle ? found->cell : cellOf(s, address);
        if (!cell)
            continue;
        std::string_view f = cell.attribute("F").value();
        if (f == "No Formula")
            return std::string();
        if (!cell.attribute("F"))
            return constantText(FoundCell{s, cell, false, false}, address);
        if (f != "Inh")
            return std::string(f);
    }
    return constantText(*found, address);
}

std::optional<formula::Value> valueOf(const ShapeRef& shape, const CellAddress& address) {
    std::optional<FoundCell> found = findCell(shape, address);
    if (!found)
        return std::nullopt;
    formula::Value v;
    std::string_view u = found->cell.attribute("U").value();
    const char* text = found->cell.attribute("V").value();
    std::optional<double> number = parseNumber(text);
    if (u == "STR" || !number) {
        v.type = formula::Value::Type::String;
        v.text = text;
        return v;
    }
    v.type = u == "BOOL" ? formula::Value::Type::Bool : formula::Value::Type::Number;
    v.number = *number;
    return v;
}

void writeConstant(const ShapeRef& shape, const CellAddress& address, double internalValue,
                   const std::string& unitCode) {
    pugi::xml_node cell = ensureLocalCell(shape, address);
    cell.remove_attribute("F");
    cell.remove_attribute("E");
    pugi::xml_attribute v = cell.attribute("V") ? cell.attribute("V") : cell.append_attribute("V");
    v = valueText(internalValue).c_str();
    cell.remove_attribute("U");
    if (!unitCode.empty())
        cell.append_attribute("U") = unitCode.c_str();
    shape.container->sheetChanged(shape.node.internal_object());
}

void writeFormula(const ShapeRef& shape, const CellAddress& address, const std::string& text) {
    formula::Classified c;
    try {
        c = formula::classify(text);
    } catch (const formula::FormulaError& e) {
        throw VisioError("Shape '" + shapeName(shape) + "': the formula " + text + " for cell " +
                         (address.formulaName.empty() ? address.name : address.formulaName) +
                         " is not valid (" + e.what() + ")");
    }
    if (c.kind == formula::Classified::Kind::String) {
        pugi::xml_node cell = ensureLocalCell(shape, address);
        cell.remove_attribute("F");
        cell.remove_attribute("E");
        pugi::xml_attribute v = cell.attribute("V") ? cell.attribute("V") : cell.append_attribute("V");
        v = c.text.c_str();
        cell.remove_attribute("U");
        cell.append_attribute("U") = "STR";
        shape.container->sheetChanged(shape.node.internal_object());
    } else if (c.kind == formula::Classified::Kind::Number) {
        double value = c.internalValue;
        std::string unit = c.unitCode;
        if (unit.empty() && isLengthCell(address)) {
            // A bare number in a length cell is in the page's drawing units.
            if (auto du = formula::unitByCode(drawingUnitOf(shape.container)))
                value = formula::toInternal(value, *du);
        }
        writeConstant(shape, address, value, unit);
    } else {
        pugi::xml_node cell = ensureLocalCell(shape, address);
        pugi::xml_attribute f = cell.attribute("F") ? cell.attribute("F") : cell.append_attribute("F");
        f = text.c_str();
        shape.container->sheetChanged(shape.node.internal_object());
        ShapeContext context(shape, false);
        const auto& expr = parsedFormula(text);
        std::optional<formula::Value> v = expr ? expr->evaluate(context) : std::nullopt;
        if (v)
            storeValue(shape, address, forCell(address, *v), false);
        else
            shape.container->doc->needsRecalcOnOpen = true;
    }
    recalculateAfter(shape, {address});
}

namespace {

// The cells that changed during a recalculation, each with the count of
// stores at its last change (the written cells count as 1).
using ChangedSet = std::map<std::pair<const void*, std::string>, std::uint64_t>;

bool isTransformCell(const std::string& key) {
    static const char* const names[] = {"//PinX", "//PinY", "//Width", "//Height", "//LocPinX", "//LocPinY", "//Angle",
                                        "//FlipX", "//FlipY"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return key == n; });
}

// True when the formula reads a cell that changed after `since`; a PAR() also
// reads the transform of the sheet whose point it converts.
bool dependsOnChange(const ShapeRef& shape, const FormulaCell& fc, bool inherited,
                     const formula::Expression& expr, const ChangedSet& changed, std::uint64_t since) {
    bool usesParent = fc.formula.find("PAR(") != std::string::npos;
    for (const formula::Reference& ref : expr.references()) {
        ShapeRef target = resolveSheet(shape, inherited, ref.sheet);
        if (!target)
            continue;
        if (std::optional<CellAddress> a = addressOfName(target, ref.cell)) {
            auto it = changed.find({target.node.internal_object(), canonicalKey(*a)});
            if (it != changed.end() && it->second > since)
                return true;
        }
        if (usesParent)
            for (const auto& [cell, stamp] : changed)
                if (cell.first == target.node.internal_object() && isTransformCell(cell.second) && stamp > since)
                    return true;
    }
    return false;
}

// A formula's place in the order of a round: the shape in the scope, its own
// cells before those it inherits, the cell's place in that list.
struct FormulaPosition {
    std::uint32_t shape;
    std::uint32_t inheritedList;
    std::uint32_t cell;
    auto operator<=>(const FormulaPosition&) const = default;
};

// The formulas of a scope that may read a cell of a given name, in round order.
class Readers {
public:
    // `made`: cells that the pass itself added; they do not hide the master's
    // formulas, which the pass goes on evaluating as it began.
    Readers(const std::vector<ShapeFormulaCells>& cells, const std::unordered_set<pugi::xml_node_struct*>& made)
        : cells_(cells), made_(made) {}

    // Adds the readers of `readName` that come after `after` (all when null).
    void add(const std::string& readName, const FormulaPosition* after, std::set<FormulaPosition>& agenda) const {
        for (std::uint32_t i = 0; i < cells_.size(); ++i) {
            const ShapeFormulaCells& shape = cells_[i];
            shape.own.forEachReader(readName, [&](std::uint32_t k) { insert({i, 0, k}, after, agenda); });
            if (shape.master)
                shape.master->forEachReader(readName, [&](std::uint32_t k) {
                    if (!shape.overrides(shape.master->cells[k], made_))
                        insert({i, 1, k}, after, agenda);
                });
        }
    }

    const FormulaCell& at(const FormulaPosition& p) const {
        const ShapeFormulaCells& shape = cells_[p.shape];
        return p.inheritedList ? shape.master->cells[p.cell] : shape.own.cells[p.cell];
    }

private:
    static void insert(const FormulaPosition& p, const FormulaPosition* after, std::set<FormulaPosition>& agenda) {
        if (!after || *after < p)
            agenda.insert(p);
    }
    const std::vector<ShapeFormulaCells>& cells_;
    const std::unordered_set<pugi::xml_node_struct*>& made_;
};

std::string readNameOfKey(const std::string& key) {
    CellAddress a;
    a.name = key.substr(key.rfind('/') + 1);
    return readNameOf(a);
}

// Re-evaluates, across the dependent scope of `origin`, every formula that reads
// a changed cell, until nothing more changes. Each round goes through the
// formulas in scope order and within a shape in cell order, and a value stored
// is seen by the formulas after it; the index of the names of the cells each
// formula reads picks out the formulas that may depend on a change, and the
// references of each decide. A formula none of whose cells changed since it
// was last evaluated would give the same value again, so it is not evaluated
// again: a round looks at the readers of what changed since the round before
// it began.
void propagate(const ShapeRef& origin, ChangedSet changed) {
    std::vector<ShapeRef> scope = dependentScope(origin);
    std::vector<ShapeFormulaCells> cells;
    cells.reserve(scope.size());
    for (const ShapeRef& s : scope)
        cells.push_back(formulaCells(s));
    std::unordered_set<pugi::xml_node_struct*> made;
    Readers readers(cells, made);
    std::uint64_t stores = 1;
    std::map<std::string, std::uint64_t> nameChanged; // read name -> last change
    for (const auto& entry : changed)
        nameChanged[readNameOfKey(entry.first.second)] = stores;
    std::map<FormulaPosition, std::uint64_t> evaluated; // position -> stores when last evaluated
    std::uint64_t previousRound = 0;
    for (int round = 0; round < 16; ++round) {
        const std::uint64_t roundStart = stores;
        bool progress = false;
        std::set<FormulaPosition> agenda;
        std::set<std::string> inAgenda;
        for (const auto& [name, stamp] : nameChanged)
            if (stamp > previousRound && inAgenda.insert(name).second)
                readers.add(name, nullptr, agenda);
        while (!agenda.empty()) {
            const FormulaPosition position = *agenda.begin();
            agenda.erase(agenda.begin());
            const ShapeRef& shape = scope[position.shape];
            const FormulaCell& fc = readers.at(position);
            const bool inherited = position.inheritedList ? true : fc.inherited;
            const auto& expr = parsedFormula(fc.formula);
            auto last = evaluated.find(position);
            const std::uint64_t since = last == evaluated.end() ? 0 : last->second;
            if (!expr || !dependsOnChange(shape, fc, inherited, *expr, changed, since))
                continue;
            evaluated[position] = stores;
            ShapeContext context(shape, inherited);
            std::optional<formula::Value> v = expr->evaluate(context);
            if (!v) {
                shape.container->doc->needsRecalcOnOpen = true;
                continue;
            }
            v = forCell(fc.address, *v);
            std::optional<formula::Value> old = valueOf(shape, fc.address);
            if (old && sameValue(*old, *v))
                continue;
            if (pugi::xml_node_struct* cell = storeValue(shape, fc.address, *v, inherited))
                made.insert(cell);
            changed[{shape.node.internal_object(), fc.key}] = ++stores;
            progress = true;
            // Formulas later in this round that read the new value see it now.
            std::string name = readNameOf(fc.address);
            nameChanged[name] = stores;
            if (inAgenda.insert(name).second)
                readers.add(name, &position, agenda);
        }
        if (!progress)
            return;
        previousRound = roundStart;
    }
}

} // namespace

void recalculateAfter(const ShapeRef& shape, const std::vector<CellAddress>& written) {
    const FieldDisplays fieldsBefore = fieldDisplaysOf(shape);
    ChangedSet changed;
    for (const CellAddress& a : written)
        changed[{shape.node.internal_object(), canonicalKey(a)}] = 1;
    propagate(shape, std::move(changed));
    refreshFieldTexts(shape, fieldsBefore, written);
}

} // namespace visio::detail
