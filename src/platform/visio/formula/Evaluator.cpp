#include "platform/visio/formula/Evaluator.h"

#include <cmath>

#include "platform/visio/formula/Functions.h"
#include "platform/visio/formula/Values.h"

namespace visio::formula {
namespace {

bool isComparison(BinaryOperator op)
{
    return op >= BinaryOperator::Equal;
}

std::optional<Value> compare(Operation operation, const Value& left, const Value& right)
{
    const auto a = toNumber(left);
    const auto b = toNumber(right);
    if (!a || !b)
        return std::nullopt;
    const bool equal = operation.exact ? *a == *b : nearlyEqual(*a, *b);
    switch (operation.op) {
    case BinaryOperator::Equal: return booleanValue(equal);
    case BinaryOperator::NotEqual: return booleanValue(!equal);
    case BinaryOperator::Less: return booleanValue(!equal && *a < *b);
    case BinaryOperator::Greater: return booleanValue(!equal && *a > *b);
    case BinaryOperator::LessOrEqual: return booleanValue(equal || *a < *b);
    case BinaryOperator::GreaterOrEqual: return booleanValue(equal || *a > *b);
    default: return std::nullopt;
    }
}

std::optional<Value> concatenate(const Value& left, const Value& right)
{
    const auto a = toText(left);
    const auto b = toText(right);
    if (!a || !b)
        return std::nullopt;
    return textValue(*a + *b);
}

// A product keeps the dimension of its measured factor; a quotient of two alike
// measures is a plain number.
std::optional<Dimension> arithmeticDimension(BinaryOperator op, Dimension a, Dimension b)
{
    switch (op) {
    case BinaryOperator::Add:
    case BinaryOperator::Subtract: return sumDimension(a, b);
    case BinaryOperator::Multiply:
        if (a != Dimension::None && b != Dimension::None)
            return Dimension::None;
        return a == Dimension::None ? b : a;
    case BinaryOperator::Divide:
        return b == Dimension::None ? a : Dimension::None;
    case BinaryOperator::Power:
        if (b != Dimension::None)
            return std::nullopt;
        return a;
    default: return std::nullopt;
    }
}

std::optional<double> arithmeticResult(BinaryOperator op, double a, double b)
{
    switch (op) {
    case BinaryOperator::Add: return a + b;
    case BinaryOperator::Subtract: return a - b;
    case BinaryOperator::Multiply: return a * b;
    case BinaryOperator::Divide:
        if (b == 0)
            return std::nullopt;
        return a / b;
    case BinaryOperator::Power: return std::pow(a, b);
    default: return std::nullopt;
    }
}

std::optional<Value> arithmetic(BinaryOperator op, const Value& left, const Value& right)
{
    const auto a = toNumber(left);
    const auto b = toNumber(right);
    if (!a || !b)
        return std::nullopt;
    const auto dimension = arithmeticDimension(op, left.dimension, right.dimension);
    const auto result = arithmeticResult(op, *a, *b);
    if (!dimension || !result || !std::isfinite(*result))
        return std::nullopt;
    return numberValue(*result, *dimension);
}

std::optional<Value> apply(Operation operation, const Value& left, const Value& right)
{
    if (isComparison(operation.op))
        return compare(operation, left, right);
    if (operation.op == BinaryOperator::Concatenate)
        return concatenate(left, right);
    return arithmetic(operation.op, left, right);
}

std::optional<Value> evaluateChain(const Node& chain, EvaluationContext& context)
{
    auto accumulated = evaluateNode(*chain.children.front(), context);
    for (std::size_t i = 0; accumulated && i < chain.operators.size(); ++i) {
        const auto operand = evaluateNode(*chain.children[i + 1], context);
        if (!operand)
            return std::nullopt;
        accumulated = apply(chain.operators[i], *accumulated, *operand);
    }
    return accumulated;
}

std::optional<Value> scaled(const Node& node, double factor, EvaluationContext& context)
{
    const auto operand = evaluateNode(*node.children.front(), context);
    if (!operand)
        return std::nullopt;
    const auto number = toNumber(*operand);
    if (!number)
        return std::nullopt;
    const Dimension dimension = operand->type == Value::Type::Number ? operand->dimension : Dimension::None;
    return numberValue(*number * factor, dimension);
}

} // namespace

std::optional<Value> evaluateNode(const Node& node, EvaluationContext& context)
{
    switch (node.kind) {
    case Node::Kind::Number: return numberValue(node.number, node.dimension);
    case Node::Kind::String: return textValue(node.text);
    case Node::Kind::Boolean: return booleanValue(node.number != 0);
    case Node::Kind::Guid:
    case Node::Kind::Missing: return std::nullopt;
    case Node::Kind::Reference:
        // A sheet found by a function call cannot be resolved here.
        if (!node.children.empty())
            return std::nullopt;
        return context.cellValue(node.reference);
    case Node::Kind::Call: return callFunction(node, context);
    case Node::Kind::Negate: return scaled(node, -1, context);
    case Node::Kind::Percent: return scaled(node, 0.01, context);
    case Node::Kind::Chain: return evaluateChain(node, context);
    }
    return std::nullopt;
}

} // namespace visio::formula
