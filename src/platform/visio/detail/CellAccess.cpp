#include "platform/visio/detail/CellAccess.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <map>

namespace visio::detail {

namespace {

bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Cells of the singleton rows of section 1, by row and column.
const std::map<int, std::vector<const char*>>& objectRows() {
    static const std::map<int, std::vector<const char*>> rows = {
        {1, {"PinX", "PinY", "Width", "Height", "LocPinX", "LocPinY", "Angle", "FlipX", "FlipY", "ResizeMode"}},
        {4, {"BeginX", "BeginY", "EndX", "EndY"}},
        {5, {"TheData", "TheText", "EventDblClick", "EventXFMod", "EventDrop"}},
        {11, {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin", "VerticalAlign", "TextBkgnd",
              "DefaultTabStop", "", "", "", "", "TextDirection", "TextBkgndTrans"}},
        {12, {"TxtPinX", "TxtPinY", "TxtWidth", "TxtHeight", "TxtLocPinX", "TxtLocPinY", "TxtAngle"}},
        {23, {"ShapePermeableX", "ShapePermeableY", "ShapePermeablePlace", "ShapeFixedCode", "ShapePlowCode",
              "ShapeRouteStyle" /* overwritten below */}},
    };
    return rows;
}

// The layout row is sparse: only the columns the system uses are mapped.
const char* layoutCell(int column) {
    switch (column) {
    case 0: return "ShapePermeableX";
    case 1: return "ShapePermeableY";
    case 2: return "ShapePermeablePlace";
    case 3: return "ShapeFixedCode";
    case 4: return "ShapePlowCode";
    case 10: return "ShapeRouteStyle";
    case 19: return "ConLineRouteExt";
    default: return "";
    }
}

struct TableSection {
    int number;
    const char* xmlName;
    const char* formulaPrefix;
    bool indexed;            // rows keyed by IX
    std::vector<const char*> columns;
};

const std::vector<TableSection>& tableSections() {
    static const std::vector<TableSection> sections = {
        {3, "Character", "Char", true,
         {"Font", "Color", "Style", "Case", "Pos", "FontScale", "", "Size", "DblUnderline", "Overline", "Strikethru",
          "", "", "Letterspace"}},
        {4, "Paragraph", "Para", true,
         {"IndFirst", "IndLeft", "IndRight", "SpLine", "SpBefore", "SpAfter", "HorzAlign", "Bullet", "BulletStr"}},
        {5, "Tabs", "Tabs", true, {}},
        {6, "Scratch", "Scratch", true, {"X", "Y", "A", "B", "C", "D"}},
        {7, "Connection", "Connections", true, {"X", "Y", "DirX", "DirY", "Type", "AutoGen", "Prompt"}},
        {9, "Control", "Controls", false, {"X", "Y", "XDyn", "YDyn", "XCon", "YCon", "CanGlue", "Prompt"}},
        {240, "Actions", "Actions", false, {"Action", "Menu", "", "Checked", "Disabled"}},
        {242, "User", "User", false, {"Value", "Prompt"}},
        {243, "Property", "Prop", false,
         {"Value", "Prompt", "Label", "Format", "SortKey", "Type", "Invisible", "Verify", "DataLinked", "", "", "",
          "", "", "LangID", "Calendar"}},
        {244, "Hyperlink", "Hyperlink", false, {"Description", "Address", "SubAddress", "ExtraInfo", "Frame"}},
    };
    return sections;
}

const std::array<const char*, 7> kGeometryColumns = {"X", "Y", "A", "B", "C", "D", "E"};

const TableSection* sectionByNumber(int number) {
    for (const TableSection& s : tableSections())
        if (s.number == number)
            return &s;
    return nullptr;
}

const TableSection* sectionByPrefix(std::string_view prefix) {
    for (const TableSection& s : tableSections())
        if (iequals(prefix, s.formulaPrefix))
            return &s;
    return nullptr;
}

// How the first sheet along the inheritance chain that has rows in `section`
// keys them: 1 by index, 0 by name, 2 no sheet has rows there.
int rowKeying(const ShapeRef& shape, std::string_view section) {
    for (ShapeRef s = shape; s; s = masterShapeOf(s)) {
        pugi::xml_node sec = localSection(s.node, section);
        if (pugi::xml_node row = sec.child("Row"))
            return rowIsIndexed(row) ? 1 : 0;
    }
    return 2;
}

bool rowsAreIndexed(const ShapeRef& shape, std::string_view section, bool defaultIndexed) {
    auto& known = shape.container->lookupsOf(shape.node.internal_object()).rowKeying;
    int* keying = known.find(section);
    if (!keying)
        keying = &known.add(section, rowKeying(shape, section));
    return *keying == 2 ? defaultIndexed : *keying == 1;
}

CellAddress rowCell(const std::string& section, const RowInfo& row, const std::string& cell,
                    const std::string& formulaName) {
    CellAddress a;
    a.section = section;
    a.rowKey = row.key;
    a.rowByIndex = row.byIndex;
    a.rowType = row.type;
    a.name = cell;
    a.formulaName = formulaName;
    return a;
}

std::optional<CellAddress> singleton(const std::string& name) {
    CellAddress a;
    a.name = name;
    a.formulaName = name;
    return a;
}

// A table-section row by position (0-based in merged order, or the IX; the
// last row of that IX); null when there is none.
const RowInfo* tableRow(const ShapeRef& shape, const TableSection& sec, int row, bool& indexed) {
    indexed = rowsAreIndexed(shape, sec.xmlName, sec.indexed);
    const std::vector<RowInfo>& rows = rowsFor(shape, sec.xmlName);
    if (!indexed)
        return row >= 0 && static_cast<size_t>(row) < rows.size() ? &rows[static_cast<size_t>(row)] : nullptr;
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, row);
    const std::string_view ix(digits, static_cast<size_t>(end - digits));
    const RowInfo* found = nullptr;
    for (const RowInfo& r : rows)
        if (r.key == ix)
            found = &r;
    return found;
}

// A table-section cell by row position.
std::optional<CellAddress> tableCell(const ShapeRef& shape, const TableSection& sec, int row, const char* cellName) {
    bool indexed = false;
    const RowInfo* found = tableRow(shape, sec, row, indexed);
    if (!found)
        return std::nullopt;
    CellAddress a;
    a.section = sec.xmlName;
    a.rowKey = found->key;
    a.rowByIndex = found->byIndex;
    a.rowType = found->type;
    a.name = cellName;
    a.formulaName.reserve(std::strlen(sec.formulaPrefix) + found->key.size() + a.name.size() + 8);
    a.formulaName += sec.formulaPrefix;
    a.formulaName += '.';
    if (indexed) {
        a.formulaName += a.name;
        a.formulaName += std::to_string(row + 1);
    } else {
        a.formulaName += found->key;
        a.formulaName += '.';
        a.formulaName += a.name;
    }
    return a;
}

} // namespace

