// Parts that must be refused: a document type (so no entity is ever defined or
// expanded) and text that is not well-formed, each with a message naming the
// part and, for malformed text, the byte where the parser stopped.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/XmlPart.h"

namespace {

struct HostileCase {
    const char* what;
    std::string xml;
    const char* message;   // expected in the error text
};

void PrintTo(const HostileCase& hostileCase, std::ostream* out) { *out << hostileCase.what; }

std::string billionLaughs() {
    std::string xml = "<?xml version='1.0'?>\n<!DOCTYPE lolz [\n<!ENTITY lol 'lol'>\n";
    for (int i = 1; i < 10; ++i)
        xml += "<!ENTITY lol" + std::to_string(i) + " '&lol" + std::to_string(i - 1) + ";&lol" +
               std::to_string(i - 1) + ";'>\n";
    return xml + "]>\n<lolz>&lol9;</lolz>";
}

const HostileCase kHostileCases[] = {
    {"billion laughs", billionLaughs(), "document type declaration is not allowed"},
    {"external entity", "<!DOCTYPE a [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><a>&x;</a>",
     "document type declaration is not allowed"},
    {"plain doctype", "<?xml version='1.0'?><!DOCTYPE a><a/>", "document type declaration is not allowed"},
    {"empty", "", "not well-formed XML (No document element found) at byte 0"},
    {"only a declaration", "<?xml version='1.0'?>\r\n", "not well-formed XML (No document element found)"},
    {"unclosed root", "<a><b/>", "not well-formed XML (Start-end tags mismatch) at byte"},
    {"mismatched end tag", "<a><b></a></b>", "not well-formed XML (Start-end tags mismatch) at byte 8"},
    {"unquoted attribute", "<a x=1/>", "not well-formed XML (Error parsing"},
    {"raw < in text", "<a>1 < 2</a>", "not well-formed XML"},
    {"NUL inside", std::string("<a>x\0y</a>", 10), "not well-formed XML (NUL character) at byte 4"},
    {"two roots", "<a/><b/>", "not well-formed XML (more than one root element)"},
    {"text only", "hello", "not well-formed XML"},
    {"unterminated comment", "<a><!-- x</a>", "not well-formed XML"},
};

class XmlPartHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(XmlPartHostile, IsRefusedWithWhereAndWhy) {
    try {
        visio::XmlPart::parse(GetParam().xml, "drawing.vsdx: /visio/pages/page1.xml");
        FAIL() << "accepted";
    } catch (const visio::VisioError& error) {
        std::string message = error.what();
        EXPECT_TRUE(message.starts_with("drawing.vsdx: /visio/pages/page1.xml: ")) << message;
        EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, XmlPartHostile, ::testing::ValuesIn(kHostileCases));

} // namespace
