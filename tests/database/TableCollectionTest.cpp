#include <gtest/gtest.h>

#include "database/Unit_DBExport.h"
#include "model/Utils.h"
#include "ObjectDrawing.h"

namespace {

using dbtest::Field;

class TableCollection : public dbtest::ObjectDrawing {
protected:
    std::vector<std::string> names(const TTableCollection& tables)
    {
        std::vector<std::string> result;
        for (const auto& table : tables)
            result.push_back(table->Name);
        return result;
    }

    std::vector<std::string> targets(const std::string& ownTableName)
    {
        std::vector<std::string> list = {"left over"};
        FillForeignKeyList(list, ownTableName);
        return list;
    }
};

TEST_F(TableCollection, EmptyDrawingYieldsNothing)
{
    Drop("Process");
    Drop("Object");
    EXPECT_TRUE(CollectTables(app).empty());
    EXPECT_EQ(targets(""), std::vector<std::string>{});
}

TEST_F(TableCollection, ObjectTablesInDocumentOrder)
{
    Table("Object", "B", {Field("b1", "Integer", 1)}, 2);
    Table("Object", "A", {Field("a1", "Integer", 1), Field("a2", "Char", 0)}, 1);
    Drop("Object", 1); // no definition: skipped unread
    Table("Document", "FromDocument", {Field("d1", "Integer", 0)}, 1);
    Table("Object", "Empty", {}, 2);
    Table("Object", "A", {Field("again", "Blob", 0)}, 2);

    const TTableCollection tables = CollectTables(app);
    EXPECT_EQ(names(tables), (std::vector<std::string>{"A", "B", "Empty", "A"}));
    ASSERT_EQ(tables.size(), 4u);
    EXPECT_EQ(tables[0]->Fields, (std::vector<TFieldType>{Field("a1", "Integer", 1), Field("a2", "Char", 0)}));
    EXPECT_TRUE(tables[2]->Fields.empty());
    for (const auto& table : tables)
        EXPECT_FALSE(table->Shape);
}

TEST_F(TableCollection, ForeignKeyTargetsLeaveOutTheEditedTable)
{
    Table("Object", "Orders", {Field("Id", "Integer", 1), Field("CustomerId", "Integer", 2)});
    Table("Document", "Customers", {Field("Id", "Integer", 1)});
    Table("Object", "Empty", {});
    Table("Object", "orders", {Field("Other", "Char", 0)}, 2);
    Table("Object", "Orders", {Field("Twin", "Char", 0)}, 2);
    Table("Object", "", {Field("Nameless", "Char", 0)}, 2);

    EXPECT_EQ(targets("Orders"),
              (std::vector<std::string>{"Customers.Id", "orders.Other", ".Nameless"}));
    EXPECT_EQ(targets(""), (std::vector<std::string>{"Orders.Id", "Orders.CustomerId", "Customers.Id",
                                                     "orders.Other", "Orders.Twin"}));
}

TEST_F(TableCollection, MalformedDefinitionEndsTheWalk)
{
    Table("Object", "Good", {Field("Id", "Integer", 1)});
    Drop("Object").CellsSRC(UserSection, 0, 0).SetFormulaU(R"("Bad|||d|||a***b***c***d")");
    EXPECT_THROW(CollectTables(app), EConvertError);
    std::vector<std::string> list;
    EXPECT_THROW(FillForeignKeyList(list, ""), EConvertError);
    EXPECT_EQ(list, std::vector<std::string>{"Good.Id"});
}

} // namespace
