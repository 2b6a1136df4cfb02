// Edited parts: what changed is written in the part's plain style, what did not
// change keeps the bytes it was read from.

#include <gtest/gtest.h>

#include <string>

#include "platform/visio/package/XmlPart.h"

namespace {

using visio::XmlPart;

TEST(XmlPartEdit, NewPartHasVisiosDeclarationAndSingleQuotes) {
    auto part = XmlPart::create("PageContents");
    part->root().append_attribute("xmlns") = "http://schemas.microsoft.com/office/visio/2012/main";
    part->root().append_child("Shapes").append_attribute("N") = "it's <a> & \"b\"";
    EXPECT_EQ(part->serialize(),
              "<?xml version='1.0' encoding='utf-8' ?>\r\n"
              "<PageContents xmlns='http://schemas.microsoft.com/office/visio/2012/main'>"
              "<Shapes N='it&apos;s &lt;a&gt; &amp; \"b\"'/></PageContents>");
}

struct EscapeCase {
    const char* part;      // a part whose first attribute sets the quote
    const char* value;     // set on attribute v and as the text of <T>
    const char* expected;
};

const EscapeCase kEscapeCases[] = {
    {"<A q='1'/>", "a'b\"c", "<A q='1' v='a&apos;b\"c'><T>a'b\"c</T></A>"},
    {"<A q=\"1\"/>", "a'b\"c", "<A q=\"1\" v=\"a'b&quot;c\"><T>a'b\"c</T></A>"},
    {"<A q='1'/>", "<&>", "<A q='1' v='&lt;&amp;&gt;'><T>&lt;&amp;&gt;</T></A>"},
    {"<A q='1'/>", "a\r\n\tb", "<A q='1' v='a&#xD;&#xA;&#x9;b'><T>a\r\n\tb</T></A>"},
};

class XmlPartEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(XmlPartEscape, WritesValuesAndTextWithThePartsEscapes) {
    auto part = XmlPart::parse(GetParam().part, "test");
    part->root().append_attribute("v") = GetParam().value;
    part->root().append_child("T").text() = GetParam().value;
    EXPECT_EQ(part->serialize(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, XmlPartEscape, ::testing::ValuesIn(kEscapeCases));

TEST(XmlPartEdit, ChangedAttributeOfAnIrregularTagIsWrittenPlainly) {
    auto part = XmlPart::parse("<A><B  x = '1'  y=\"&#65;\" /><C  z='2' /></A>", "test");
    part->root().child("B").attribute("x") = "3";
    // B is rewritten in the part's style, C was not touched and keeps its bytes.
    EXPECT_EQ(part->serialize(), "<A><B x='3' y='A'/><C  z='2' /></A>");
}

TEST(XmlPartEdit, NewAttributeOnAnIrregularTagDropsItsOldLayout) {
    auto part = XmlPart::parse("<A><B  x='1'/></A>", "test");
    part->root().child("B").append_attribute("y") = "2";
    EXPECT_EQ(part->serialize(), "<A><B x='1' y='2'/></A>");
}

TEST(XmlPartEdit, ChangedTextWithIrregularEscapesIsEscapedPlainly) {
    auto part = XmlPart::parse("<A><B>&#65;&quot;</B><C>&#66;</C></A>", "test");
    part->root().child("B").text() = "x>y";
    EXPECT_EQ(part->serialize(), "<A><B>x&gt;y</B><C>&#66;</C></A>");
}

TEST(XmlPartEdit, EmptyElementsFollowThePartsOwnHabit) {
    auto pairs = XmlPart::parse("<?xml version=\"1.0\"?>\r\n<P><a></a><b>x</b></P>", "test");
    pairs->root().child("b").text() = "";
    pairs->root().append_child("c");
    EXPECT_EQ(pairs->serialize(), "<?xml version=\"1.0\"?>\r\n<P><a></a><b></b><c></c></P>");

    auto closed = XmlPart::parse("<P><a/><b>x</b></P>", "test");
    closed->root().child("b").text() = "";
    closed->root().append_child("c");
    EXPECT_EQ(closed->serialize(), "<P><a/><b/><c/></P>");
}

TEST(XmlPartEdit, RemovedAndMovedNodesLeaveNoTrace) {
    auto part = XmlPart::parse("<A>\r\n<B n='1'/>\r\n<C n='2'>t</C>\r\n</A>\r\n", "test");
    pugi::xml_node root = part->root();
    root.remove_child("B");
    root.prepend_move(root.child("C"));
    EXPECT_EQ(part->serialize(), "<A><C n='2'>t</C>\r\n\r\n\r\n</A>\r\n");
}

TEST(XmlPartEdit, CopiedElementKeepsItsBytes) {
    auto part = XmlPart::parse("<A><B  x='&#65;'>&#66;</B></A>", "test");
    part->root().append_copy(part->root().child("B"));
    EXPECT_EQ(part->serialize(), "<A><B  x='&#65;'>&#66;</B><B  x='&#65;'>&#66;</B></A>");
}

TEST(XmlPartEdit, CdataHoldingItsOwnEndIsSplit) {
    auto part = XmlPart::create("A");
    part->root().append_child(pugi::node_cdata).set_value("a]]>b");
    auto reread = XmlPart::parse(part->serialize(), "test");
    std::string text;
    for (pugi::xml_node node : reread->root().children())
        text += node.value();
    EXPECT_EQ(text, "a]]>b");
}

TEST(XmlPartEdit, DeepNestingIsWrittenWithoutRecursion) {
    std::string xml;
    for (int i = 0; i < 200000; ++i)
        xml += "<a>";
    for (int i = 0; i < 200000; ++i)
        xml += "</a>";
    EXPECT_EQ(XmlPart::parse(xml, "test")->serialize(), xml);
}

} // namespace
