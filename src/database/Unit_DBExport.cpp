#include "database/Unit_DBExport.h"

#include <charconv>
#include <functional>
#include <initializer_list>
#include <stdexcept>

#include "database/EntityDiagramPage.h"
#include "database/Unit_AccessExportDM.h"
#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/ui/MessageBox.h"

namespace {

const char* const ConnectionStringTemplate =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%S;Mode=ReadWrite;Persist Security Info=False";
const char* const CreateTableTemplate = "create table %S(%S)";
const char* const ConstraintTemplate = " constraint %S references %S(%S)";
const char* const PrimaryKeyClause = " primary key not null ";

struct ColumnType {
    const char* typeName;
    const char* columnType;
};

const ColumnType ColumnTypes[] = {
    {"Float", "FLOAT"},     {"Integer", "Integer"}, {"Date", "DATETIME"},  {"DateTime", "DATETIME"},
    {"Char", "Text(1)"},    {"VarChar", "Text(255)"}, {"Blob", "image"},
};

// Fills each "%S" of `format` in turn with the next value, inserted verbatim.
std::string fillTemplate(const std::string& format, std::initializer_list<std::string> values)
{
    std::string result;
    auto value = values.begin();
    std::size_t position = 0;
    for (std::size_t at; (at = format.find("%S", position)) != std::string::npos; position = at + 2) {
        result += format.substr(position, at - position);
        if (value != values.end())
            result += *value++;
    }
    return result + format.substr(position);
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// Every top-level shape of the active document, pages and shapes in index order.
void forEachTopLevelShape(visio::Application& application,
                          const std::function<void(const visio::Shape&)>& visit)
{
    const visio::Pages pages = application.ActiveDocument().GetPages();
    const int pageCount = pages.Count();
    for (int i = 1; i <= pageCount; ++i) {
        const visio::Shapes shapes = pages.Item(i).GetShapes();
        const int shapeCount = shapes.Count();
        for (int j = 1; j <= shapeCount; ++j)
            visit(shapes.Item(j));
    }
}

std::string userRowFormula(const visio::Shape& shape)
{
    return shape.CellsSRC(UserSection, 0, 0).FormulaU();
}

visio::Application& sessionApplication()
{
    if (VisioApp == nullptr)
        throw std::logic_error("no drawing session is open");
    return *VisioApp;
}

std::string columnList(const std::vector<TFieldType>& fields)
{
    std::string columns;
    for (const TFieldType& field : fields) {
        if (!columns.empty())
            columns += ", ";
        columns += field.Name + " " + FieldSqlType(field);
    }
    return columns;
}

const char* const EntityStencilFile = "entity_m.vss";
// Visio matches document names without regard to case.
const char* const EntityStencilName = "ENTITY_M.VSS";
const char* const EntityMasterName = "Entity";
const int OpenDockedReadOnly = 6;
const int EntityConnectionRow = 8;
const int GridPitchInches = 3;
const int EntitiesPerRow = 3;

// Where the next entity goes: rows of three from (1, 1), each row below the last.
struct EntityGrid {
    int x = 1;
    int y = 1;
    int column = 1;

    void Advance()
    {
        x += GridPitchInches;
        if (column >= EntitiesPerRow) {
            x = 1;
            y -= GridPitchInches;
            column = 0;
        }
        ++column;
    }
};

// One line per field, "  Name(Type)", with no line feed after the last.
std::string fieldListText(const std::vector<TFieldType>& fields)
{
    std::string text;
    for (const TFieldType& field : fields) {
        if (!text.empty())
            text += '\n';
        text += "  " + field.Name + "(" + field.TypeName + ")";
    }
    return text;
}

// The header's 8 mm holds the first field; each further field adds a line of
// 4.5 mm. Written in the shortest form with a full stop whatever the locale.
std::string entityHeightFormula(std::size_t fieldCount)
{
    const double millimetres = 8 + 4.5 * (static_cast<double>(fieldCount) - 1);
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, millimetres, std::chars_format::fixed);
    return std::string(digits, written.ptr) + " mm";
}

void fillEntity(const visio::Shape& entity, const TTableRec& table)
{
    const visio::Shapes parts = entity.GetShapes();
    const int partCount = parts.Count();
    for (int k = 1; k <= partCount; ++k) {
        visio::Shape part = parts.Item(k);
        if (k == 1)
            part.SetText(table.Name);
        if (k == 2 && !table.Fields.empty()) {
            part.CellsSRC(visio::visSectionParagraph, 0, 6).SetFormulaU("0"); // HorzAlign: left
            part.CellsSRC(visio::visSectionObject, 11, 4).SetFormulaU("0");   // VerticalAlign: top
            part.SetText(fieldListText(table.Fields));
        }
    }
    entity.CellsSRC(visio::visSectionObject, 1, 3).SetFormulaU(entityHeightFormula(table.Fields.size()));
}

void drawEntities(visio::Application& application, TTableCollection& tables)
{
    EntityGrid grid;
    for (const auto& table : tables) {
        const visio::Master master =
            application.GetDocuments().Item(EntityStencilName).GetMasters().ItemU(EntityMasterName);
        table->Shape = application.ActiveWindow().GetPage().Drop(master, grid.x, grid.y);
        grid.Advance();
        fillEntity(table->Shape, *table);
    }
}

bool isForeignKey(const TFieldType& field)
{
    return (field.KeyKind == 2 || field.KeyKind == 3) && !field.RefTable.empty() && !field.RefField.empty();
}

void labelConnector(const visio::Shape& connector, const std::string& label)
{
    visio::Characters characters = connector.GetCharacters();
    characters.SetBegin(0);
    characters.SetEnd(0);
    characters.SetText(label);
}

// Only the table name decides where a connector goes; every table of that
// name gets one. Returns the connectors with the entities they join.
std::vector<TDrawnConnector> connectForeignKeys(visio::Application& application, const TTableCollection& tables)
{
    std::vector<TDrawnConnector> connectors;
    for (std::size_t from = 0; from < tables.size(); ++from) {
        for (const TFieldType& field : tables[from]->Fields) {
            if (!isForeignKey(field))
                continue;
            for (std::size_t to = 0; to < tables.size(); ++to) {
                if (tables[to]->Name != field.RefTable)
                    continue;
                const visio::Shape connector =
                    ConnectEntities(application, tables[from]->Shape, tables[to]->Shape);
                labelConnector(connector, field.Name + " -> " + field.RefField);
                connectors.push_back({connector, from, to});
            }
        }
    }
    return connectors;
}

std::vector<visio::Shape> entitiesOf(const TTableCollection& tables)
{
    std::vector<visio::Shape> entities;
    for (const auto& table : tables)
        entities.push_back(table->Shape);
    return entities;
}

} // namespace

