#include "database/EntityDiagramPage.h"

#include <charconv>
#include <string>

#include "database/EntityRoutes.h"

namespace {

constexpr int EntitiesPerRow = 3;
constexpr double MmPerInch = 25.4;
// The connectors' labels are set in 8 pt; a character is taken as 0.6 of the
// size wide, which errs towards room to spare, and the text block gets its
// margins on top.
constexpr double LabelSizeInches = 8.0 / 72;
constexpr double LabelCharacterWidth = 0.6 * LabelSizeInches;
constexpr double LabelMarginsWidth = 0.15;
constexpr double LabelHeight = 1.2 * LabelSizeInches + 0.08;

// A length as a formula in millimetres, with a full stop whatever the locale.
std::string millimetres(double inches)
{
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, inches * MmPerInch);
    return std::string(digits, written.ptr) + " mm";
}

double cell(const visio::Shape& shape, const char* name)
{
    return shape.Cells(name).ResultIU();
}

std::size_t characterCount(const std::string& utf8)
{
    std::size_t count = 0;
    for (unsigned char c : utf8)
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

diagram::EntityBox boxOf(const visio::Shape& entity, std::size_t index)
{
    const double left = cell(entity, "PinX") - cell(entity, "LocPinX");
    const double bottom = cell(entity, "PinY") - cell(entity, "LocPinY");
    diagram::EntityBox box;
    box.box = {left, bottom, left + cell(entity, "Width"), bottom + cell(entity, "Height")};
    box.row = static_cast<int>(index / EntitiesPerRow);
    box.column = static_cast<int>(index % EntitiesPerRow);
    return box;
}

diagram::Link linkOf(const TDrawnConnector& drawn)
{
    diagram::Link link;
    link.from = drawn.From;
    link.to = drawn.To;
    link.begin = {cell(drawn.Connector, "BeginX"), cell(drawn.Connector, "BeginY")};
    link.end = {cell(drawn.Connector, "EndX"), cell(drawn.Connector, "EndY")};
    link.labelWidth = LabelMarginsWidth + LabelCharacterWidth * static_cast<double>(characterCount(drawn.Connector.Text()));
    link.labelHeight = LabelHeight;
    return link;
}

// The route goes into the connector's first geometry section, in the
// connector's own coordinates, whose origin is its begin point: the master's
// MoveTo at the origin stays, its LineTo becomes the first bend, and a
// LineTo row is added for each further point, as Visio keeps the route it
// found for a dynamic connector. The label's text block is placed and sized
// to stand where the route left room for it.
void writeRoute(const visio::Shape& connector, const diagram::Route& route)
{
    const int geometry = visio::visSectionFirstComponent;
    const diagram::Point origin = route.points.front();
    for (std::size_t i = 1; i < route.points.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        if (connector.CellsSRCExists(geometry, row, 0, 0) == 0)
            connector.AddRow(geometry, visio::visRowLast, visio::visTagLineTo);
        connector.CellsSRC(geometry, row, 0).SetFormulaU(millimetres(route.points[i].x - origin.x));
        connector.CellsSRC(geometry, row, 1).SetFormulaU(millimetres(route.points[i].y - origin.y));
    }
    const diagram::Rect& label = route.label;
    // Lines that cross a label pass behind its white ground, as Visio draws
    // its connectors' labels.
    connector.Cells("TextBkgnd").SetFormulaU("2");
    connector.Cells("TxtWidth").SetFormulaU(millimetres(label.Width()));
    connector.Cells("TxtHeight").SetFormulaU(millimetres(label.Height()));
    connector.Cells("TxtPinX").SetFormulaU(millimetres((label.left + label.right) / 2 - origin.x));
    connector.Cells("TxtPinY").SetFormulaU(millimetres((label.bottom + label.top) / 2 - origin.y));
}

void moveBy(const visio::Shape& entity, double dx, double dy)
{
    const double x = cell(entity, "PinX");
    const double y = cell(entity, "PinY");
    entity.Cells("PinX").SetFormulaU(millimetres(x + dx));
    entity.Cells("PinY").SetFormulaU(millimetres(y + dy));
}

} // namespace

void FitEntityDiagram(const visio::Page& page, const std::vector<visio::Shape>& entities,
                      const std::vector<TDrawnConnector>& connectors)
{
    if (entities.empty())
        return;
    std::vector<diagram::EntityBox> boxes;
    for (std::size_t i = 0; i < entities.size(); ++i)
        boxes.push_back(boxOf(entities[i], i));
    std::vector<diagram::Link> links;
    for (const TDrawnConnector& drawn : connectors)
        links.push_back(linkOf(drawn));
    const std::vector<diagram::Route> routes = diagram::RouteLinks(boxes, links);
    for (std::size_t i = 0; i < connectors.size(); ++i)
        writeRoute(connectors[i].Connector, routes[i]);

    const diagram::Rect bounds = diagram::DiagramBounds(boxes, routes);
    const double margin = DiagramMarginMm / MmPerInch;
    const visio::Shape sheet = page.PageSheet();
    const double width = bounds.Width() + 2 * margin;
    const double height = bounds.Height() + 2 * margin;
    sheet.Cells("PageWidth").SetFormulaU(millimetres(width));
    sheet.Cells("PageHeight").SetFormulaU(millimetres(height));
    sheet.Cells("PrintPageOrientation").SetFormulaU(width > height ? "2" : "1"); // landscape, portrait
    // The connectors follow the entities they are glued to; their routes are
    // kept relative to their begin points, which move as much as their ends.
    for (const visio::Shape& entity : entities)
        moveBy(entity, margin - bounds.left, margin - bounds.bottom);
}
