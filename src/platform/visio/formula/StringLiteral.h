#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace visio::formula {

// The formula text of a string: the text in double quotes, inner double quotes
// doubled (ООО "Ромашка" -> "ООО ""Ромашка""").
std::string quoteString(std::string_view text);

// When the whole formula is one well-formed string literal (surrounding blanks
// allowed), its text with doubled quotes undone; otherwise nothing.
std::optional<std::string> parseStringLiteral(std::string_view formula);

} // namespace visio::formula
