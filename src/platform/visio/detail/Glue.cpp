#include "platform/visio/detail/Glue.h"

#include <cstring>

#include "platform/visio/detail/CellValues.h"

namespace visio::detail {

namespace {

struct EndCells {
    const char* x;
    const char* y;
    const char* trigger;
    const char* fromPart;   // visBegin 9, visEnd 12
};

EndCells endCells(const ShapeRef& connector, const CellAddress& end) {
    if (end.section.empty() && (end.name == "BeginX" || end.name == "BeginY"))
        return {"BeginX", "BeginY", "BegTrigger", "9"};
    if (end.section.empty() && (end.name == "EndX" || end.name == "EndY"))
        return {"EndX", "EndY", "EndTrigger", "12"};
    throw VisioError("Shape '" + shapeName(connector) + "': only BeginX and EndX can be glued, not " + end.name);
}

CellAddress singletonCell(const char* name) {
    CellAddress a;
    a.name = name;
    a.formulaName = name;
    return a;
}

// Sets a formula and the value it stands for, without recalculating.
void setFormulaCell(const ShapeRef& shape, const char* name, const std::string& f, const std::string& v) {
    pugi::xml_node cell = ensureLocalCell(shape, singletonCell(name));
    pugi::xml_attribute va = cell.attribute("V") ? cell.attribute("V") : cell.append_attribute("V");
    va = v.c_str();
    pugi::xml_attribute fa = cell.attribute("F") ? cell.attribute("F") : cell.append_attribute("F");
    fa = f.c_str();
    cell.remove_attribute("E");
}

void recordConnect(SheetContainer* page, int fromSheet, const EndCells& end, int toSheet, const std::string& toCell,
                   const std::string& toPart) {
    pugi::xml_node root = page->root();
    pugi::xml_node connects = root.child("Connects");
    if (!connects) {
        pugi::xml_node shapes = page->topShapes(true);
        connects = root.insert_child_after("Connects", shapes);
    }
    // One record per glued end: gluing again replaces the old record.
    for (pugi::xml_node c = connects.child("Connect"); c;) {
        pugi::xml_node next = c.next_sibling("Connect");
        if (c.attribute("FromSheet").as_int() == fromSheet && std::strcmp(c.attribute("FromCell").value(), end.x) == 0)
            connects.remove_child(c);
        c = next;
    }
    page->connectsIndexed = false;
    pugi::xml_node c = connects.append_child("Connect");
    c.append_attribute("FromSheet") = fromSheet;
    c.append_attribute("FromCell") = end.x;
    c.append_attribute("FromPart") = end.fromPart;
    c.append_attribute("ToSheet") = toSheet;
    c.append_attribute("ToCell") = toCell.c_str();
    c.append_attribute("ToPart") = toPart.c_str();
}

} // namespace

void glue(const ShapeRef& connector, const CellAddress& end, const ShapeRef& target, const CellAddress& targetCell) {
    if (connector.container != target.container || connector.container->kind != SheetContainer::Kind::Page)
        throw VisioError("Shape '" + shapeName(connector) + "' can only be glued to a shape on its own page");
    if (connector.node == target.node)
        throw VisioError("Shape '" + shapeName(connector) + "' cannot be glued to itself");
    EndCells cells = endCells(connector, end);
    std::string sheet = "Sheet." + std::string(target.node.attribute("ID").value());
    int toId = target.node.attribute("ID").as_int();

    if (targetCell.section == "Connection" && targetCell.name == "X") {
        // Static glue to a connection point: the end is that point in page
        // coordinates, and follows it.
        int row = std::atoi(targetCell.rowKey.c_str());
        std::string n = std::to_string(row + 1);
        std::string pnt = "PAR(PNT(" + sheet + "!Connections.X" + n + "," + sheet + "!Connections.Y" + n + "))";
        setFormulaCell(connector, cells.x, pnt, "0");
        setFormulaCell(connector, cells.y, pnt, "0");
        setFormulaCell(connector, cells.trigger, "_XFTRIGGER(" + sheet + "!EventXFMod)", "2");
        recordConnect(connector.container, connector.node.attribute("ID").as_int(), cells, toId,
                      "Connections.X" + n, std::to_string(100 + row));
    } else if (targetCell.section.empty() && targetCell.name == "PinX") {
        // Dynamic glue: Visio walks the end to the nearest side when it opens
        // the drawing; until then the end stands at the target's pin.
        bool begin = cells.fromPart == std::string("9");
        std::string walk = begin ? "_WALKGLUE(BegTrigger,EndTrigger,WalkPreference)"
                                 : "_WALKGLUE(EndTrigger,BegTrigger,WalkPreference)";
        std::optional<formula::Value> px = valueOf(target, singletonCell("PinX"));
        std::optional<formula::Value> py = valueOf(target, singletonCell("PinY"));
        setFormulaCell(connector, cells.x, walk, valueText(px ? px->number : 0));
        setFormulaCell(connector, cells.y, walk, valueText(py ? py->number : 0));
        setFormulaCell(connector, cells.trigger, "_XFTRIGGER(" + sheet + "!EventXFMod)", "2");
        recordConnect(connector.container, connector.node.attribute("ID").as_int(), cells, toId, "PinX", "3");
        connector.container->doc->needsRecalcOnOpen = true;
    } else {
        throw VisioError("Shape '" + shapeName(connector) + "' cannot be glued to " + targetCell.formulaName +
                         " of shape '" + shapeName(target) + "': glue needs a connection point or the pin");
    }
    connector.container->markChanged();

    // Evaluate the end point, then everything that follows from it.
    if (std::optional<std::string> f = activeFormula(connector, singletonCell(cells.x))) {
        if (f->rfind("PAR(", 0) == 0) {
            writeFormula(connector, singletonCell(cells.x), *f);
            writeFormula(connector, singletonCell(cells.y), *f);
        } else {
            recalculateAfter(connector, {singletonCell(cells.x), singletonCell(cells.y)});
        }
    }
}

} // namespace visio::detail