namespace {

ShapeRef findMasterShape(const ShapeRef& shape) {
    DocumentData* doc = shape.container->doc;
    if (pugi::xml_attribute m = shape.node.attribute("Master")) {
        auto it = doc->masterById.find(m.as_int());
        if (it == doc->masterById.end())
            return {};
        SheetContainer* mc = it->second;
        pugi::xml_node top = mc->topShapes(false).child("Shape");
        return top ? ShapeRef{mc, top} : ShapeRef{};
    }
    if (pugi::xml_attribute ms = shape.node.attribute("MasterShape")) {
        // The instance's master is that of the nearest ancestor with a Master.
        for (pugi::xml_node up = shape.node.parent(); up; up = up.parent()) {
            if (std::strcmp(up.name(), "Shape") != 0)
                continue;
            if (pugi::xml_attribute m = up.attribute("Master")) {
                auto it = doc->masterById.find(m.as_int());
                if (it == doc->masterById.end())
                    return {};
                SheetContainer* mc = it->second;
                mc->load();
                auto found = mc->byId.find(ms.as_int());
                return found == mc->byId.end() ? ShapeRef{} : ShapeRef{mc, pugi::xml_node(found->second)};
            }
        }
    }
    return {};
}

} // namespace

ShapeRef masterShapeOf(const ShapeRef& shape) {
    if (!shape)
        return {};
    ShapeLookups& known = shape.container->lookupsOf(shape.node.internal_object());
    if (!known.masterKnown) {
        ShapeRef master = findMasterShape(shape);
        known.masterContainer = master.container;
        known.masterNode = master.node.internal_object();
        known.masterKnown = true;
    }
    return known.masterContainer ? ShapeRef{known.masterContainer, pugi::xml_node(known.masterNode)} : ShapeRef{};
}

