#include "host/DrawingDump.h"

#include <algorithm>
#include <cctype>

#include "host/JsonValue.h"
#include "model/Utils.h"

namespace host {

namespace {

JsonValue shapeToJson(const visio::Shape& shape);

// A formula of the shape, null where the shape has no such cell.
JsonValue cellFormula(const visio::Shape& shape, const std::string& name)
{
    try {
        return shape.Cells(name).FormulaU();
    } catch (const visio::VisioError&) {
        return {};
    }
}

JsonValue propertyFormulas(const visio::Shape& shape)
{
    JsonValue::Array rows;
    for (int row = 0; shape.CellsSRCExists(PropertySection, row, 2, 0) != 0; ++row) {
        rows.emplace_back(ReadPropertyFormula(shape, row));
    }
    return rows;
}

JsonValue userRowZero(const visio::Shape& shape)
{
    if (shape.CellsSRCExists(UserSection, 0, 0, 0) == 0) {
        return {};
    }
    return shape.CellsSRC(UserSection, 0, 0).FormulaU();
}

JsonValue subShapes(const visio::Shapes& shapes)
{
    JsonValue::Array list;
    for (int index = 1; index <= shapes.Count(); ++index) {
        list.push_back(shapeToJson(shapes.Item(index)));
    }
    return list;
}

JsonValue shapeToJson(const visio::Shape& shape)
{
    return JsonValue::Object{
        {"id", shape.ID()},
        {"name", shape.Name()},
        {"kind", static_cast<int>(ElementKindOf(shape))},
        {"text", shape.Text()},
        {"properties", propertyFormulas(shape)},
        {"user0", userRowZero(shape)},
        {"pinX", cellFormula(shape, "PinX")},
        {"pinY", cellFormula(shape, "PinY")},
        {"shapes", subShapes(shape.GetShapes())},
    };
}

JsonValue connectsToJson(const visio::Page& page)
{
    JsonValue::Array list;
    for (const visio::Connect& connect : page.Connects()) {
        list.push_back(JsonValue::Object{
            {"from", connect.fromSheet},
            {"fromCell", connect.fromCell},
            {"to", connect.toSheet},
            {"toCell", connect.toCell},
        });
    }
    return list;
}

JsonValue pageToJson(const visio::Page& page)
{
    return JsonValue::Object{
        {"name", page.Name()},
        {"id", page.ID()},
        {"shapes", subShapes(page.GetShapes())},
        {"connects", connectsToJson(page)},
    };
}

bool isNumber(const std::string& text)
{
    return !text.empty() && text.size() < 10
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

JsonValue pagesToJson(const visio::Pages& pages, const std::string& page)
{
    JsonValue::Array list;
    if (!page.empty()) {
        list.push_back(pageToJson(isNumber(page) ? pages.Item(std::stoi(page)) : pages.ItemByName(page)));
        return list;
    }
    for (int index = 1; index <= pages.Count(); ++index) {
        list.push_back(pageToJson(pages.Item(index)));
    }
    return list;
}

} // namespace

std::string DumpDrawing(const visio::Application& application, const std::string& file, const std::string& page)
{
    JsonValue dump = JsonValue::Object{
        {"file", file},
        {"pages", pagesToJson(application.ActiveDocument().GetPages(), page)},
    };
    return dump.Write() + "\n";
}

} // namespace host
