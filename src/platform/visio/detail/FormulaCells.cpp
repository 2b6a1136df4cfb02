#include "platform/visio/detail/FormulaCells.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/visio/detail/CellValues.h"

namespace visio::detail {

namespace {

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// A PAR() reads the transform of the sheet whose point it converts.
const char* const kTransformNames[] = {"pinx",    "piny",    "width", "height", "locpinx",
                                       "locpiny", "angle", "flipx", "flipy"};

// The names of the cells a reference may stand for, however the referenced
// shape keys the rows of that section: "Width" is width; "Prop.Name" and
// "Prop.Name.Label" are value and label; "Connections.X9" and "Geometry1.X2"
// are x. A reference the engine cannot resolve gives a name nothing has.
void addReadNames(const std::string& cell, std::vector<std::string>& names) {
    auto dot = cell.find('.');
    if (dot == std::string::npos) {
        names.push_back(lowerCase(cell));
        return;
    }
    std::string_view rest = std::string_view(cell).substr(dot + 1);
    size_t digits = rest.find_first_of("0123456789");
    if (digits != std::string_view::npos && digits > 0)
        names.push_back(lowerCase(rest.substr(0, digits)));
    auto dot2 = rest.find('.');
    names.push_back(dot2 == std::string_view::npos ? std::string("value") : lowerCase(rest.substr(dot2 + 1)));
}

std::vector<std::string> computeReadNames(const std::string& formulaText) {
    std::vector<std::string> names;
    const auto& expr = parsedFormula(formulaText);
    if (!expr)
        return names;
    for (const formula::Reference& ref : expr->references())
        addReadNames(ref.cell, names);
    if (formulaText.find("PAR(") != std::string::npos)
        names.insert(names.end(), std::begin(kTransformNames), std::end(kTransformNames));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// Shapes of one master share their formulas: work the names out once a text.
const std::vector<std::string>* readNamesOf(const std::string& formulaText) {
    static std::unordered_map<std::string, std::vector<std::string>> known;
    auto it = known.find(formulaText);
    if (it == known.end())
        it = known.emplace(formulaText, computeReadNames(formulaText)).first;
    return &it->second;
}

// The cells of one shape sheet that carry a formula (an F attribute), as
// addresses, in document order. Cells without one hold a constant.
template <class Visit>
void visitFormulaCells(const ShapeRef& s, Visit&& visit) {
    for (pugi::xml_node cell = s.node.child("Cell"); cell; cell = cell.next_sibling("Cell")) {
        if (!cell.attribute("F"))
            continue;
        CellAddress a;
        a.name = cell.attribute("N").value();
        a.formulaName = a.name;
        visit(a, cell);
    }
    for (pugi::xml_node sec = s.node.child("Section"); sec; sec = sec.next_sibling("Section")) {
        std::string name;
        for (pugi::xml_node row = sec.child("Row"); row; row = row.next_sibling("Row")) {
            for (pugi::xml_node cell = row.child("Cell"); cell; cell = cell.next_sibling("Cell")) {
                if (!cell.attribute("F"))
                    continue;
                if (name.empty()) {
                    name = sec.attribute("N").value();
                    if (name == "Geometry")
                        name += sec.attribute("IX").value();
                }
                CellAddress a;
                a.section = name;
                a.rowByIndex = rowIsIndexed(row);
                a.rowKey = rowKeyOf(row);
                a.rowType = row.attribute("T").value();
                a.name = cell.attribute("N").value();
                visit(a, cell);
            }
        }
    }
}

} // namespace

std::string canonicalKey(const CellAddress& a) { return a.section + "/" + a.rowKey + "/" + a.name; }

const std::shared_ptr<const formula::Expression>& parsedFormula(const std::string& text) {
    // Shapes of one master share their formulas: parse each text once.
    static std::unordered_map<std::string, std::shared_ptr<const formula::Expression>> cache;
    auto it = cache.find(text);
    if (it == cache.end()) {
        std::shared_ptr<const formula::Expression> e;
        try {
            e = formula::Expression::parse(text);
        } catch (const formula::FormulaError&) {
        }
        it = cache.emplace(text, std::move(e)).first;
    }
    return it->second;
}

std::string readNameOf(const CellAddress& address) { return lowerCase(address.name); }

void FormulaCellList::add(FormulaCell cell) {
    cell.readNames = readNamesOf(cell.formula);
    cells.push_back(std::move(cell));
}

void FormulaCellList::buildIndex() {
    readers_.clear();
    for (std::uint32_t position = 0; position < cells.size(); ++position)
        for (const std::string& name : *cells[position].readNames)
            readers_[name].push_back(position);
    indexed_ = true;
}

bool ShapeFormulaCells::overrides(const FormulaCell& inheritedCell,
                                  const std::unordered_set<pugi::xml_node_struct*>& since) const {
    // Any cell of the shape's own hides the master's formula, a constant too.
    pugi::xml_node cell = cellOf(shape, inheritedCell.address);
    return cell && !since.count(cell.internal_object());
}

ShapeFormulaCells formulaCells(const ShapeRef& shape) {
    ShapeFormulaCells out;
    out.shape = shape;
    visitFormulaCells(shape, [&](const CellAddress& a, pugi::xml_node visited) {
        // The cell the shape's lookups find is the one that counts; a second
        // cell of the same name in a well-formed sheet does not exist.
        pugi::xml_node cell = cellOf(shape, a);
        if (cell != visited)
            return;
        std::string_view text = cell.attribute("F").value();
        if (text == "No Formula")
            return;
        // "Inh" is the master's formula, evaluated here and stored as inherited.
        if (text != "Inh") {
            out.own.add({a, std::string(text), false, canonicalKey(a)});
            return;
        }
        if (std::optional<std::string> inheritedFormula = activeFormula(masterShapeOf(shape), a))
            out.own.add({a, std::move(*inheritedFormula), true, canonicalKey(a)});
    });
    if (ShapeRef master = masterShapeOf(shape))
        out.master = formulaCellsOf(master);
    return out;
}

std::shared_ptr<const FormulaCellList> formulaCellsOf(const ShapeRef& shape) {
    auto& cache = shape.container->formulaCellCache;
    auto it = cache.find(shape.node.internal_object());
    if (it != cache.end())
        return it->second;
    auto list = std::make_shared<FormulaCellList>();
    formulaCells(shape).forEach([&](const FormulaCell& fc, bool inherited) {
        list->add({fc.address, fc.formula, inherited, fc.key});
    });
    list->buildIndex();
    cache.emplace(shape.node.internal_object(), list);
    return list;
}

} // namespace visio::detail