pugi::xml_node localSection(pugi::xml_node shape, std::string_view section, std::string_view sectionIndex) {
    for (pugi::xml_node s = shape.child("Section"); s; s = s.next_sibling("Section"))
        if (section == s.attribute("N").value() && (sectionIndex.empty() || sectionIndex == s.attribute("IX").value()))
            return s;
    return {};
}

namespace {

// Geometry sections are "Geometry" with IX; the address keeps "Geometry<IX>".
std::pair<std::string_view, std::string_view> splitSection(std::string_view section) {
    if (section.rfind("Geometry", 0) == 0 && section.size() > 8)
        return {section.substr(0, 8), section.substr(8)};
    return {section, {}};
}

} // namespace

pugi::xml_node localRow(pugi::xml_node shape, const CellAddress& a) {
    auto [name, ix] = splitSection(a.section);
    pugi::xml_node sec = localSection(shape, name, ix);
    for (pugi::xml_node row : sec.children("Row"))
        if (a.rowKey == row.attribute(a.rowByIndex ? "IX" : "N").value())
            return row;
    return {};
}

pugi::xml_node localCell(pugi::xml_node shape, const CellAddress& a) {
    pugi::xml_node holder = a.section.empty() ? shape : localRow(shape, a);
    if (a.section.rfind("Geometry", 0) == 0 && a.rowKey.empty()) {
        auto [name, ix] = splitSection(a.section);
        holder = localSection(shape, name, ix);
    }
    for (pugi::xml_node cell : holder.children("Cell"))
        if (a.name == cell.attribute("N").value())
            return cell;
    return {};
}

struct RowList {
    std::vector<RowInfo> rows;
};

namespace {

// A master's rows do not change while its instances are read, and every
// instance asks for them at every cell it looks up.
std::shared_ptr<const RowList> masterRows(const ShapeRef& master, const std::string& section) {
    auto key = std::make_pair(master.node.internal_object(), section);
    auto& cache = master.container->rowListCache;
    auto it = cache.find(key);
    if (it == cache.end()) {
        auto list = std::make_shared<RowList>();
        list->rows = mergedRows(master, section);
        it = cache.emplace(std::move(key), std::move(list)).first;
    }
    return it->second;
}

// The merged rows of a section, sharing the master's list when the shape's
// own rows only override rows the master has (the usual case: an instance
// that set some values).
std::shared_ptr<const RowList> rowListFor(const ShapeRef& shape, const std::string& section) {
    ShapeRef master = masterShapeOf(shape);
    if (master && master.container->kind == SheetContainer::Kind::Master) {
        std::shared_ptr<const RowList> inherited = masterRows(master, section);
        auto [name, ix] = splitSection(section);
        pugi::xml_node sec = localSection(shape.node, name, ix);
        bool onlyOverrides = !sec.attribute("Del").as_bool();
        for (pugi::xml_node row = sec.child("Row"); onlyOverrides && row; row = row.next_sibling("Row")) {
            std::string_view key = rowKeyOf(row);
            onlyOverrides = !row.attribute("Del").as_bool() &&
                            std::any_of(inherited->rows.begin(), inherited->rows.end(),
                                        [&](const RowInfo& r) { return r.key == key; });
        }
        if (onlyOverrides)
            return inherited;
    }
    auto list = std::make_shared<RowList>();
    list->rows = mergedRows(shape, section);
    return list;
}

} // namespace

std::vector<RowInfo> mergedRows(const ShapeRef& shape, const std::string& section) {
    std::vector<RowInfo> rows;
    if (ShapeRef master = masterShapeOf(shape))
        rows = master.container->kind == SheetContainer::Kind::Master ? masterRows(master, section)->rows
                                                                      : mergedRows(master, section);
    auto [name, ix] = splitSection(section);
    pugi::xml_node sec = localSection(shape.node, name, ix);
    if (sec.attribute("Del").as_bool())
        return {};
    for (pugi::xml_node row : sec.children("Row")) {
        bool byIndex = rowIsIndexed(row);
        std::string key = rowKeyOf(row);
        auto it = std::find_if(rows.begin(), rows.end(), [&](const RowInfo& r) { return r.key == key; });
        if (row.attribute("Del").as_bool()) {
            if (it != rows.end())
                rows.erase(it);
            continue;
        }
        if (it == rows.end())
            rows.push_back({key, byIndex, row.attribute("T").value()});
    }
    if (!rows.empty() && rows.front().byIndex)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const RowInfo& a, const RowInfo& b) { return std::stoi(a.key) < std::stoi(b.key); });
    return rows;
}

