// What the system's commands rely on in the masters we ship: the property rows
// of each element kind, the entity group with its connection point 8, the
// dynamic connector and the blank drawing's single page.

#include <gtest/gtest.h>

#include <zip.h>

#include <pugixml.hpp>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/visio/builtin/BuiltinPackages.h"

namespace {

constexpr double kInchesPerMm = 1.0 / 25.4;

// One part of a package: from a .vssx file, or from a built-in part list.
class PartSource {
public:
    explicit PartSource(std::string zipPath) : zipPath_(std::move(zipPath)) {}
    explicit PartSource(const visio::builtin::PartList& parts) : parts_(&parts) {}

    std::string bytes(const std::string& absoluteName) const
    {
        if (parts_) {
            for (const auto& [name, data] : *parts_)
                if (name == absoluteName)
                    return data;
            ADD_FAILURE() << "no part " << absoluteName;
            return {};
        }
        int error = 0;
        zip_t* archive = zip_open(zipPath_.c_str(), ZIP_RDONLY, &error);
        if (!archive) {
            ADD_FAILURE() << "cannot open " << zipPath_;
            return {};
        }
        std::string data;
        zip_stat_t stat;
        if (zip_stat(archive, absoluteName.c_str() + 1, 0, &stat) == 0) {
            data.resize(static_cast<std::size_t>(stat.size));
            zip_file_t* file = zip_fopen(archive, absoluteName.c_str() + 1, 0);
            if (!file || zip_fread(file, data.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
                ADD_FAILURE() << "cannot read " << absoluteName;
            if (file)
                zip_fclose(file);
        } else {
            ADD_FAILURE() << "no part " << absoluteName << " in " << zipPath_;
        }
        zip_discard(archive);
        return data;
    }

    std::unique_ptr<pugi::xml_document> xml(const std::string& absoluteName) const
    {
        auto document = std::make_unique<pugi::xml_document>();
        const std::string data = bytes(absoluteName);
        EXPECT_TRUE(document->load_buffer(data.data(), data.size())) << absoluteName;
        return document;
    }

    // The part of the master with this universal name, found through masters.xml.
    std::unique_ptr<pugi::xml_document> master(const std::string& nameU) const
    {
        const auto masters = xml("/visio/masters/masters.xml");
        const auto entry = masters->child("Masters").find_child_by_attribute("Master", "NameU", nameU.c_str());
        EXPECT_TRUE(entry) << "no master " << nameU;
        const auto rels = xml("/visio/masters/_rels/masters.xml.rels");
        const auto rel = rels->child("Relationships")
                             .find_child_by_attribute("Relationship", "Id", entry.child("Rel").attribute("r:id").value());
        return xml(std::string("/visio/masters/") + rel.attribute("Target").value());
    }

private:
    std::string zipPath_;
    const visio::builtin::PartList* parts_ = nullptr;
};

PartSource bundled(const char* file)
{
    return PartSource(std::string(KALEMAR_STENCIL_DIR) + "/" + file);
}

pugi::xml_node topShape(const pugi::xml_document& part)
{
    return part.child("MasterContents").child("Shapes").child("Shape");
}

pugi::xml_node cellOf(pugi::xml_node owner, const char* name)
{
    return owner.find_child_by_attribute("Cell", "N", name);
}

double valueOf(pugi::xml_node owner, const char* name)
{
    return cellOf(owner, name).attribute("V").as_double();
}

pugi::xml_node sectionOf(pugi::xml_node shape, const char* name)
{
    return shape.find_child_by_attribute("Section", "N", name);
}

struct ElementMaster {
    const char* name;
    std::vector<std::string> labels;   // of property rows 0, 1, ... in order
    bool hasTableRow;                  // user row 0 for a table definition
    std::vector<std::string> fields;   // what the shape's text shows
};

void PrintTo(const ElementMaster& master, std::ostream* out)
{
    *out << master.name;
}

// What the shapes show: the rows themselves and, between two of them, a line
// break only when there is something on both sides of it.
const std::vector<std::string> kNumberAndName = {
    "Prop.Row_1", "IF(AND(LEN(Prop.Row_1)>0,LEN(Prop.Row_2)>0),CHAR(10),\"\")", "Prop.Row_2"};
const std::vector<std::string> kNumberNameAndPerformer = {
    "Prop.Row_1", "IF(AND(LEN(Prop.Row_1)>0,LEN(Prop.Row_3)+LEN(Prop.Row_2)>0),CHAR(10),\"\")", "Prop.Row_3",
    "IF(AND(LEN(Prop.Row_3)>0,LEN(Prop.Row_2)>0),CHAR(10),\"\")", "Prop.Row_2"};
const std::vector<std::string> kStampRows = {
    "IF(LEN(Prop.Row_1)>0,\"Процедура № \"&Prop.Row_1,\"\")",
    "IF(AND(LEN(Prop.Row_1)>0,LEN(Prop.Row_2)>0),CHAR(10),\"\")", "Prop.Row_2"};

const ElementMaster kElementMasters[] = {
    {"Document",
     {"Номер", "Наименование", "Нормативный документ", "Признак", "Резерв", "Описание", "Копия"},
     true, kNumberAndName},
    {"Object",
     {"Номер", "Наименование", "Нормативный документ", "Признак", "Резерв", "Описание", "Копия"},
     true, kNumberAndName},
    {"Process",
     {"Номер", "Исполнитель", "Наименование", "Ссылка", "Резерв", "Описание", "Резерв"},
     false, kNumberNameAndPerformer},
    {"Stamp", {"Номер", "Процедура", "Разработал", "Дата"}, false, kStampRows},
    {"Frame", {"Страница", "Примечание"}, false, {}},
};

class KalemarMaster : public testing::TestWithParam<ElementMaster> {};

TEST_P(KalemarMaster, CarriesThePropertyRowsOfItsKindInOrder)
{
    const auto part = bundled("kalemar.vssx").master(GetParam().name);
    const auto rows = sectionOf(topShape(*part), "Property").children("Row");
    std::size_t index = 0;
    for (auto row : rows) {
        SCOPED_TRACE("property row " + std::to_string(index));
        ASSERT_LT(index, GetParam().labels.size()) << "more rows than expected";
        EXPECT_EQ(std::string(row.attribute("N").value()), "Row_" + std::to_string(index + 1));
        EXPECT_EQ(cellOf(row, "Label").attribute("V").value(), GetParam().labels[index]);
        EXPECT_TRUE(cellOf(row, "Prompt"));
        EXPECT_STREQ(cellOf(row, "Type").attribute("V").value(), "0");
        const auto value = cellOf(row, "Value");
        EXPECT_STREQ(value.attribute("V").value(), "");
        EXPECT_STREQ(value.attribute("U").value(), "STR");
        EXPECT_FALSE(value.attribute("F")) << "an empty text is a constant";
        ++index;
    }
    EXPECT_EQ(index, GetParam().labels.size());
}

// An object defines a table only once its user row 0 has a formula: the master
// gives the row, but no formula in it.
TEST_P(KalemarMaster, GivesObjectsAnEmptyTableDefinitionRow)
{
    const auto part = bundled("kalemar.vssx").master(GetParam().name);
    const auto user = sectionOf(topShape(*part), "User");
    EXPECT_EQ(static_cast<bool>(user), GetParam().hasTableRow);
    if (GetParam().hasTableRow) {
        EXPECT_STREQ(cellOf(user.child("Row"), "Value").attribute("F").value(), "No Formula");
    }
}

TEST_P(KalemarMaster, ShowsItsRowsThroughTextFields)
{
    const auto part = bundled("kalemar.vssx").master(GetParam().name);
    const auto shape = topShape(*part);
    std::vector<std::string> shown;
    for (auto row : sectionOf(shape, "Field").children("Row"))
        shown.emplace_back(cellOf(row, "Value").attribute("F").value());
    EXPECT_EQ(shown, GetParam().fields);
    EXPECT_EQ(shape.child("Text").select_nodes("fld").size(), GetParam().fields.size());
    // libvisio counts character runs in bytes, so a second run would start in
    // the wrong place in Cyrillic text: one run only.
    EXPECT_LE(shape.child("Text").select_nodes("cp").size(), 1u);
    EXPECT_LE(sectionOf(shape, "Character").select_nodes("Row").size(), 1u);
    EXPECT_GE(sectionOf(shape, "Connection").select_nodes("Row").size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Kalemar, KalemarMaster, testing::ValuesIn(kElementMasters),
                         [](const auto& test) { return std::string(test.param.name); });

class EntityMaster : public testing::Test {
protected:
    void SetUp() override
    {
        part_ = bundled("entity_m.vssx").master("Entity");
        group_ = topShape(*part_);
        for (auto sub : group_.child("Shapes").children("Shape"))
            subShapes_.push_back(sub);
    }
    std::unique_ptr<pugi::xml_document> part_;
    pugi::xml_node group_;
    std::vector<pugi::xml_node> subShapes_;
};

TEST_F(EntityMaster, IsAGroupOfANameHeaderOverAnAttributeBox)
{
    EXPECT_STREQ(group_.attribute("Type").value(), "Group");
    ASSERT_GE(subShapes_.size(), 2u);
    const double height = valueOf(group_, "Height");
    EXPECT_NEAR(height, 8 * kInchesPerMm, 1e-12) << "room for the name and one attribute line";
    const auto top = [](pugi::xml_node s) { return valueOf(s, "PinY") + valueOf(s, "Height") / 2; };
    const auto bottom = [](pugi::xml_node s) { return valueOf(s, "PinY") - valueOf(s, "Height") / 2; };
    const auto header = subShapes_[0], attributes = subShapes_[1];
    EXPECT_NEAR(valueOf(header, "Height"), 3.5 * kInchesPerMm, 1e-12);
    EXPECT_NEAR(top(header), height, 1e-12);
    EXPECT_NEAR(bottom(header), top(attributes), 1e-12);
    EXPECT_NEAR(bottom(attributes), 0, 1e-12);
    for (auto sub : {header, attributes})
        EXPECT_NEAR(valueOf(sub, "Width"), valueOf(group_, "Width"), 1e-12);
    // Both follow the group when its height is set: they are formulas of it.
    const std::string groupSheet = std::string("Sheet.") + group_.attribute("ID").value() + "!";
    EXPECT_EQ(cellOf(header, "PinY").attribute("F").value(), groupSheet + "Height-1.75 mm");
    EXPECT_EQ(cellOf(attributes, "Height").attribute("F").value(), groupSheet + "Height-3.5 mm");
}

TEST_F(EntityMaster, AttributeTextStartsTopLeftInASmallFont)
{
    ASSERT_GE(subShapes_.size(), 2u);
    const auto attributes = subShapes_[1];
    EXPECT_STREQ(cellOf(attributes, "VerticalAlign").attribute("V").value(), "0");
    EXPECT_STREQ(cellOf(sectionOf(attributes, "Paragraph").child("Row"), "HorzAlign").attribute("V").value(), "0");
    const double lineHeight = valueOf(sectionOf(attributes, "Character").child("Row"), "Size") * 1.2;
    EXPECT_LE(lineHeight, 4.5 * kInchesPerMm) << "one attribute line must fit 4.5 mm";
}

TEST_F(EntityMaster, ConnectionPointEightSitsOnTheLeftOfTheHeader)
{
    std::vector<pugi::xml_node> rows;
    for (auto row : sectionOf(group_, "Connection").children("Row"))
        rows.push_back(row);
    ASSERT_GE(rows.size(), 9u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].attribute("IX").as_uint(), i) << "rows are addressed by position";
    const double height = valueOf(group_, "Height");
    EXPECT_NEAR(valueOf(rows[8], "X"), 0, 1e-12);
    EXPECT_GT(valueOf(rows[8], "Y"), height - 3.5 * kInchesPerMm);
    EXPECT_LT(valueOf(rows[8], "Y"), height);
}

TEST(ConnectorStencil, DynamicConnectorIsAStraightOneDimensionalLine)
{
    const PartSource parts(visio::builtin::connectorStencilParts());
    const auto masters = parts.xml("/visio/masters/masters.xml");
    const auto entry = masters->child("Masters").child("Master");
    EXPECT_STREQ(entry.attribute("NameU").value(), "Dynamic connector");
    EXPECT_STREQ(entry.attribute("BaseID").value(), "{F7290A45-E3AD-11D2-AE4F-006008C9F5A9}");

    const auto part = parts.master("Dynamic connector");
    const auto shape = topShape(*part);
    EXPECT_STREQ(cellOf(shape, "ObjType").attribute("V").value(), "2");
    EXPECT_NEAR(valueOf(shape, "Width"), valueOf(shape, "EndX") - valueOf(shape, "BeginX"), 1e-12);
    EXPECT_NEAR(valueOf(shape, "Height"), valueOf(shape, "EndY") - valueOf(shape, "BeginY"), 1e-12);
    EXPECT_STREQ(cellOf(shape, "Width").attribute("F").value(), "GUARD(EndX-BeginX)");
    const auto geometry = sectionOf(shape, "Geometry");
    std::vector<std::string> kinds;
    for (auto row : geometry.children("Row"))
        kinds.emplace_back(row.attribute("T").value());
    EXPECT_EQ(kinds, (std::vector<std::string>{"MoveTo", "LineTo"}));

    const auto document = parts.xml("/visio/document.xml");
    const auto style = document->child("VisioDocument").child("StyleSheets")
                           .find_child_by_attribute("StyleSheet", "ID", shape.attribute("LineStyle").value());
    EXPECT_STREQ(style.attribute("NameU").value(), "Connector");
}

TEST(BlankDrawing, HasOneEmptyPageShownInItsWindowAndNoMasters)
{
    const PartSource parts(visio::builtin::blankDrawingParts());
    const auto pages = parts.xml("/visio/pages/pages.xml");
    const auto page = pages->child("Pages").child("Page");
    EXPECT_STREQ(page.attribute("NameU").value(), "Page-1");
    EXPECT_STREQ(page.attribute("Name").value(), "Page-1");
    EXPECT_FALSE(page.next_sibling("Page"));

    const auto content = parts.xml("/visio/pages/page1.xml");
    EXPECT_TRUE(content->child("PageContents"));
    EXPECT_FALSE(content->child("PageContents").child("Shapes").child("Shape"));

    const auto windows = parts.xml("/visio/windows.xml");
    const auto window = windows->child("Windows").child("Window");
    EXPECT_STREQ(window.attribute("WindowType").value(), "Drawing");
    EXPECT_STREQ(window.attribute("Page").value(), page.attribute("ID").value());

    const auto masters = parts.xml("/visio/masters/masters.xml");
    EXPECT_TRUE(masters->child("Masters"));
    EXPECT_FALSE(masters->child("Masters").child("Master"));
}

} // namespace
