#include "host/DrawingDump.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "model/Utils.h"

namespace host {

namespace {

using Json = nlohmann::ordered_json;

Json shapeToJson(const visio::Shape& shape, bool withRows);

// A formula of the shape, null where the shape has no such cell.
Json cellFormula(const visio::Shape& shape, const std::string& name)
{
    try {
        return shape.Cells(name).FormulaU();
    } catch (const visio::VisioError&) {
        return nullptr;
    }
}

Json propertyFormulas(const visio::Shape& shape)
{
    Json rows = Json::array();
    for (int row = 0; shape.CellsSRCExists(PropertySection, row, 2, 0) != 0; ++row) {
        rows.push_back(ReadPropertyFormula(shape, row));
    }
    return rows;
}

Json userRowZero(const visio::Shape& shape)
{
    if (shape.CellsSRCExists(UserSection, 0, 0, 0) == 0) {
        return nullptr;
    }
    return shape.CellsSRC(UserSection, 0, 0).FormulaU();
}

// The formula of cell `column` of a row, null when the row lacks that cell.
Json rowCell(const visio::Shape& shape, int section, int row, int column)
{
    try {
        return shape.CellsSRC(section, row, column).FormulaU();
    } catch (const visio::VisioError&) {
        return nullptr;
    }
}

// Every row of a named section (property or user rows) with its name, the
// value and the cell that describes it (the label, or the prompt).
Json namedRows(const visio::Shape& shape, int section, int describingColumn, const char* describingKey)
{
    Json rows = Json::array();
    for (int row = 0; shape.CellsSRCExists(section, row, 0, 0) != 0; ++row) {
        const visio::Cell value = shape.CellsSRC(section, row, 0);
        rows.push_back(Json{
            {"name", value.Name()},
            {describingKey, rowCell(shape, section, row, describingColumn)},
            {"value", value.FormulaU()},
        });
    }
    return rows;
}

Json subShapes(const visio::Shapes& shapes, bool withRows)
{
    Json list = Json::array();
    for (int index = 1; index <= shapes.Count(); ++index) {
        list.push_back(shapeToJson(shapes.Item(index), withRows));
    }
    return list;
}

// A shape as a drawing shows it; a master's shapes (`withRows`) also list
// their property and user rows by name, since a stencil is looked into to see
// what its masters define.
Json shapeToJson(const visio::Shape& shape, bool withRows)
{
    Json json{
        {"id", shape.ID()},
        {"name", shape.Name()},
        {"kind", static_cast<int>(ElementKindOf(shape))},
        {"text", shape.Text()},
        {"shownText", shape.ShownText()},
        {"properties", propertyFormulas(shape)},
        {"user0", userRowZero(shape)},
        {"pinX", cellFormula(shape, "PinX")},
        {"pinY", cellFormula(shape, "PinY")},
    };
    if (withRows) {
        json["propertyRows"] = namedRows(shape, PropertySection, 2, "label");
        json["userRows"] = namedRows(shape, UserSection, 1, "prompt");
    }
    json["shapes"] = subShapes(shape.GetShapes(), withRows);
    return json;
}

Json connectsToJson(const visio::Page& page)
{
    Json list = Json::array();
    for (const visio::Connect& connect : page.Connects()) {
        list.push_back(Json{
            {"from", connect.fromSheet},
            {"fromCell", connect.fromCell},
            {"to", connect.toSheet},
            {"toCell", connect.toCell},
        });
    }
    return list;
}

Json pageToJson(const visio::Page& page)
{
    return Json{
        {"name", page.Name()},
        {"id", page.ID()},
        {"shapes", subShapes(page.GetShapes(), false)},
        {"connects", connectsToJson(page)},
    };
}

bool isNumber(const std::string& text)
{
    return !text.empty() && text.size() < 10
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

Json pagesToJson(const visio::Pages& pages, const std::string& page)
{
    Json list = Json::array();
    if (!page.empty()) {
        list.push_back(pageToJson(isNumber(page) ? pages.Item(std::stoi(page)) : pages.ItemByName(page)));
        return list;
    }
    for (int index = 1; index <= pages.Count(); ++index) {
        list.push_back(pageToJson(pages.Item(index)));
    }
    return list;
}

Json mastersToJson(const visio::Masters& masters)
{
    Json list = Json::array();
    for (int index = 1; index <= masters.Count(); ++index) {
        const visio::Master master = masters.Item(index);
        list.push_back(Json{
            {"id", master.ID()},
            {"nameU", master.NameU()},
            {"name", master.Name()},
            {"shapes", subShapes(master.GetShapes(), true)},
        });
    }
    return list;
}

// Two spaces per level; texts stay UTF-8, and bytes that are no valid UTF-8
// become U+FFFD so that the output is always valid JSON.
std::string written(const Json& json)
{
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace

std::string DumpDrawing(const visio::Application& application, const std::string& file, const std::string& page)
{
    return DumpDocument(application.ActiveDocument(), file, page);
}

std::string DumpDocument(const visio::Document& document, const std::string& file, const std::string& page)
{
    if (document.IsStencil()) {
        if (!page.empty()) {
            throw visio::VisioError(file + " is a stencil: it has masters, no pages");
        }
        return written(Json{{"file", file}, {"masters", mastersToJson(document.GetMasters())}});
    }
    return written(Json{{"file", file}, {"pages", pagesToJson(document.GetPages(), page)}});
}

} // namespace host