const std::vector<RowInfo>& rowsFor(const ShapeRef& shape, std::string_view section) {
    auto& known = shape.container->lookupsOf(shape.node.internal_object()).rows;
    std::shared_ptr<const RowList>* rows = known.find(section);
    if (!rows) {
        std::shared_ptr<const RowList> merged = rowListFor(shape, std::string(section));
        rows = &known.add(section, std::move(merged));
    }
    return (*rows)->rows;
}

namespace {

pugi::xml_node styleById(DocumentData* doc, int id) {
    for (pugi::xml_node s : doc->document->root().child("StyleSheets").children("StyleSheet"))
        if (s.attribute("ID").as_int() == id)
            return s;
    return {};
}

pugi::xml_node styleCell(DocumentData* doc, pugi::xml_node holder, const CellAddress& a, int depth) {
    if (!holder || depth > 16)
        return {};
    for (const char* attr : {"TextStyle", "LineStyle", "FillStyle"}) {
        pugi::xml_attribute id = holder.attribute(attr);
        if (!id)
            continue;
        pugi::xml_node style = styleById(doc, id.as_int());
        if (!style)
            continue;
        if (pugi::xml_node cell = localCell(style, a))
            return cell;
        if (style.attribute(attr).as_int() != style.attribute("ID").as_int())
            if (pugi::xml_node cell = styleCell(doc, style, a, depth + 1))
                return cell;
    }
    return {};
}

} // namespace

pugi::xml_node cellOf(const ShapeRef& shape, const CellAddress& a) {
    // A page's shape holds few cells of its own and is quick to search; a
    // master's shape holds them all and is searched for every instance.
    if (shape.container->kind == SheetContainer::Kind::Page)
        return localCell(shape.node, a);
    const std::size_t length = a.section.size() + a.rowKey.size() + a.name.size() + 2;
    char buffer[256];
    std::string longKey;
    char* key = buffer;
    if (length > sizeof buffer) {
        longKey.resize(length);
        key = longKey.data();
    }
    char* end = std::copy(a.section.begin(), a.section.end(), key);
    *end++ = a.rowByIndex ? '#' : '@';
    end = std::copy(a.rowKey.begin(), a.rowKey.end(), end);
    *end++ = '/';
    end = std::copy(a.name.begin(), a.name.end(), end);
    const std::string_view view(key, length);
    auto& found = shape.container->lookupsOf(shape.node.internal_object()).cells;
    auto it = found.find(view);
    if (it == found.end())
        it = found.emplace(std::string(view), localCell(shape.node, a).internal_object()).first;
    return pugi::xml_node(it->second);
}

std::optional<FoundCell> findCell(const ShapeRef& shape, const CellAddress& address) {
    bool inherited = false;
    for (ShapeRef s = shape; s; s = masterShapeOf(s)) {
        if (pugi::xml_node cell = cellOf(s, address))
            return FoundCell{s, cell, inherited, false};
        inherited = true;
    }
    if (address.section.empty() || address.section == "Character" || address.section == "Paragraph") {
        for (ShapeRef s = shape; s; s = masterShapeOf(s))
            if (pugi::xml_node cell = styleCell(shape.container->doc, s.node, address, 0))
                return FoundCell{s, cell, true, true};
    }
    return std::nullopt;
}

