#pragma once

// Splits a formula text into tokens. Raises FormulaError for a character that
// cannot start a token and for an unclosed string literal, quoted name, GUID or
// bracket.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace visio::formula {

struct Token {
    enum class Kind {
        Number, Name, QuotedName, String, Guid,
        LeftParen, RightParen, Comma, Bang,
        Plus, Minus, Star, Slash, Caret, Ampersand, Percent,
        Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual,
        End,
    };
    Kind kind = Kind::End;
    std::string text;    // as written; for String and QuotedName the text with doubled quotes undone
    double number = 0;   // Number
    std::size_t offset = 0; // byte offset in the formula
};

// The tokens of `formula`, ending with one End token.
std::vector<Token> tokenize(std::string_view formula);

// "character 5" for a byte offset (characters count from 1, in UTF-8 code points);
// "the end of the formula" past the last character.
std::string describePosition(std::string_view formula, std::size_t offset);

} // namespace visio::formula
