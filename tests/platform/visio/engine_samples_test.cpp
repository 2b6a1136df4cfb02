// Real drawings made by Visio: every one opens, saves without losing anything,
// and a changed property value changes that value and nothing else.

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "EngineFixtures.h"

using namespace enginetest;

namespace {

std::vector<std::string> samplesWithExtension(std::initializer_list<const char*> extensions) {
    std::vector<std::string> out;
    // A missing folder gives no cases; SamplesFolder.HoldsTheSamples fails then.
    std::error_code missing;
    for (const auto& e : fs::directory_iterator(KALEMAR_SAMPLES_DIR, missing))
        for (const char* ext : extensions)
            if (e.path().extension() == ext)
                out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

// The parts of a package as the Info-ZIP tools read them, not as we do.
std::map<std::string, std::string> partsOf(const std::string& file) {
    std::map<std::string, std::string> parts;
    std::istringstream names(run("unzip -Z1 " + shellQuote(file)).output);
    for (std::string name; std::getline(names, name);) {
        std::string escaped;
        for (char c : name) {
            if (c == '[' || c == ']' || c == '*' || c == '?')
                escaped += '\\';
            escaped += c;
        }
        parts[name] = run("unzip -p " + shellQuote(file) + " " + shellQuote(escaped)).output;
    }
    return parts;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The first shape of the drawing that has property row 0, with its page.
std::optional<visio::Shape> firstShapeWithProperty(visio::Application& app) {
    visio::Pages pages = app.ActiveDocument().GetPages();
    for (int p = 1; p <= pages.Count(); ++p) {
        visio::Shapes shapes = pages.Item(p).GetShapes();
        for (int i = 1; i <= shapes.Count(); ++i)
            if (shapes.Item(i).CellsSRCExists(243, 0, 2, 0) == -1)
                return shapes.Item(i);
    }
    return std::nullopt;
}

class EverySample : public ::testing::TestWithParam<std::string> {};

bool isStencil(const std::string& path) { return fs::path(path).extension() == ".vssx"; }

void walkShapes(visio::Shapes shapes) {
    for (int i = 1; i <= shapes.Count(); ++i) {
        visio::Shape s = shapes.Item(i);
        EXPECT_FALSE(s.Name().empty());
        s.Text();
        s.CellsSRC(1, 1, 0).FormulaU();
        s.CellsSRC(1, 1, 1).FormulaU();
        for (int row = 0; s.CellsSRCExists(243, row, 2, 0) == -1; ++row)
            s.CellsSRC(243, row, 0).FormulaU();
        walkShapes(s.GetShapes());
    }
}

TEST_P(EverySample, OpensAndWalksEveryShapeAndCell) {
    ScratchDir dir;
    std::unique_ptr<visio::Application> app;
    visio::Document doc;
    if (isStencil(GetParam())) {
        // A stencil opens beside the session's drawing, as Visio docks it.
        std::string copy = dir.file(fs::path(GetParam()).filename().string());
        fs::copy_file(GetParam(), copy);
        app = openBlank(dir);
        doc = app->GetDocuments().OpenEx(copy, 6);
        EXPECT_TRUE(doc.IsStencil());
        EXPECT_GT(doc.GetMasters().Count(), 0);
    } else {
        app = openCopy(GetParam(), dir);
        doc = app->ActiveDocument();
        EXPECT_GT(doc.GetPages().Count(), 0);
    }
    for (int p = 1; p <= doc.GetPages().Count(); ++p)
        walkShapes(doc.GetPages().Item(p).GetShapes());
    for (int m = 1; m <= doc.GetMasters().Count(); ++m)
        walkShapes(doc.GetMasters().Item(m).GetShapes());
    EXPECT_TRUE(app->SaveChangedDocuments().empty()) << "reading changes nothing";
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

// The stretch around the first byte where the texts differ, from both.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string firstDifference(const std::string& a, const std::string& b) {
    size_t at = std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin()).first - a.begin();
    size_t from = at > 150 ? at - 150 : 0;
    return "now:  " + a.substr(from, 300) + "\nwas:  " + b.substr(from, 300);
}

TEST_P(EverySample, ChangedPropertyValueChangesOnlyThatCell) {
    if (isStencil(GetParam()))
        GTEST_SKIP() << "a stencil has no pages";
    ScratchDir dir;
    std::string copy;
    auto app = openCopy(GetParam(), dir, &copy);
    std::optional<visio::Shape> shape = firstShapeWithProperty(*app);
    if (!shape)
        GTEST_SKIP() << "no shape with property rows on a page";
    std::string before = fileBytes(copy);
    const std::string oldValue = shape->CellsSRC(243, 0, 0).ResultStr();
    auto originalParts = partsOf(copy);
    const std::string marker = "KALEMAR-CHANGED-VALUE";
    shape->CellsSRC(243, 0, 0).SetFormulaU("\"" + marker + "\"");
    EXPECT_EQ(shape->CellsSRC(243, 0, 0).FormulaU(), "\"" + marker + "\"");
    ASSERT_EQ(app->SaveChangedDocuments(), std::vector<std::string>{copy});
    app.reset();

    auto savedParts = partsOf(copy);
    ASSERT_EQ(savedParts.size(), originalParts.size());
    int changedParts = 0;
    for (const auto& [name, bytes] : originalParts) {
        ASSERT_TRUE(savedParts.count(name)) << name;
        const std::string& now = savedParts[name];
        if (now == bytes)
            continue;
        ++changedParts;
        // Putting the old value back wherever the new one stands (the cell,
        // and fields or cells that show it) leaves at most the row that the
        // shape now holds of its own in place of its master's: one region,
        // added, with no shape in it, and nothing of the original lost.
        std::string restored = replaceAll(now, marker, xmlEscaped(oldValue));
        size_t prefix = 0;
        while (prefix < bytes.size() && prefix < restored.size() && bytes[prefix] == restored[prefix])
            ++prefix;
        size_t suffix = 0;
        while (suffix < bytes.size() - prefix && suffix < restored.size() - prefix &&
               bytes[bytes.size() - 1 - suffix] == restored[restored.size() - 1 - suffix])
            ++suffix;
        std::string removed = bytes.substr(prefix, bytes.size() - prefix - suffix);
        std::string added = restored.substr(prefix, restored.size() - prefix - suffix);
        EXPECT_EQ(removed, "") << name << ": besides the value, it differs at\n"
                               << firstDifference(restored, bytes);
        EXPECT_LT(added.size(), 200u) << name << ": added " << added;
        EXPECT_EQ(added.find("<Shape"), std::string::npos) << name << ": added " << added;
    }
    EXPECT_EQ(changedParts, 1);

    if (haveTool("vsd2xhtml")) {
        std::string original = dir.file("original.vsdx");
        std::ofstream(original, std::ios::binary) << before;
        CommandResult a = run("vsd2xhtml " + shellQuote(original) + " 2>/dev/null");
        CommandResult b = run("vsd2xhtml " + shellQuote(copy) + " 2>/dev/null");
        EXPECT_EQ(a.status, 0);
        EXPECT_EQ(b.status, 0);
        // A field that shows the changed row now shows its new value, also
        // where the drawing showed its master's stale text before: with the
        // old value put back, a line may differ only by showing that value.
        std::vector<std::string> was = linesOf(a.output);
        std::vector<std::string> now = linesOf(replaceAll(b.output, marker, oldValue));
        ASSERT_EQ(was.size(), now.size()) << "only the value may differ where the drawing shows it";
        for (size_t i = 0; i < was.size(); ++i) {
            if (was[i] != now[i]) {
                EXPECT_NE(now[i].find(oldValue), std::string::npos)
                    << "only the value may differ where the drawing shows it:\n" << was[i] << "\n" << now[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, EverySample,
                         ::testing::ValuesIn(samplesWithExtension({".vsdx", ".vssx", ".vsdm"})),
                         [](const auto& sample) {
                             std::string n = fs::path(sample.param).stem().string();
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(SamplesFolder, HoldsTheSamples) {
    EXPECT_GE(samplesWithExtension({".vsdx"}).size(), 10u) << KALEMAR_SAMPLES_DIR;
    EXPECT_FALSE(samplesWithExtension({".vdx"}).empty()) << KALEMAR_SAMPLES_DIR;
}

TEST(XmlDrawings, AreRefusedWithAMessageThatNamesTheFormat) {
    for (const std::string& vdx : samplesWithExtension({".vdx"})) {
        ScratchDir dir;
        try {
            openCopy(vdx, dir);
            ADD_FAILURE() << vdx << " opened";
        } catch (const visio::VisioError& e) {
            EXPECT_NE(std::string(e.what()).find(".vdx"), std::string::npos) << e.what();
        }
    }
}

TEST(Stencils, AreNotDrawings) {
    ScratchDir dir;
    EXPECT_THROW(openCopy(samplePath("ibm_Boxes.vssx"), dir), visio::VisioError);
}

} // namespace
