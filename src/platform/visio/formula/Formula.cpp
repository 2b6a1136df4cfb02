#include "platform/visio/formula/Formula.h"

#include "platform/visio/formula/Evaluator.h"
#include "platform/visio/formula/Parser.h"

namespace visio::formula {
namespace {

class ParsedExpression final : public Expression {
public:
    explicit ParsedExpression(ParsedFormula parsed) : parsed_(std::move(parsed)) {}

    std::optional<Value> evaluate(EvaluationContext& context) const override
    {
        return evaluateNode(*parsed_.root, context);
    }

    const std::vector<Reference>& references() const override { return parsed_.references; }

private:
    ParsedFormula parsed_;
};

// A number literal, possibly signed: "-3", "+12.5 mm". Anything else is not a constant.
const Node* signedNumber(const Node& root, bool& negative)
{
    negative = false;
    const Node* node = &root;
    if (node->kind == Node::Kind::Negate) {
        negative = true;
        node = node->children.front().get();
    }
    return node->kind == Node::Kind::Number && !node->parenthesized ? node : nullptr;
}

} // namespace

Classified classify(std::string_view formula)
{
    const ParsedFormula parsed = parseFormula(formula);
    Classified result;
    bool negative = false;
    if (parsed.root->kind == Node::Kind::String) {
        result.kind = Classified::Kind::String;
        result.text = parsed.root->text;
    } else if (const Node* number = signedNumber(*parsed.root, negative)) {
        result.kind = Classified::Kind::Number;
        result.internalValue = negative ? -number->number : number->number;
        result.unitCode = number->unitCode;
    }
    return result;
}

std::shared_ptr<const Expression> Expression::parse(std::string_view formula)
{
    return std::make_shared<ParsedExpression>(parseFormula(formula));
}

} // namespace visio::formula
