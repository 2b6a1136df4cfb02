#include "platform/visio/formula/Parser.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/visio/formula/CaseInsensitive.h"
#include "platform/visio/formula/Lexer.h"
#include "platform/visio/formula/Units.h"

namespace visio::formula {
namespace {


NodePtr makeNode(Node::Kind kind)
{
    auto node = std::make_unique<Node>();
    node->kind = kind;
    return node;
}

NodePtr wrap(Node::Kind kind, NodePtr operand)
{
    NodePtr node = makeNode(kind);
    node->children.push_back(std::move(operand));
    return node;
}

// Binary operators by precedence level, loosest first; level kLevels is the unary sign.
constexpr int kLevels = 5;

std::optional<Operation> symbolOperator(int level, Token::Kind kind)
{
    using K = Token::Kind;
    using B = BinaryOperator;
    switch (level) {
    case 0:
        switch (kind) {
        case K::Equal: return Operation{B::Equal};
        case K::NotEqual: return Operation{B::NotEqual};
        case K::Less: return Operation{B::Less};
        case K::Greater: return Operation{B::Greater};
        case K::LessOrEqual: return Operation{B::LessOrEqual};
        case K::GreaterOrEqual: return Operation{B::GreaterOrEqual};
        default: return std::nullopt;
        }
    case 1: return kind == K::Ampersand ? std::optional(Operation{B::Concatenate}) : std::nullopt;
    case 2:
        if (kind == K::Plus)
            return Operation{B::Add};
        return kind == K::Minus ? std::optional(Operation{B::Subtract}) : std::nullopt;
    case 3:
        if (kind == K::Star)
            return Operation{B::Multiply};
        return kind == K::Slash ? std::optional(Operation{B::Divide}) : std::nullopt;
    case 4: return kind == K::Caret ? std::optional(Operation{B::Power}) : std::nullopt;
    default: return std::nullopt;
    }
}

// The alternate comparison words, which compare without rounding.
std::optional<Operation> wordOperator(std::string_view word)
{
    using B = BinaryOperator;
    static constexpr std::pair<std::string_view, B> words[] = {
        {"EQ", B::Equal}, {"NE", B::NotEqual}, {"LT", B::Less},
        {"GT", B::Greater}, {"LE", B::LessOrEqual}, {"GE", B::GreaterOrEqual},
    };
    for (const auto& [text, op] : words)
        if (equalsIgnoringCase(text, word))
            return Operation{op, true};
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(std::string_view formula) : formula_(formula), tokens_(tokenize(formula)) {}

    ParsedFormula run()
    {
        if (current().kind == Token::Kind::End)
            throw FormulaError("the formula is empty");
        ParsedFormula parsed;
        parsed.root = expression();
        if (current().kind != Token::Kind::End)
            expected("an operator");
        parsed.references = std::move(references_);
        return parsed;
    }

private:
    class NestingGuard {
    public:
        explicit NestingGuard(Parser& parser) : parser_(parser)
        {
            if (++parser_.depth_ > kMaxNesting)
                parser_.fail("the formula nests deeper than " + std::to_string(kMaxNesting) + " levels",
                             parser_.current());
        }
        ~NestingGuard() { --parser_.depth_; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        Parser& parser_;
    };

    [[noreturn]] void fail(const std::string& what, const Token& where) const
    {
        throw FormulaError(what + " at " + describePosition(formula_, where.offset));
    }

    // "<what> is expected before 'x' at character 5 (<note>)".
    [[noreturn]] void expected(const std::string& what, const std::string& note = {}) const
    {
        const Token& token = current();
        std::string message = what + " is expected ";
        if (token.kind == Token::Kind::End)
            message += "at the end of the formula";
        else
            message += "before " + describe(token) + " at " + describePosition(formula_, token.offset);
        if (!note.empty())
            message += " (" + note + ")";
        throw FormulaError(message);
    }

    std::string closing(const Token& open) const
    {
        return "to close the '(' at " + describePosition(formula_, open.offset);
    }

    static std::string describe(const Token& token)
    {
        switch (token.kind) {
        case Token::Kind::String: return "a string literal";
        case Token::Kind::QuotedName: return "the quoted name '" + token.text + "'";
        default: return "'" + token.text + "'";
        }
    }

    const Token& current() const { return tokens_[pos_]; }
    const Token& ahead(std::size_t count) const
    {
        return tokens_[std::min(pos_ + count, tokens_.size() - 1)];
    }
    bool accept(Token::Kind kind)
    {
        if (current().kind != kind)
            return false;
        ++pos_;
        return true;
    }

    NodePtr expression()
    {
        NestingGuard guard(*this);
        return level(0);
    }

    NodePtr level(int n)
    {
        if (n == kLevels)
            return unary();
        NodePtr first = level(n + 1);
        NodePtr chain;
        while (const auto operation = operatorAt(n)) {
            ++pos_;
            if (!chain) {
                chain = makeNode(Node::Kind::Chain);
                chain->children.push_back(std::move(first));
            }
            chain->operators.push_back(*operation);
            chain->children.push_back(level(n + 1));
        }
        return chain ? std::move(chain) : std::move(first);
    }

    std::optional<Operation> operatorAt(int n) const
    {
        if (n == 0 && current().kind == Token::Kind::Name)
            return wordOperator(current().text);
        return symbolOperator(n, current().kind);
    }

    NodePtr unary()
    {
        if (current().kind != Token::Kind::Plus && current().kind != Token::Kind::Minus)
            return postfix();
        const bool negative = current().kind == Token::Kind::Minus;
        ++pos_;
        NestingGuard guard(*this);
        NodePtr operand = unary();
        return negative ? wrap(Node::Kind::Negate, std::move(operand)) : std::move(operand);
    }

    // One percent sign makes a percentage of any operand; "50%" is already a number
    // with the unit %. More signs are refused rather than nested without bound.
    NodePtr postfix()
    {
        NodePtr node = primary();
        if (accept(Token::Kind::Percent))
            node = wrap(Node::Kind::Percent, std::move(node));
        return node;
    }

    NodePtr primary()
    {
        switch (current().kind) {
        case Token::Kind::Number: return numberLiteral();
        case Token::Kind::String: return textNode(Node::Kind::String);
        case Token::Kind::Guid: return textNode(Node::Kind::Guid);
        case Token::Kind::Name:
        case Token::Kind::QuotedName: return named();
        case Token::Kind::LeftParen: return parenthesized();
        default: expected("an operand");
        }
    }

    NodePtr textNode(Node::Kind kind)
    {
        NodePtr node = makeNode(kind);
        node->text = current().text;
        ++pos_;
        return node;
    }

    NodePtr parenthesized()
    {
        const Token& open = current();
        ++pos_;
        NodePtr inner = expression();
        if (!accept(Token::Kind::RightParen))
            expected("')'", closing(open));
        inner->parenthesized = true;
        return inner;
    }

    // The unit written after the number at the current token, if any.
    std::optional<UnitInfo> unitAt(std::size_t index) const
    {
        const Token& token = ahead(index);
        if (token.kind == Token::Kind::Percent)
            return unitByWord("%");
        if (token.kind != Token::Kind::Name)
            return std::nullopt;
        const Token::Kind after = ahead(index + 1).kind;
        if (after == Token::Kind::LeftParen || after == Token::Kind::Bang)
            return std::nullopt;
        return unitByWord(token.text);
    }

    NodePtr numberLiteral()
    {
        NodePtr node = makeNode(Node::Kind::Number);
        node->number = current().number;
        ++pos_;
        const auto unit = unitAt(0);
        if (!unit)
            return node;
        ++pos_;
        node->number = toInternal(node->number, *unit);
        node->dimension = unit->dimension;
        node->unitCode = std::string(unit->code);
        addCompoundParts(*node);
        return node;
    }

    // "1 ft 9 in": further numbers with units of the same dimension add up.
    void addCompoundParts(Node& node)
    {
        if (node.dimension == Dimension::None)
            return;
        while (current().kind == Token::Kind::Number) {
            const auto unit = unitAt(1);
            if (!unit || unit->dimension != node.dimension)
                return;
            node.number += toInternal(current().number, *unit);
            pos_ += 2;
        }
    }

    // A reference or a call, each perhaps on another sheet: Sheet.5!Width,
    // Pages[Page 2]!ThePage!PageWidth, CONTAINERSHEETREF(1)!User.Heading.
    NodePtr named()
    {
        const std::size_t start = current().offset;
        std::string qualifier;
        NodePtr sheetCall;
        for (;;) {
            qualifier += qualifiers(qualifier.empty());
            if (current().kind == Token::Kind::QuotedName)
                fail("a quoted name must be followed by '!'", current());
            if (current().kind != Token::Kind::Name)
                expected("a name");
            std::string name = current().text;
            ++pos_;
            if (current().kind != Token::Kind::LeftParen)
                return nameNode(std::move(name), std::move(qualifier), std::move(sheetCall));
            NodePtr callNode = call(std::move(name), std::move(qualifier));
            if (current().kind != Token::Kind::Bang)
                return callNode;
            // The call finds a sheet at run time; the reference names it as written.
            qualifier = std::string(formula_.substr(start, current().offset - start));
            sheetCall = std::move(callNode);
            ++pos_;
        }
    }

    // The "Name!" and "'Quoted name'!" prefixes at the current token, joined by '!'.
    std::string qualifiers(bool first)
    {
        std::string joined;
        while ((current().kind == Token::Kind::Name || current().kind == Token::Kind::QuotedName) &&
               ahead(1).kind == Token::Kind::Bang) {
            if (!first || !joined.empty())
                joined += '!';
            joined += current().text;
            pos_ += 2;
        }
        return joined;
    }

    NodePtr nameNode(std::string name, std::string qualifier, NodePtr sheetCall)
    {
        if (qualifier.empty() && (equalsIgnoringCase(name, "TRUE") || equalsIgnoringCase(name, "FALSE"))) {
            NodePtr node = makeNode(Node::Kind::Boolean);
            node->number = equalsIgnoringCase(name, "TRUE") ? 1 : 0;
            return node;
        }
        NodePtr node = makeNode(Node::Kind::Reference);
        node->reference = Reference{std::move(qualifier), std::move(name)};
        if (sheetCall)
            node->children.push_back(std::move(sheetCall));
        references_.push_back(node->reference);
        return node;
    }

    NodePtr call(std::string name, std::string qualifier)
    {
        const Token& open = current();
        ++pos_;
        NodePtr node = makeNode(Node::Kind::Call);
        node->text = std::move(name);
        node->qualifier = std::move(qualifier);
        if (accept(Token::Kind::RightParen))
            return node;
        for (;;) {
            const Token::Kind kind = current().kind;
            const bool leftOut = kind == Token::Kind::Comma || kind == Token::Kind::RightParen;
            node->children.push_back(leftOut ? makeNode(Node::Kind::Missing) : expression());
            if (accept(Token::Kind::RightParen))
                return node;
            if (!accept(Token::Kind::Comma))
                expected("',' or ')'", closing(open));
        }
    }

    std::string_view formula_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::vector<Reference> references_;
};

} // namespace

ParsedFormula parseFormula(std::string_view formula)
{
    return Parser(formula).run();
}

} // namespace visio::formula
