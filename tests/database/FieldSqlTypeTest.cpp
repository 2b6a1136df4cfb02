#include <gtest/gtest.h>

#include "database/Unit_DBExport.h"

namespace {

TFieldType field(std::string name, std::string typeName, std::uint8_t keyKind,
                 std::string refTable = {}, std::string refField = {})
{
    return TFieldType{std::move(name), std::move(typeName), "", keyKind, std::move(refTable),
                      std::move(refField)};
}

struct TypeCase {
    const char* typeName;
    std::uint8_t keyKind;
    const char* refTable;
    const char* refField;
    const char* sqlType;
};

TEST(FieldSqlType, ColumnTypeThenKeyClause)
{
    const TypeCase cases[] = {
        {"Float", 0, "", "", "FLOAT"},
        {"Integer", 0, "", "", "Integer"},
        {"Date", 0, "", "", "DATETIME"},
        {"DateTime", 0, "", "", "DATETIME"},
        {"Char", 0, "", "", "Text(1)"},
        {"VarChar", 0, "", "", "Text(255)"},
        {"Blob", 0, "", "", "image"},
        {"integer", 0, "", "", "char"},
        {"", 0, "", "", "char"},
        {"Text", 0, "", "", "char"},
        {"Integer", 1, "", "", "Integer primary key not null "},
        {"Integer", 2, "Customers", "Id", "Integer constraint FK_Customers_Id references Customers(Id)"},
        {"Integer", 3, "Customers", "Id", "Integer primary key not null "},
        {"Integer", 4, "Customers", "Id", "Integer"},
        {"Integer", 255, "", "", "Integer"},
        {"Char", 2, "", "", "Text(1) constraint FK__ references ()"},
        // References are used only for kind 2; they may be filled for the others.
        {"Float", 0, "T", "F", "FLOAT"},
        {"Float", 1, "T", "F", "FLOAT primary key not null "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FieldSqlType(field("f", c.typeName, c.keyKind, c.refTable, c.refField)), c.sqlType)
            << c.typeName << " kind " << int(c.keyKind);
}

TEST(FieldSqlType, CoversEveryOfferedTypeName)
{
    for (const std::string& name : FieldTypeNames)
        EXPECT_NE(FieldSqlType(field("f", name, 0)), "char") << name;
}

TEST(CreateTableStatement, TheWorkedExampleCharacterForCharacter)
{
    TTableRec orders;
    orders.Name = "Orders";
    orders.Fields = {field("Id", "Integer", 1), field("CustomerId", "Integer", 2, "Customers", "Id"),
                     field("Note", "VarChar", 0)};
    EXPECT_EQ(CreateTableStatement(orders),
              "create table Orders(Id Integer primary key not null , CustomerId Integer constraint "
              "FK_Customers_Id references Customers(Id), Note Text(255))");
}

TEST(CreateTableStatement, NamesGoInVerbatimAndEmptyTablesAreSkipped)
{
    TTableRec table;
    table.Name = "Lines";
    table.Fields = {field("Key", "Integer", 1)};
    EXPECT_EQ(CreateTableStatement(table), "create table Lines(Key Integer primary key not null )");

    table.Name = "T(a int); drop table X; --";
    EXPECT_EQ(CreateTableStatement(table),
              "create table T(a int); drop table X; --(Key Integer primary key not null )");

    table.Name = "";
    EXPECT_EQ(CreateTableStatement(table), "");
    table.Name = "NoFields";
    table.Fields.clear();
    EXPECT_EQ(CreateTableStatement(table), "");
}

} // namespace