std::optional<CellAddress> addressOfSRC(const ShapeRef& shape, int section, int row, int column) {
    if (section == visSectionObject) {
        if (row == 23) {
            const char* name = layoutCell(column);
            return *name ? singleton(name) : std::nullopt;
        }
        auto it = objectRows().find(row);
        if (it == objectRows().end() || column < 0 || static_cast<size_t>(column) >= it->second.size() ||
            !*it->second[static_cast<size_t>(column)])
            return std::nullopt;
        return singleton(it->second[static_cast<size_t>(column)]);
    }
    if (section >= visSectionFirstComponent && section < visSectionAction) {
        if (column < 0 || static_cast<size_t>(column) >= kGeometryColumns.size())
            return std::nullopt;
        std::string sec = "Geometry" + std::to_string(section - visSectionFirstComponent);
        for (const RowInfo& r : rowsFor(shape, sec))
            if (r.key == std::to_string(row))
                return rowCell(sec, r, kGeometryColumns[static_cast<size_t>(column)],
                               "Geometry" + std::to_string(section - visSectionFirstComponent + 1) + "." +
                                   kGeometryColumns[static_cast<size_t>(column)] + std::to_string(row));
        return std::nullopt;
    }
    const TableSection* sec = sectionByNumber(section);
    if (!sec || column < 0 || static_cast<size_t>(column) >= sec->columns.size() ||
        !*sec->columns[static_cast<size_t>(column)])
        return std::nullopt;
    return tableCell(shape, *sec, row, sec->columns[static_cast<size_t>(column)]);
}

bool existsSRC(const ShapeRef& shape, int section, int row, int column) {
    const bool geometry = section >= visSectionFirstComponent && section < visSectionAction;
    const TableSection* sec = section == visSectionObject || geometry ? nullptr : sectionByNumber(section);
    if (!sec)
        return addressOfSRC(shape, section, row, column).has_value();
    if (column < 0 || static_cast<size_t>(column) >= sec->columns.size() || !*sec->columns[static_cast<size_t>(column)])
        return false;
    bool indexed = false;
    return tableRow(shape, *sec, row, indexed) != nullptr;
}

struct CellAddressSlot {
    std::optional<CellAddress> address;
};

namespace {

std::optional<CellAddress> findAddressOfName(const ShapeRef& shape, const std::string& name);

} // namespace

// Formulas name the same cells of a shape again and again while values are
// recalculated.
std::optional<CellAddress> addressOfName(const ShapeRef& shape, const std::string& name) {
    auto& known = shape.container->lookupsOf(shape.node.internal_object()).names;
    std::shared_ptr<const CellAddressSlot>* slot = known.find(name);
    if (!slot) {
        auto found = std::make_shared<CellAddressSlot>();
        found->address = findAddressOfName(shape, name);
        slot = &known.add(name, std::move(found));
    }
    return (*slot)->address;
}

namespace {

std::optional<CellAddress> findAddressOfName(const ShapeRef& shape, const std::string& name) {
    auto dot = name.find('.');
    if (dot == std::string::npos)
        return singleton(name);
    std::string prefix = name.substr(0, dot);
    std::string rest = name.substr(dot + 1);
    if (prefix.size() > 8 && iequals(prefix.substr(0, 8), "Geometry")) {
        // Geometry1.X2: section IX 0, row IX 2, cell X.
        int sectionNumber = std::atoi(prefix.c_str() + 8);
        size_t digits = rest.find_first_of("0123456789");
        if (sectionNumber < 1 || digits == std::string::npos || digits == 0)
            return std::nullopt;
        std::string cell = rest.substr(0, digits);
        std::string row = rest.substr(digits);
        std::string sec = "Geometry" + std::to_string(sectionNumber - 1);
        for (const RowInfo& r : rowsFor(shape, sec))
            if (r.key == row)
                return rowCell(sec, r, cell, name);
        return std::nullopt;
    }
    const TableSection* sec = sectionByPrefix(prefix);
    if (!sec)
        return std::nullopt;
    if (rowsAreIndexed(shape, sec->xmlName, sec->indexed)) {
        // Connections.X9: the cell name, then the 1-based row.
        size_t digits = rest.find_first_of("0123456789");
        if (digits == std::string::npos || digits == 0)
            return std::nullopt;
        int row = std::atoi(rest.c_str() + digits) - 1;
        return tableCell(shape, *sec, row, rest.substr(0, digits).c_str());
    }
    // Prop.Name or Prop.Name.Label: a named row, Value by default.
    auto dot2 = rest.find('.');
    std::string rowName = rest.substr(0, dot2);
    std::string cell = dot2 == std::string::npos ? "Value" : rest.substr(dot2 + 1);
    for (const RowInfo& r : rowsFor(shape, sec->xmlName))
        if (iequals(r.key, rowName))
            return rowCell(sec->xmlName, r, cell, name);
    return std::nullopt;
}

} // namespace