TTableCollection CollectTables(visio::Application& application)
{
    TTableCollection tables;
    forEachTopLevelShape(application, [&tables](const visio::Shape& shape) {
        if (!contains(shape.Name(), "Object") || userRowFormula(shape).empty())
            return;
        auto table = std::make_unique<TTableRec>();
        ReadTableDefinition(shape, *table);
        tables.push_back(std::move(table));
    });
    return tables;
}

void FillForeignKeyList(std::vector<std::string>& list, const std::string& ownTableName)
{
    list.clear();
    forEachTopLevelShape(sessionApplication(), [&](const visio::Shape& shape) {
        const std::string name = shape.Name();
        if (!contains(name, "Document") && !contains(name, "Object"))
            return;
        if (userRowFormula(shape).empty())
            return;
        TTableRec table;
        ReadTableDefinition(shape, table);
        if (table.Name == ownTableName)
            return;
        for (const TFieldType& field : table.Fields)
            list.push_back(table.Name + "." + field.Name);
    });
}

std::string FieldSqlType(const TFieldType& field)
{
    std::string type = "char";
    for (const ColumnType& known : ColumnTypes)
        if (field.TypeName == known.typeName)
            type = known.columnType;
    if (field.KeyKind == 1 || field.KeyKind == 3)
        type += PrimaryKeyClause;
    if (field.KeyKind == 2) {
        const std::string constraintName = "FK_" + field.RefTable + "_" + field.RefField;
        type += fillTemplate(ConstraintTemplate, {constraintName, field.RefTable, field.RefField});
    }
    return type;
}

std::string CreateTableStatement(const TTableRec& table)
{
    const std::string columns = columnList(table.Fields);
    if (table.Name.empty() || columns.empty())
        return {};
    return fillTemplate(CreateTableTemplate, {table.Name, columns});
}

void ExportToAccess()
{
    if (!dmExportAccess)
        throw std::logic_error("the export data module is not created");
    TdmExportAccess& module = *dmExportAccess;
    std::string path;
    if (!module.ChooseDatabaseFile(path))
        return;
    // The drawing is walked only once the file exists.
    const TTableCollection tables = CollectTables(sessionApplication());
    if (tables.empty()) {
        ui::MessageBox("  Таблицы БД не найдены !   ", "Сообщение", ui::MB_OK, ui::MB_ICONWARNING);
        return;
    }
    module.ADOConnection1.SetConnectionString(fillTemplate(ConnectionStringTemplate, {path}));
    module.ADOConnection1.Open();
    for (const auto& table : tables) {
        const std::string statement = CreateTableStatement(*table);
        if (statement.empty())
            continue;
        module.ADOQuery1.SQL().Clear();
        module.ADOQuery1.SQL().Add(statement);
        module.ADOQuery1.ExecSQL();
    }
}

void BuildEntityDiagram()
{
    visio::Application& application = sessionApplication();
    TTableCollection tables = CollectTables(application);
    DrawEntityDiagram(application, tables);
}

void DrawEntityDiagram(visio::Application& application, TTableCollection& tables)
{
    application.GetDocuments().AddEx("", 0, 0);
    application.GetDocuments().OpenEx(EntityStencilFile, OpenDockedReadOnly);
    drawEntities(application, tables);
    const std::vector<TDrawnConnector> connectors = connectForeignKeys(application, tables);
    FitEntityDiagram(application.ActiveWindow().GetPage(), entitiesOf(tables), connectors);
}

visio::Shape ConnectEntities(visio::Application& application, const visio::Shape& fromShape,
                             const visio::Shape& toShape)
{
    const visio::Shape connector =
        application.ActiveWindow().GetPage().Drop(application.ConnectorToolDataObject(), 5, 5);
    connector.CellsSRC(visio::visSectionObject, 23, 19).SetFormulaU(1); // ConLineRouteExt: straight
    connector.CellsSRC(visio::visSectionObject, 23, 10).SetFormulaU(1); // ShapeRouteStyle: right angle
    connector.SendToBack();
    connector.Cells("BeginX").GlueTo(fromShape.CellsSRC(visio::visSectionConnectionPts, EntityConnectionRow, 0));
    connector.Cells("EndX").GlueTo(toShape.CellsSRC(visio::visSectionConnectionPts, EntityConnectionRow, 0));
    return connector;
}
