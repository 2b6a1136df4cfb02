// Every formula Visio wrote into the sample drawings must parse: they are the
// formulas the engine meets when it opens, edits and saves real files.

#include <gtest/gtest.h>

#include <zip.h>

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/visio/formula/Formula.h"

using namespace visio::formula;

namespace {

struct SampleCell {
    std::string where; // file and part
    std::string name;  // the cell's name: Width, Size, X
    std::string formula;
    std::string value; // V, empty when not given
};

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// In a package part a cell is <Cell N= V= F=/>; in the older XML drawing format
// every cell is an element of its own name with F and its value as text.
void collectCells(const pugi::xml_document& document, bool cellsAreNamed, const std::string& where,
                  std::vector<SampleCell>& cells)
{
    for (const pugi::xpath_node& found : document.select_nodes("//*[@F]")) {
        const pugi::xml_node node = found.node();
        if (cellsAreNamed && std::string(node.name()) != "Cell")
            continue;
        const std::string name = cellsAreNamed ? node.attribute("N").value() : node.name();
        const std::string value = cellsAreNamed ? node.attribute("V").value() : node.child_value();
        cells.push_back({where, name, node.attribute("F").value(), value});
    }
}

std::string readEntry(zip_t* archive, zip_uint64_t index, zip_uint64_t size)
{
    std::string content(size, '\0');
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file)
        return {};
    const zip_int64_t read = zip_fread(file, content.data(), size);
    zip_fclose(file);
    content.resize(read < 0 ? 0 : static_cast<std::size_t>(read));
    return content;
}

void collectFromPackage(const std::filesystem::path& path, std::vector<SampleCell>& cells)
{
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr) << path;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        const auto index = static_cast<zip_uint64_t>(i);
        if (zip_stat_index(archive, index, 0, &stat) != 0 || !endsWith(stat.name, ".xml"))
            continue;
        const std::string content = readEntry(archive, index, stat.size);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_buffer(content.data(), content.size())) << path << " " << stat.name;
        collectCells(document, true, path.filename().string() + ":" + stat.name, cells);
    }
    zip_close(archive);
}

void collectFromXmlDrawing(const std::filesystem::path& path, std::vector<SampleCell>& cells)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(path.string().c_str())) << path;
    collectCells(document, false, path.filename().string(), cells);
}

std::vector<SampleCell> sampleCells()
{
    std::vector<SampleCell> cells;
    // A missing folder gives no cases; SamplesFolder.HoldsTheSamples fails then.
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(KALEMAR_SAMPLES_DIR, missing)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".vdx")
            collectFromXmlDrawing(entry.path(), cells);
        else if (extension.size() == 5 && extension.rfind(".vs", 0) == 0)
            collectFromPackage(entry.path(), cells);
    }
    return cells;
}

// 'Inh' and 'No Formula' mark inherited and cleared cells; they are not formulas.
bool isMarker(const std::string& formula)
{
    return formula == "Inh" || formula == "No Formula";
}

std::optional<double> numberText(const std::string& text)
{
    double number = 0;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return number;
}

// Resolves every reference, so that evaluation runs through the whole tree.
class EverythingIsOneInch : public EvaluationContext {
public:
    std::optional<Value> cellValue(const Reference&) override
    {
        Value value;
        value.number = 1;
        value.dimension = Dimension::Length;
        return value;
    }
    std::optional<Value> toParent(const Value& point, const std::string&) override { return point; }
};

class NothingResolves : public EvaluationContext {
public:
    std::optional<Value> cellValue(const Reference&) override { return std::nullopt; }
    std::optional<Value> toParent(const Value&, const std::string&) override { return std::nullopt; }
};

TEST(FormulaSamples, EveryFormulaInTheSampleDrawingsParses)
{
    const std::vector<SampleCell> cells = sampleCells();
    std::size_t formulas = 0;
    std::size_t evaluated = 0;
    std::ostringstream failures;
    EverythingIsOneInch oneInch;
    NothingResolves nothing;
    for (const auto& cell : cells) {
        if (isMarker(cell.formula))
            continue;
        ++formulas;
        try {
            const auto expression = Expression::parse(cell.formula);
            classify(cell.formula);
            if (expression->evaluate(oneInch))
                ++evaluated;
            expression->evaluate(nothing);
        } catch (const FormulaError& error) {
            failures << cell.where << ": " << cell.formula << " -> " << error.what() << "\n";
        }
    }
    std::cout << "[ sample formulas ] " << formulas << " parsed of " << cells.size()
              << " F attributes (markers skipped); " << evaluated << " evaluate with every reference 1 in\n";
    RecordProperty("SampleFormulas", static_cast<int>(formulas));
    EXPECT_GT(formulas, 10000u);
    EXPECT_EQ(failures.str(), "");
}

// What the comparison ignores: a cell that holds its value within limits of its
// own, whatever the formula says. Visio keeps a text at least 1 pt high (a
// character Size of GUARD(0) stores 1 pt).
bool clampedByTheCell(const SampleCell& cell, double formulaValue)
{
    constexpr double onePoint = 1.0 / 72;
    return cell.name == "Size" && formulaValue < onePoint;
}

// Formulas that refer to no cell have one value whatever the drawing: the value
// Visio stored beside them. Constants must match it; so must whatever else evaluates.
TEST(FormulaSamples, SelfContainedFormulasMatchTheirStoredValues)
{
    std::size_t constants = 0;
    std::size_t evaluated = 0;
    NothingResolves nothing;
    for (const auto& cell : sampleCells()) {
        const auto stored = numberText(cell.value);
        if (isMarker(cell.formula) || !stored)
            continue;
        std::shared_ptr<const Expression> expression;
        Classified classified;
        try {
            expression = Expression::parse(cell.formula);
            classified = classify(cell.formula);
        } catch (const FormulaError&) {
            continue; // reported by the parsing test
        }
        const double tolerance = 1e-9 * std::max(1.0, std::fabs(*stored));
        if (classified.kind == Classified::Kind::Number) {
            ++constants;
            EXPECT_NEAR(classified.internalValue, *stored, tolerance) << cell.where << ": " << cell.formula;
        }
        const auto value = expression->references().empty() ? expression->evaluate(nothing) : std::nullopt;
        if (value && value->type != Value::Type::Point && value->type != Value::Type::String &&
            !clampedByTheCell(cell, value->number)) {
            ++evaluated;
            EXPECT_NEAR(value->number, *stored, tolerance) << cell.where << ": " << cell.formula;
        }
    }
    std::cout << "[ sample values ] " << constants << " constants and " << evaluated
              << " self-contained formulas checked against V\n";
    EXPECT_GT(constants, 50u);
}

} // namespace
