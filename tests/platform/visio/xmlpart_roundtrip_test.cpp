// An XML part parsed and serialized unchanged gives its bytes back exactly:
// first for every XML part of every Visio sample, then for the markup habits
// of other writers, each a row of a table.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/Package.h"
#include "platform/visio/package/XmlMemory.h"
#include "platform/visio/package/XmlPart.h"

namespace {

namespace fs = std::filesystem;

bool isXmlPartName(const std::string& name) { return name.ends_with(".xml") || name.ends_with(".rels"); }

std::vector<std::string> zipSamples() {
    std::vector<std::string> paths;
    // A missing folder gives no cases; SamplesFolder.HoldsTheSamples fails then.
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(KALEMAR_SAMPLES_DIR, missing)) {
        std::string extension = entry.path().extension().string();
        if (extension == ".vsdx" || extension == ".vssx" || extension == ".vsdm" || extension == ".vstx")
            paths.push_back(entry.path().string());
    }
    return paths;
}

// Where two texts first differ, with some context, for a readable failure.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    std::size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i])
        ++i;
    std::size_t from = i > 40 ? i - 40 : 0;
    return "at byte " + std::to_string(i) + "\n  read:    " + expected.substr(from, 90) +
           "\n  written: " + actual.substr(from, 90);
}

std::string roundTrip(const std::string& bytes) {
    return visio::XmlPart::parse(bytes, "test")->serialize();
}

TEST(XmlPartRoundTrip, EveryXmlPartOfEverySampleComesBackByteForByte) {
    std::vector<std::string> samples = zipSamples();
    ASSERT_GE(samples.size(), 10u);
    std::size_t checked = 0;
    for (const std::string& path : samples) {
        auto package = visio::Package::open(path);
        for (const std::string& name : package->partNames()) {
            if (!isXmlPartName(name))
                continue;
            std::string bytes = package->read(name);
            std::string written = visio::XmlPart::parse(bytes, path + ": " + name)->serialize();
            EXPECT_TRUE(written == bytes) << path << ": " << name << " differs " << firstDifference(bytes, written);
            ++checked;
        }
    }
    EXPECT_GT(checked, 300u);
}

struct StyleCase {
    const char* what;
    const char* xml;
};

const StyleCase kStyleCases[] = {
    {"Visio's declaration and single quotes",
     "<?xml version='1.0' encoding='utf-8' ?>\r\n<A x='1' y='&apos;&amp;&lt;&gt;\"'><B/></A>"},
    {"Office's declaration and double quotes",
     "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<A x=\"&quot;'\"><B/></A>"},
    {"empty elements written as pairs", "<A><B></B><C x='1'></C></A>"},
    {"an empty element with a blank before />", "<A><B /><C x='1' /></A>"},
    {"empty elements of all three kinds in one part", "<A><B/><C></C><D /><E></E><F/></A>"},
    {"text escapes Visio writes, quotes raw", "<A>a &amp; b &lt;c&gt; \"d\" 'e'</A>"},
    {"text with character references and other entities", "<A>&#65;&#x42; &quot;q&quot; &apos;</A>"},
    {"raw > in text and attribute", "<A x='a>b'>c > d</A>"},
    {"the other quote escaped in an attribute", "<A x='&quot;' y=\"&apos;\"/>"},
    {"mixed quotes in one element", "<A x='1' y=\"2\"><B z=\"3\"/></A>"},
    {"white space inside tags", "<A  x = '1'\n\ty='2' ><B\r\n/></A >"},
    {"line ends and tabs in attributes, raw and as references", "<A x='a\r\nb\tc' y='&#xA;&#9;&#13;'/>"},
    {"white space text and CR LF kept", "<A>\r\n  <B>  </B>\r\n\t</A>\r\n"},
    {"comments, instructions and CDATA inside", "<A><!-- c --><?pi data?><?pi2?><![CDATA[<x> & ]]>]]></A>"},
    {"an instruction with more white space", "<A><?pi   data  ?><?pi ?></A>"},
    {"markup before and after the root", "\xEF\xBB\xBF<?xml version='1.0'?>\n<!-- a -->\n<?b c?>\n<A/>\n<!-- d -->\n"},
    {"prefixes and namespaces", "<vp:A xmlns:vp='urn:x'><vp:B vp:c='1'/></vp:A>"},
    {"no declaration at all", "<SolutionXML Name=\"X\"><vp:JS /></SolutionXML>"},
    {"UTF-8 text and a line separator", "<A N='\xD0\x9F\xD1\x80\xD0\xBE'>\xE2\x80\xA8x</A>"},
};

void PrintTo(const StyleCase& styleCase, std::ostream* out) { *out << styleCase.what; }

class XmlPartStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(XmlPartStyle, ComesBackByteForByte) {
    std::string xml = GetParam().xml;
    EXPECT_EQ(roundTrip(xml), xml);
}

INSTANTIATE_TEST_SUITE_P(Markup, XmlPartStyle, ::testing::ValuesIn(kStyleCases),
                         [](const ::testing::TestParamInfo<StyleCase>& row) {
                             return "Case" + std::to_string(row.index);
                         });

} // namespace

// A large part's tree lives in the large regions, reads and writes back as
// ever, and gives the regions back when the part goes.
TEST(XmlPartMemory, ALargeTreeLivesInRegionsThatAreGivenBack) {
    std::string text = "<?xml version='1.0' encoding='utf-8' ?>\r\n<PageContents><Shapes>";
    for (int i = 0; i < 200000; ++i)
        text += "<Shape ID='" + std::to_string(i) + "'><Cell N='PinX' V='1'/></Shape>";
    text += "</Shapes></PageContents>";
    visio::XmlPart::create("Warm");
    if (!visio::pkg::XmlTreesInRegions())
        GTEST_SKIP() << "under AddressSanitizer the trees stay on the heap";
    const std::size_t before = visio::pkg::XmlRegionBytes();
    {
        auto part = visio::XmlPart::parse(text, "large part");
        EXPECT_GT(visio::pkg::XmlRegionBytes(), before) << "the tree took regions";
        EXPECT_EQ(part->root().child("Shapes").last_child().attribute("ID").as_int(), 199999);
        EXPECT_TRUE(part->serialize() == text);
    }
    EXPECT_LE(visio::pkg::XmlRegionBytes(), std::max<std::size_t>(before, 32u << 20))
        << "emptied regions are given back but the one in use";
}