namespace {

// A cell, and maybe its row and section, is about to be added to `shape`: the
// lookups that found nothing there, the rows of that section and the names
// that resolve through them no longer hold; what was found stays found.
void forgetWhatTheCellChanges(const ShapeRef& shape, const CellAddress& a) {
    auto it = shape.container->lookups.find(shape.node.internal_object());
    if (it == shape.container->lookups.end())
        return;
    ShapeLookups& known = it->second;
    std::erase_if(known.cells, [](const auto& entry) { return entry.second == nullptr; });
    if (!a.section.empty()) {
        auto [name, ix] = splitSection(a.section);
        known.rows.erase(a.section);
        known.rowKeying.erase(name);
        known.names.eraseIf([&](const std::shared_ptr<const CellAddressSlot>& slot) {
            return !slot->address || slot->address->section == a.section;
        });
    }
}

} // namespace

pugi::xml_node ensureLocalCell(const ShapeRef& shape, const CellAddress& a) {
    if (pugi::xml_node cell = cellOf(shape, a))
        return cell;
    forgetWhatTheCellChanges(shape, a);
    pugi::xml_node node = shape.node;
    pugi::xml_node holder = node;
    if (!a.section.empty()) {
        auto [name, ix] = splitSection(a.section);
        pugi::xml_node sec = localSection(shape.node, name, ix);
        if (!sec) {
            // Sections follow the singleton cells and stand before Text and Shapes.
            pugi::xml_node before = node.child("Text");
            if (!before)
                before = node.child("Shapes");
            sec = before ? node.insert_child_before("Section", before) : node.append_child("Section");
            sec.append_attribute("N") = std::string(name).c_str();
            if (!ix.empty())
                sec.append_attribute("IX") = std::string(ix).c_str();
        }
        holder = sec;
        if (!a.rowKey.empty()) {
            pugi::xml_node row = localRow(shape.node, a);
            if (!row) {
                row = sec.append_child("Row");
                if (!a.rowType.empty())
                    row.append_attribute("T") = a.rowType.c_str();
                row.append_attribute(a.rowByIndex ? "IX" : "N") = a.rowKey.c_str();
            }
            holder = row;
        }
        pugi::xml_node cell = holder.append_child("Cell");
        cell.append_attribute("N") = a.name.c_str();
        return cell;
    }
    // A singleton cell goes after the shape's last cell.
    pugi::xml_node lastCell;
    for (pugi::xml_node c : holder.children("Cell"))
        lastCell = c;
    pugi::xml_node cell = lastCell ? holder.insert_child_after("Cell", lastCell)
                                   : (holder.first_child() ? holder.insert_child_before("Cell", holder.first_child())
                                                           : holder.append_child("Cell"));
    cell.append_attribute("N") = a.name.c_str();
    return cell;
}

bool isLengthCell(const CellAddress& a) {
    static const char* const lengths[] = {"PinX", "PinY", "Width", "Height", "LocPinX", "LocPinY", "BeginX",
                                          "BeginY", "EndX", "EndY", "TxtPinX", "TxtPinY", "TxtWidth",
                                          "TxtHeight", "TxtLocPinX", "TxtLocPinY", "LeftMargin", "RightMargin",
                                          "TopMargin", "BottomMargin"};
    if (a.section.empty())
        return std::any_of(std::begin(lengths), std::end(lengths), [&](const char* n) { return a.name == n; });
    bool coordinate = a.name == "X" || a.name == "Y" || a.name == "A" || a.name == "B";
    return coordinate && (a.section.rfind("Geometry", 0) == 0 || a.section == "Connection" || a.section == "Control");
}

std::string shapeName(const ShapeRef& shape) {
    pugi::xml_node n = shape.node;
    if (const char* name = n.attribute("Name").value(); *name)
        return name;
    if (const char* nameU = n.attribute("NameU").value(); *nameU)
        return nameU;
    std::string id = n.attribute("ID").value();
    if (pugi::xml_attribute m = n.attribute("Master")) {
        auto it = shape.container->doc->masterById.find(m.as_int());
        if (it != shape.container->doc->masterById.end()) {
            pugi::xml_node entry = it->second->entry;
            const char* mn = *entry.attribute("Name").value() ? entry.attribute("Name").value()
                                                              : entry.attribute("NameU").value();
            return std::string(mn) + "." + id;
        }
    }
    return "Sheet." + id;
}

} // namespace visio::detail
