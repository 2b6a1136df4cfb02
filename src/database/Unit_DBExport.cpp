#include "database/Unit_DBExport.h"

#include <functional>
#include <initializer_list>
#include <stdexcept>

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
