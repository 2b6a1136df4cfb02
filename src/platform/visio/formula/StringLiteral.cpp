#include "platform/visio/formula/StringLiteral.h"

namespace visio::formula {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string quoteString(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::optional<std::string> parseStringLiteral(std::string_view formula)
{
    const std::string_view literal = trimBlanks(formula);
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"')
        return std::nullopt;
    const std::string_view body = literal.substr(1, literal.size() - 2);
    std::string text;
    text.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '"') {
            // Inside the literal a quote stands only doubled; a single one ends it early.
            if (i + 1 >= body.size() || body[i + 1] != '"')
                return std::nullopt;
            ++i;
        }
        text += body[i];
    }
    return text;
}

} // namespace visio::formula
