#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "host/JsonValue.h"

namespace host {
namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsUtf8)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},
        {"Склад", "\"Склад\""},
        {"\"Склад\"", "\"\\\"Склад\\\"\""},
        {"a\\b", "\"a\\\\b\""},
        {"line\nnext\ttab\r", "\"line\\nnext\\ttab\\r\""},
        {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\x7f\""},
        {"€ 𝄞", "\"€ 𝄞\""},
        {"bad \xff byte", "\"bad \\ufffd byte\""},
        {"cut \xd0", "\"cut \\ufffd\""},            // a sequence cut short
        {"\xc0\xaf", "\"\\ufffd\\ufffd\""},         // an overlong form
        {"\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""}, // a surrogate
    };
    for (const auto& [text, json] : cases) {
        EXPECT_EQ(JsonString(text), json);
    }
}

TEST(JsonValue, WritesWhatAJsonReaderReadsBack)
{
    JsonValue value = JsonValue::Object{
        {"file", "заказ \"1\".vsdx"},
        {"pages", JsonValue::Array{JsonValue::Object{{"id", 4}, {"user0", JsonValue()}, {"shapes", JsonValue::Array{}}}}},
        {"empty", JsonValue::Object{}},
    };
    const std::string text = value.Write();
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << text;
    QJsonObject root = document.object();
    EXPECT_EQ(root.value("file").toString(), QStringLiteral("заказ \"1\".vsdx"));
    QJsonObject page = root.value("pages").toArray().at(0).toObject();
    EXPECT_EQ(page.value("id").toInt(), 4);
    EXPECT_TRUE(page.value("user0").isNull());
    EXPECT_TRUE(page.value("shapes").toArray().isEmpty());
    EXPECT_TRUE(root.value("empty").toObject().isEmpty());
}

} // namespace
} // namespace host
