#include "platform/visio/formula/Lexer.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/visio/formula/Formula.h"

namespace visio::formula {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Letters of any script may name a row (Prop.Имя), so every non-ASCII byte counts.
bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNamePart(char c)
{
    return isNameStart(c) || isDigit(c);
}

class Lexer {
public:
    explicit Lexer(std::string_view formula) : formula_(formula) {}

    std::vector<Token> run()
    {
        std::vector<Token> tokens;
        for (;;) {
            while (pos_ < formula_.size() && isBlank(formula_[pos_]))
                ++pos_;
            if (pos_ >= formula_.size())
                break;
            tokens.push_back(next());
        }
        Token end;
        end.offset = formula_.size();
        tokens.push_back(end);
        return tokens;
    }

private:
    [[noreturn]] void fail(const std::string& what, std::size_t offset) const
    {
        throw FormulaError(what + " at " + describePosition(formula_, offset));
    }

    char peek(std::size_t ahead = 0) const
    {
        return pos_ + ahead < formula_.size() ? formula_[pos_ + ahead] : '\0';
    }

    Token make(Token::Kind kind, std::size_t start, std::string text) const
    {
        Token token;
        token.kind = kind;
        token.offset = start;
        token.text = std::move(text);
        return token;
    }

    Token next()
    {
        const char c = peek();
        if (isDigit(c) || (c == '.' && isDigit(peek(1))))
            return number();
        if (isNameStart(c))
            return name();
        if (c == '"')
            return quoted('"', Token::Kind::String, "string literal");
        if (c == '\'')
            return quoted('\'', Token::Kind::QuotedName, "quoted name");
        if (c == '{')
            return guid();
        return punctuation();
    }

    Token number()
    {
        const std::size_t start = pos_;
        while (isDigit(peek()))
            ++pos_;
        if (peek() == '.') {
            ++pos_;
            while (isDigit(peek()))
                ++pos_;
        }
        // An E starts an exponent only before digits: "2.5E-5"; in "2EM" it is a unit.
        if (peek() == 'e' || peek() == 'E') {
            std::size_t digitsAt = 1;
            if (peek(1) == '+' || peek(1) == '-')
                digitsAt = 2;
            if (isDigit(peek(digitsAt))) {
                pos_ += digitsAt;
                while (isDigit(peek()))
                    ++pos_;
            }
        }
        Token token = make(Token::Kind::Number, start, std::string(formula_.substr(start, pos_ - start)));
        const char* first = formula_.data() + start;
        const char* last = formula_.data() + pos_;
        const auto [ptr, error] = std::from_chars(first, last, token.number);
        if (error != std::errc() || ptr != last || !std::isfinite(token.number))
            fail("number '" + token.text + "' is out of range", start);
        return token;
    }

    Token name()
    {
        const std::size_t start = pos_;
        while (isNamePart(peek()) || (peek() == '.' && isNamePart(peek(1))))
            ++pos_;
        // Pages[Row 1 Rack 2]! names a page whose name has blanks.
        if (peek() == '[') {
            const std::size_t close = formula_.find(']', pos_);
            if (close == std::string_view::npos)
                fail("'[' is not closed", pos_);
            pos_ = close + 1;
        }
        return make(Token::Kind::Name, start, std::string(formula_.substr(start, pos_ - start)));
    }

    // A string literal or quoted name: the quote doubled inside stands for itself.
    Token quoted(char quote, Token::Kind kind, const std::string& what)
    {
        const std::size_t start = pos_++;
        std::string text;
        for (;;) {
            if (pos_ >= formula_.size())
                throw FormulaError(what + " opened at " + describePosition(formula_, start) +
                                   " is not closed");
            if (formula_[pos_] == quote) {
                if (peek(1) != quote) {
                    ++pos_;
                    return make(kind, start, std::move(text));
                }
                ++pos_;
            }
            text += formula_[pos_++];
        }
    }

    Token guid()
    {
        const std::size_t start = pos_;
        const std::size_t close = formula_.find('}', pos_);
        if (close == std::string_view::npos)
            fail("'{' is not closed", start);
        pos_ = close + 1;
        return make(Token::Kind::Guid, start, std::string(formula_.substr(start, pos_ - start)));
    }

    Token punctuation()
    {
        struct Symbol {
            std::string_view text;
            Token::Kind kind;
        };
        // Two-character symbols first, so that "<=" is not read as "<" and "=".
        static constexpr Symbol symbols[] = {
            {"<>", Token::Kind::NotEqual}, {"<=", Token::Kind::LessOrEqual},
            {">=", Token::Kind::GreaterOrEqual}, {"(", Token::Kind::LeftParen},
            {")", Token::Kind::RightParen}, {",", Token::Kind::Comma}, {"!", Token::Kind::Bang},
            {"+", Token::Kind::Plus}, {"-", Token::Kind::Minus}, {"*", Token::Kind::Star},
            {"/", Token::Kind::Slash}, {"^", Token::Kind::Caret}, {"&", Token::Kind::Ampersand},
            {"%", Token::Kind::Percent}, {"=", Token::Kind::Equal}, {"<", Token::Kind::Less},
            {">", Token::Kind::Greater},
        };
        const std::string_view rest = formula_.substr(pos_);
        for (const auto& symbol : symbols) {
            if (rest.substr(0, symbol.text.size()) == symbol.text) {
                const std::size_t start = pos_;
                pos_ += symbol.text.size();
                return make(symbol.kind, start, std::string(symbol.text));
            }
        }
        fail(describeCharacter(), pos_);
    }

    std::string describeCharacter() const
    {
        const auto byte = static_cast<unsigned char>(peek());
        if (byte < 0x20 || byte == 0x7f) {
            static constexpr char hex[] = "0123456789ABCDEF";
            return std::string("unexpected control character 0x") + hex[byte >> 4] + hex[byte & 0xF];
        }
        return std::string("unexpected character '") + peek() + "'";
    }

    std::string_view formula_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<Token> tokenize(std::string_view formula)
{
    return Lexer(formula).run();
}

std::string describePosition(std::string_view formula, std::size_t offset)
{
    if (offset >= formula.size())
        return "the end of the formula";
    std::size_t character = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if ((static_cast<unsigned char>(formula[i]) & 0xC0) != 0x80)
            ++character;
    return "character " + std::to_string(character);
}

} // namespace visio::formula
