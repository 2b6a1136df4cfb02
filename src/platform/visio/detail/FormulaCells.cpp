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

std::vector<std::string> readNamesOf(const std::string& formulaText) {
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

// The cells of one shape sheet as addresses, in document order.
template <class Visit>
void visitOwnCells(const ShapeRef& s, Visit&& visit) {
    for (pugi::xml_node cell : s.node.children("Cell")) {
        CellAddress a;
        a.name = cell.attribute("N").value();
        a.formulaName = a.name;
        visit(a);
    }
    for (pugi::xml_node sec : s.node.children("Section")) {
        std::string name = sec.attribute("N").value();
        if (name == "Geometry")
            name += sec.attribute("IX").value();
        for (pugi::xml_node row : sec.children("Row")) {
            for (pugi::xml_node cell : row.children("Cell")) {
                CellAddress a;
                a.section = name;
                a.rowByIndex = rowIsIndexed(row);
                a.rowKey = rowKeyOf(row);
                a.rowType = row.attribute("T").value();
                a.name = cell.attribute("N").value();
                visit(a);
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
    auto position = static_cast<std::uint32_t>(cells.size());
    for (const std::string& name : readNamesOf(cell.formula))
        readers[name].push_back(position);
    cells.push_back(std::move(cell));
}

const std::vector<std::uint32_t>* FormulaCellList::readersOf(const std::string& readName) const {
    auto it = readers.find(readName);
    return it == readers.end() ? nullptr : &it->second;
}

bool ShapeFormulaCells::overrides(const FormulaCell& inheritedCell) const {
    return std::find(ownKeys.begin(), ownKeys.end(), inheritedCell.key) != ownKeys.end();
}

ShapeFormulaCells formulaCells(const ShapeRef& shape) {
    ShapeFormulaCells out;
    visitOwnCells(shape, [&](const CellAddress& a) {
        std::string key = canonicalKey(a);
        if (std::find(out.ownKeys.begin(), out.ownKeys.end(), key) != out.ownKeys.end())
            return;
        out.ownKeys.push_back(key);
        // A local constant or a deleted formula has none; "Inh" is the
        // master's formula, evaluated here and stored as inherited.
        pugi::xml_node cell = localCell(shape.node, a);
        if (!cell) {
            // A cell its lookup does not find (a repeated section) reads as
            // the lookup reads it.
            if (std::optional<std::string> found = activeFormula(shape, a))
                out.own.add({a, std::move(*found), true, std::move(key)});
            return;
        }
        pugi::xml_attribute f = cell.attribute("F");
        std::string_view text = f.value();
        if (!f || text == "No Formula")
            return;
        if (text != "Inh") {
            out.own.add({a, std::string(text), false, std::move(key)});
            return;
        }
        if (std::optional<std::string> inheritedFormula = activeFormula(masterShapeOf(shape), a))
            out.own.add({a, std::move(*inheritedFormula), true, std::move(key)});
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
    cache.emplace(shape.node.internal_object(), list);
    return list;
}

} // namespace visio::detail
