// The packages we ship (the bundled stencils, the blank drawing and the
// connector stencil), read with libzip and pugixml alone, so that a fault in them
// shows here and not as a strange result of the engine.

#include <gtest/gtest.h>

#include <zip.h>

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visio/builtin/BuiltinPackages.h"
#include "platform/visio/formula/Formula.h"
#include "platform/visio/formula/Units.h"

namespace {

namespace formula = visio::formula;

constexpr double kInchesPerMm = 1.0 / 25.4;

// A package as its parts in stored order, names absolute ("/visio/document.xml").
struct Package {
    std::vector<std::string> order;
    std::map<std::string, std::string> parts;

    bool has(const std::string& name) const { return parts.count(name) != 0; }
};

Package readZip(const std::string& path)
{
    Package package;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << path << " (libzip error " << error << ")";
        return package;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (!file || zip_fread(file, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            ADD_FAILURE() << "cannot read " << stat.name << " in " << path;
        if (file)
            zip_fclose(file);
        const std::string name = std::string("/") + stat.name;
        package.order.push_back(name);
        package.parts[name] = bytes;
    }
    zip_discard(archive);
    return package;
}

Package fromParts(const visio::builtin::PartList& list)
{
    Package package;
    for (const auto& [name, bytes] : list) {
        package.order.push_back(name);
        package.parts[name] = bytes;
    }
    return package;
}

Package bundledStencil(const std::string& name)
{
    return readZip(std::string(KALEMAR_STENCIL_DIR) + "/" + name);
}

// Parses a part; a missing or malformed part fails the test and gives an empty document.
std::unique_ptr<pugi::xml_document> xml(const Package& package, const std::string& name)
{
    auto document = std::make_unique<pugi::xml_document>();
    const auto found = package.parts.find(name);
    if (found == package.parts.end()) {
        ADD_FAILURE() << "no part " << name;
        return document;
    }
    const auto result = document->load_buffer(found->second.data(), found->second.size());
    if (!result)
        ADD_FAILURE() << name << ": " << result.description() << " at " << result.offset;
    return document;
}

// "/visio/pages/pages.xml" -> "/visio/pages/_rels/pages.xml.rels"
std::string relsOf(const std::string& part)
{
    const auto slash = part.rfind('/');
    return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

// Resolves a relationship target against the folder of its source part.
std::string resolve(const std::string& sourcePart, const std::string& target)
{
    std::vector<std::string> segments;
    std::string folder = sourcePart.substr(0, sourcePart.rfind('/'));
    std::string path = folder + "/" + target;
    std::string segment;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (segment == "..") {
                if (!segments.empty())
                    segments.pop_back();
            } else if (!segment.empty() && segment != ".") {
                segments.push_back(segment);
            }
            segment.clear();
        } else {
            segment += path[i];
        }
    }
    std::string resolved;
    for (const auto& s : segments)
        resolved += "/" + s;
    return resolved;
}

// The source part a .rels part describes: "/_rels/.rels" -> "/" (the package).
std::string sourceOf(const std::string& rels)
{
    const auto marker = rels.rfind("/_rels/");
    const std::string file = rels.substr(marker + 7, rels.size() - marker - 7 - 5);
    return rels.substr(0, marker) + "/" + file;
}

bool isXmlPart(const std::string& name)
{
    return name.ends_with(".xml") || name.ends_with(".rels");
}

struct PackageCase {
    const char* label;
    std::function<Package()> load;
    const char* mainContentType;
    std::vector<std::string> masters;
};

void PrintTo(const PackageCase& packageCase, std::ostream* out)
{
    *out << packageCase.label;
}

const char* const kStencilType = "application/vnd.ms-visio.stencil.main+xml";
const char* const kDrawingType = "application/vnd.ms-visio.drawing.main+xml";

const PackageCase kPackages[] = {
    {"kalemar", [] { return bundledStencil("kalemar.vssx"); }, kStencilType,
     {"Document", "Object", "Process", "Stamp", "Frame"}},
    {"entity_m", [] { return bundledStencil("entity_m.vssx"); }, kStencilType, {"Entity"}},
    {"connector", [] { return fromParts(visio::builtin::connectorStencilParts()); }, kStencilType,
     {"Dynamic connector"}},
    {"blank", [] { return fromParts(visio::builtin::blankDrawingParts()); }, kDrawingType, {}},
};

class ShippedPackage : public testing::TestWithParam<PackageCase> {
protected:
    void SetUp() override { package_ = GetParam().load(); }
    Package package_;
};

TEST_P(ShippedPackage, ContentTypesComeFirstAndNameEveryPart)
{
    ASSERT_FALSE(package_.order.empty());
    EXPECT_EQ(package_.order.front(), "/[Content_Types].xml");
    const auto types = xml(package_, "/[Content_Types].xml");
    std::map<std::string, std::string> overrides;
    std::set<std::string> defaults;
    for (auto node : types->child("Types").children("Override"))
        overrides[node.attribute("PartName").value()] = node.attribute("ContentType").value();
    for (auto node : types->child("Types").children("Default"))
        defaults.insert(node.attribute("Extension").value());
    EXPECT_EQ(overrides["/visio/document.xml"], GetParam().mainContentType);
    for (const auto& name : package_.order) {
        if (name == "/[Content_Types].xml")
            continue;
        const std::string extension = name.substr(name.rfind('.') + 1);
        EXPECT_TRUE(overrides.count(name) || defaults.count(extension)) << name << " has no content type";
        if (isXmlPart(name))
            xml(package_, name);
    }
    for (const auto& [name, type] : overrides)
        EXPECT_TRUE(package_.has(name)) << "content type for a missing part " << name;
}

TEST_P(ShippedPackage, EveryRelationshipAndRelLeadsToAPart)
{
    for (const auto& name : package_.order) {
        if (!name.ends_with(".rels"))
            continue;
        const std::string source = sourceOf(name);
        const auto rels = xml(package_, name);
        for (auto rel : rels->child("Relationships").children("Relationship")) {
            const std::string target = resolve(source, rel.attribute("Target").value());
            EXPECT_TRUE(package_.has(target)) << name << " points to a missing " << target;
        }
    }
    // pages.xml and masters.xml name their parts through their own relationships.
    for (const char* listing : {"/visio/pages/pages.xml", "/visio/masters/masters.xml"}) {
        if (!package_.has(listing))
            continue;
        const auto doc = xml(package_, listing);
        std::set<std::string> ids;
        if (package_.has(relsOf(listing))) {
            // The document must outlive the loop that walks its nodes.
            const auto rels = xml(package_, relsOf(listing));
            for (auto rel : rels->child("Relationships").children("Relationship"))
                ids.insert(rel.attribute("Id").value());
        }
        for (auto item : doc->document_element().children()) {
            for (auto rel : item.children("Rel")) {
                EXPECT_TRUE(ids.count(rel.attribute("r:id").value()))
                    << listing << ": unresolved r:id " << rel.attribute("r:id").value();
            }
        }
    }
}

TEST_P(ShippedPackage, IsAMetricA4Document)
{
    const auto custom = xml(package_, "/docProps/custom.xml");
    const auto isMetric = custom->child("Properties").find_child_by_attribute("property", "name", "IsMetric");
    EXPECT_STREQ(isMetric.child_value("vt:bool"), "true");

    const auto pages = xml(package_, "/visio/pages/pages.xml");
    const auto sheet = pages->child("Pages").child("Page").child("PageSheet");
    const auto cell = [&](const char* name) { return sheet.find_child_by_attribute("Cell", "N", name); };
    EXPECT_NEAR(cell("PageWidth").attribute("V").as_double(), 210 * kInchesPerMm, 1e-12);
    EXPECT_NEAR(cell("PageHeight").attribute("V").as_double(), 297 * kInchesPerMm, 1e-12);
    for (const char* scale : {"PageScale", "DrawingScale"}) {
        EXPECT_NEAR(cell(scale).attribute("V").as_double(), kInchesPerMm, 1e-15) << scale;
        EXPECT_STREQ(cell(scale).attribute("U").value(), "MM") << scale;
    }
}

TEST_P(ShippedPackage, ListsItsMastersByNameForMatching)
{
    const auto masters = xml(package_, "/visio/masters/masters.xml");
    std::vector<std::string> names;
    std::set<std::string> uniqueIds;
    for (auto master : masters->child("Masters").children("Master")) {
        names.emplace_back(master.attribute("NameU").value());
        EXPECT_STREQ(master.attribute("Name").value(), master.attribute("NameU").value());
        EXPECT_STREQ(master.attribute("MatchByName").value(), "1");
        EXPECT_EQ(std::string_view(master.attribute("UniqueID").value()).size(), 38u);
        EXPECT_EQ(std::string_view(master.attribute("BaseID").value()).size(), 38u);
        uniqueIds.insert(master.attribute("UniqueID").value());
    }
    EXPECT_EQ(names, GetParam().masters);
    EXPECT_EQ(uniqueIds.size(), names.size());
}

TEST_P(ShippedPackage, ShapesUseOnlyStylesTheDocumentDefines)
{
    const auto document = xml(package_, "/visio/document.xml");
    std::set<std::string> styles;
    for (auto style : document->child("VisioDocument").child("StyleSheets").children("StyleSheet"))
        styles.insert(style.attribute("ID").value());
    ASSERT_TRUE(styles.count("0")) << "no \"No Style\"";
    std::vector<pugi::xml_node> users;
    for (auto style : document->child("VisioDocument").child("StyleSheets").children("StyleSheet"))
        users.push_back(style);
    std::vector<std::unique_ptr<pugi::xml_document>> parts;
    for (const auto& name : package_.order)
        if (name.starts_with("/visio/masters/master") || name.starts_with("/visio/pages/page")) {
            parts.push_back(xml(package_, name));
            for (auto shape : parts.back()->select_nodes("//Shape"))
                users.push_back(shape.node());
        }
    for (auto user : users) {
        for (const char* kind : {"LineStyle", "FillStyle", "TextStyle"}) {
            if (auto id = user.attribute(kind)) {
                EXPECT_TRUE(styles.count(id.value())) << kind << "='" << id.value() << "' is not a style";
            }
        }
    }
}

// Reads the cells of the master part that a formula may name, as the engine would.
class MasterCells : public formula::EvaluationContext {
public:
    MasterCells(pugi::xml_node shapes, pugi::xml_node shape) : shapes_(shapes), shape_(shape) {}

