// The text functions that labels built from shape data use.

#include <cmath>

#include "platform/visio/formula/FunctionSupport.h"
#include "platform/visio/formula/Values.h"

namespace visio::formula {

namespace {

std::optional<Value> singleArgument(const Node& call, EvaluationContext& context)
{
    auto values = evaluateArguments(call, context);
    if (!values || values->size() != 1)
        return std::nullopt;
    return std::move(values->front());
}

std::string utf8Of(char32_t code)
{
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

} // namespace

std::optional<Value> lenFunction(const Node& call, EvaluationContext& context)
{
    const auto value = singleArgument(call, context);
    const auto text = value ? toText(*value) : std::nullopt;
    if (!text)
        return std::nullopt;
    // Characters, not bytes: a continuation byte of UTF-8 starts none.
    double count = 0;
    for (unsigned char byte : *text)
        if ((byte & 0xC0) != 0x80)
            ++count;
    return numberValue(count);
}

std::optional<Value> charFunction(const Node& call, EvaluationContext& context)
{
    const auto value = singleArgument(call, context);
    const auto number = value ? toNumber(*value) : std::nullopt;
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    const double code = std::trunc(*number);
    if (code < 1 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return textValue(utf8Of(static_cast<char32_t>(code)));
}

} // namespace visio::formula
