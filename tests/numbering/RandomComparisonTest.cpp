// The pass on many small random drawings against the plain pass on a copy of
// each: the same rows written, the same error, and the same writes kept before
// it. Positions, names and numbers come from small pools so that equal and
// nearly equal keys, sources sharing a name and copies taking a number that a
// later source also has turn up often.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "model/Utils.h"
#include "numbering/NumberingCases.h"
#include "numbering/PackageEdit.h"
#include "numbering/Unit_AutoNum.h"
#include "support/TempDir.h"

namespace numberingtest {
namespace {

namespace fs = std::filesystem;

const char* const PinsX[] = {"10 mm", "10.2 mm", "10.9 mm", "11 mm", "9.99 mm", "-0.5 mm", "0.5 mm", "0 mm", "25 mm"};
const char* const PinsY[] = {"10 mm", "10.5 mm", "11 mm", "-0.7 mm", "0 mm", "30 mm"};
const char* const BadPins[] = {"1+1", "GUARD(1 mm)", "Width*0.5", "12"};
const char* const Masters[] = {"Object", "Object", "Document", "Process", "Stamp"};
const char* const Names[] = {"A", "A", "B", nullptr};
const char* const OldNumbers[] = {"old", "old", "", "N1", "N2", "N3", nullptr};
const char* const CopyFlags[] = {"1", "1", "0", nullptr, " 1"};
const char* const FixedParts[] = {"N", "N", ""};

// What is done to the saved drawing before both passes run on it.
enum class Fault {
    None,
    BadPin,               // one shape's pin formula is no number
    NoPropertyRows,       // one object or document has no property rows at all
    UnreadableCopyNumber, // a copy whose row 0 has no value cell
    BrokenPage,           // the last page's XML cannot be read
    Count
};

struct RandomCase {
    std::uint8_t mode = 0;
    const char* fixedPart = "";
    Fault fault = Fault::None;
    std::vector<Placed> shapes;
};

template <typename T, std::size_t N>
T pick(std::mt19937& random, const T (&pool)[N])
{
    return pool[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

int between(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

RandomCase generate(unsigned seed)
{
    std::mt19937 random(seed);
    RandomCase c;
    c.mode = between(random, 0, 4) == 0 ? 1 : 0;
    c.fixedPart = pick(random, FixedParts);
    c.fault = static_cast<Fault>(seed % static_cast<unsigned>(Fault::Count));
    const int perPage[] = {between(random, 3, 12), between(random, 0, 6), between(random, 1, 6)};
    for (int page = 1; page <= 3; ++page) {
        for (int i = 0; i < perPage[page - 1]; ++i) {
            Placed p{page, pick(random, Masters), pick(random, PinsX), pick(random, PinsY)};
            if (std::string(p.master) != "Stamp") { // a stamp has no element rows
                p.name = pick(random, Names);
                p.number = pick(random, OldNumbers);
                p.copyFlag = page == 1 && between(random, 0, 1) == 0 ? nullptr : pick(random, CopyFlags);
            }
            c.shapes.push_back(p);
        }
    }
    if (c.fault == Fault::UnreadableCopyNumber) {
        // A source and a copy of it beyond the unreadable copy: the walk for
        // that name stops before it reaches the copy.
        c.shapes.insert(c.shapes.begin(), {1, "Object", pick(random, PinsX), pick(random, PinsY), "A", "old"});
        c.shapes.push_back({3, "Object", "1 mm", "1 mm", "A", "old", "1"});
    }
    if (c.fault == Fault::BadPin) {
        Placed& bad = c.shapes[static_cast<std::size_t>(between(random, 0, perPage[0] - 1))];
        (between(random, 0, 1) == 0 ? bad.pinX : bad.pinY) = pick(random, BadPins);
    }
    return c;
}

std::string formulaOrError(const std::function<std::string()>& read)
{
    try {
        return read();
    } catch (const std::exception& error) {
        return std::string("<") + error.what() + ">";
    }
}

// Every property row and both pins of every shape: a pass writes row 0 only.
std::vector<std::string> snapshot(Drawing& drawing)
{
    std::vector<std::string> rows = drawing.Numbers();
    const visio::Pages pages = drawing.App().ActiveDocument().GetPages();
    for (int page = 1; page <= pages.Count(); ++page) {
        const std::string pageText = formulaOrError([&] {
            std::string text;
            const visio::Shapes shapes = pages.Item(page).GetShapes();
            for (int index = 1; index <= shapes.Count(); ++index) {
                const visio::Shape shape = shapes.Item(index);
                text += shape.Name() + " " + shape.Cells("PinX").FormulaU() + " " + shape.Cells("PinY").FormulaU();
                for (int row = 1; row <= 7; ++row)
                    text += " | " + formulaOrError([&] { return ReadPropertyFormula(shape, row); });
                text += "\n";
            }
            return text;
        });
        rows.push_back("page " + std::to_string(page) + "\n" + pageText);
    }
    return rows;
}

// Draws the case, saves it into `folder`, and applies its fault to that file.
std::string drawAndSave(const RandomCase& c, unsigned seed, const fs::path& folder)
{
    std::mt19937 random(seed ^ 0x9e3779b9u);
    Drawing drawing;
    const std::vector<visio::Shape> shapes = DrawAll(drawing, c.shapes);
    std::string connectorName;
    if (c.fault == Fault::UnreadableCopyNumber) {
        visio::Page page = drawing.App().ActiveDocument().GetPages().Item(between(random, 1, 2));
        connectorName = page.Drop(drawing.App().ConnectorToolDataObject(), 1, 1).Name();
    }
    const std::string path = (folder / "drawn.vsdx").string();
    fs::copy_file(drawing.Save(), path);

    switch (c.fault) {
    case Fault::NoPropertyRows: {
        std::vector<std::string> objects;
        for (const visio::Shape& shape : shapes)
            if (ElementKindOf(shape) == ElementKindObject)
                objects.push_back(shape.Name());
        if (!objects.empty())
            EditShape(path, objects[static_cast<std::size_t>(between(random, 0, static_cast<int>(objects.size()) - 1))],
                      DeletePropertyRows);
        break;
    }
    case Fault::UnreadableCopyNumber:
        EditShape(path, connectorName, [&](pugi::xml_node shape) {
            Rename(shape, "Object.900");
            SetOwnPropertyRows(shape, {{"Row_0", nullptr}, {"Row_1", between(random, 0, 3) == 0 ? "B" : "A"},
                                       {"Row_2", "x"}, {"Row_3", "x"}, {"Row_4", "x"}, {"Row_5", "x"},
                                       {"Row_6", "1"}});
        });
        break;
    case Fault::BrokenPage:
        BreakPageOf(path, shapes.back().Name());
        break;
    default:
        break;
    }
    return path;
}

// What the random drawings have shown, so that a change of the pools that
// stops them covering the cases that matter is noticed.
struct Coverage {
    bool equalKeys = false;
    bool copyWrittenOnOtherPage = false;
    bool errorAfterWrites = false;
    bool errorBeforeWrites = false;
};

bool sharesKeys(const RandomCase& c)
{
    for (std::size_t i = 0; i < c.shapes.size(); ++i)
        for (std::size_t j = i + 1; j < c.shapes.size(); ++j)
            if (c.shapes[i].page == 1 && c.shapes[j].page == 1 && c.shapes[i].master == c.shapes[j].master &&
                PositionKey(c.shapes[i].pinX) == PositionKey(c.shapes[j].pinX) &&
                PositionKey(c.shapes[i].pinY) == PositionKey(c.shapes[j].pinY))
                return true;
    return false;
}

void note(Coverage& coverage, const RandomCase& c, const std::vector<std::string>& before, const PassOutcome& after)
{
    bool anyWritten = false;
    for (std::size_t i = 0; i < before.size() && i < after.numbers.size(); ++i) {
        if (before[i] == after.numbers[i])
            continue;
        anyWritten = true;
        if (before[i].rfind("page 1 ", 0) != 0)
            coverage.copyWrittenOnOtherPage = true;
    }
    if (!after.error.empty())
        (anyWritten ? coverage.errorAfterWrites : coverage.errorBeforeWrites) = true;
    try {
        coverage.equalKeys = coverage.equalKeys || sharesKeys(c);
    } catch (const EConvertError&) {
    }
}

// The two copies differ in their paths only, which errors about the file name.
std::string withoutPath(std::string text, const fs::path& path)
{
    const std::string name = path.string();
    for (std::size_t at; (at = text.find(name)) != std::string::npos;)
        text.replace(at, name.size(), "DRAWING");
    return text;
}

std::vector<std::string> withoutPath(std::vector<std::string> texts, const fs::path& path)
{
    for (std::string& text : texts)
        text = withoutPath(text, path);
    return texts;
}

TEST(NumberElementsRandom, LeavesWhatThePlainPassLeaves)
{
    Coverage coverage;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        const RandomCase c = generate(seed);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", mode " + std::to_string(c.mode) + ", fault " +
                     std::to_string(static_cast<int>(c.fault)));
        testsupport::TempDir folder;
        const std::string saved = drawAndSave(c, seed, folder.Path());
        const fs::path productPath = folder.Path() / "product.vsdx";
        const fs::path referencePath = folder.Path() / "reference.vsdx";
        fs::copy_file(saved, productPath);
        fs::copy_file(saved, referencePath);

        Drawing product(productPath.string());
        Drawing reference(referencePath.string());
        const std::vector<std::string> before = product.Numbers();
        const PassOutcome productOutcome = RunProductPass(product, c.mode, c.fixedPart);
        const PassOutcome referenceOutcome = RunReferencePass(reference, c.mode, c.fixedPart);

        ASSERT_EQ(withoutPath(productOutcome.error, productPath), withoutPath(referenceOutcome.error, referencePath));
        ASSERT_EQ(withoutPath(productOutcome.numbers, productPath), withoutPath(referenceOutcome.numbers, referencePath));
        ASSERT_EQ(withoutPath(snapshot(product), productPath), withoutPath(snapshot(reference), referencePath));
        note(coverage, c, before, productOutcome);
    }
    EXPECT_TRUE(coverage.equalKeys);
    EXPECT_TRUE(coverage.copyWrittenOnOtherPage);
    EXPECT_TRUE(coverage.errorAfterWrites);
    EXPECT_TRUE(coverage.errorBeforeWrites);
}

} // namespace
} // namespace numberingtest