    std::optional<formula::Value> cellValue(const formula::Reference& reference) override
    {
        pugi::xml_node sheet = shape_;
        if (!reference.sheet.empty()) {
            const std::string id = reference.sheet.substr(reference.sheet.find('.') + 1);
            sheet = shapes_.find_node([&](pugi::xml_node n) {
                return std::string_view(n.name()) == "Shape" && id == n.attribute("ID").value();
            });
        }
        pugi::xml_node cell = sheet.find_child_by_attribute("Cell", "N", reference.cell.c_str());
        if (reference.cell.starts_with("Prop."))
            cell = sheet.find_child_by_attribute("Section", "N", "Property")
                       .find_child_by_attribute("Row", "N", reference.cell.substr(5).c_str())
                       .find_child_by_attribute("Cell", "N", "Value");
        if (!cell)
            return std::nullopt;
        return valueOf(cell);
    }

    std::optional<formula::Value> toParent(const formula::Value&, const std::string&) override
    {
        return std::nullopt;
    }

    static formula::Value valueOf(pugi::xml_node cell)
    {
        formula::Value value;
        const std::string unit = cell.attribute("U").value();
        if (unit == "STR") {
            value.type = formula::Value::Type::String;
            value.text = cell.attribute("V").value();
            return value;
        }
        value.number = cell.attribute("V").as_double();
        if (const auto info = formula::unitByCode(unit))
            value.dimension = info->dimension;
        return value;
    }

private:
    pugi::xml_node shapes_;
    pugi::xml_node shape_;
};

// Readers such as libvisio draw from the stored values only, and the engine
// recalculates from the formulas: both must agree for every master as shipped.
TEST_P(ShippedPackage, EveryMasterFormulaEvaluatesToItsStoredValue)
{
    std::size_t evaluated = 0;
    for (const auto& name : package_.order) {
        if (!name.starts_with("/visio/masters/master"))
            continue;
        const auto part = xml(package_, name);
        const auto shapes = part->child("MasterContents");
        for (auto found : part->select_nodes("//Cell[@F]")) {
            const auto cell = found.node();
            const std::string text = cell.attribute("F").value();
            if (text == "Inh" || text == "No Formula")
                continue;
            SCOPED_TRACE(name + ": " + cell.attribute("N").value() + " = " + text);
            pugi::xml_node shape = cell.parent();
            while (std::string_view(shape.name()) != "Shape")
                shape = shape.parent();
            MasterCells context(shapes, shape);
            const auto result = formula::Expression::parse(text)->evaluate(context);
            ++evaluated;
            ASSERT_TRUE(result.has_value()) << "the engine cannot evaluate it";
            const auto stored = MasterCells::valueOf(cell);
            if (stored.type == formula::Value::Type::String) {
                EXPECT_EQ(result->text, stored.text);
            } else {
                EXPECT_NEAR(result->number, stored.number, 1e-12);
            }
        }
    }
    EXPECT_EQ(evaluated > 0, !GetParam().masters.empty()) << "masters draw from formulas";
}

INSTANTIATE_TEST_SUITE_P(All, ShippedPackage, testing::ValuesIn(kPackages),
                         [](const auto& test) { return std::string(test.param.label); });

// Masters copy between our documents without remapping style IDs only while all
// of them carry the same style sheets.
TEST(ShippedPackages, ShareOneDocumentPart)
{
    const std::string reference = fromParts(visio::builtin::blankDrawingParts()).parts["/visio/document.xml"];
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(fromParts(visio::builtin::connectorStencilParts()).parts["/visio/document.xml"], reference);
    EXPECT_EQ(bundledStencil("kalemar.vssx").parts["/visio/document.xml"], reference);
    EXPECT_EQ(bundledStencil("entity_m.vssx").parts["/visio/document.xml"], reference);
}

TEST(ShippedPackages, StyleSheetsNeededByMastersAndDrawingsArePresent)
{
    const auto document = xml(fromParts(visio::builtin::blankDrawingParts()), "/visio/document.xml");
    const auto root = document->child("VisioDocument");
    const auto styles = root.child("StyleSheets");
    EXPECT_STREQ(styles.find_child_by_attribute("StyleSheet", "ID", "0").attribute("NameU").value(), "No Style");
    for (const char* name : {"Normal", "Connector", "Text Only", "None", "Guide"})
        EXPECT_TRUE(styles.find_child_by_attribute("StyleSheet", "NameU", name)) << name;
    // "No Style" is the root of every chain: it carries line, fill, text and page defaults itself.
    const auto noStyle = styles.find_child_by_attribute("StyleSheet", "ID", "0");
    for (const char* cell : {"LineWeight", "LineColor", "FillForegnd", "VerticalAlign", "LockWidth",
                             "ObjType", "EventDblClick", "ShapeRouteStyle", "ConLineRouteExt"})
        EXPECT_TRUE(noStyle.find_child_by_attribute("Cell", "N", cell)) << cell;
    for (const char* section : {"Character", "Paragraph"})
        EXPECT_TRUE(noStyle.find_child_by_attribute("Section", "N", section)) << section;
    const auto settings = root.child("DocumentSettings");
    for (const char* use : {"DefaultTextStyle", "DefaultLineStyle", "DefaultFillStyle", "DefaultGuideStyle"})
        EXPECT_TRUE(styles.find_child_by_attribute("StyleSheet", "ID", settings.attribute(use).value())) << use;
}

} // namespace
