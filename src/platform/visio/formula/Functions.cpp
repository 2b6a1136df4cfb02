#include "platform/visio/formula/Functions.h"

#include <string_view>

#include "platform/visio/formula/CaseInsensitive.h"
#include "platform/visio/formula/Evaluator.h"
#include "platform/visio/formula/FunctionSupport.h"
#include "platform/visio/formula/Values.h"

namespace visio::formula {
namespace {


std::optional<Value> guardFunction(const Node& call, EvaluationContext& context)
{
    if (call.children.size() != 1)
        return std::nullopt;
    return evaluateNode(*call.children.front(), context);
}

std::optional<Value> ifFunction(const Node& call, EvaluationContext& context)
{
    if (call.children.size() != 3)
        return std::nullopt;
    const auto condition = evaluateNode(*call.children[0], context);
    const auto truth = condition ? toBoolean(*condition) : std::nullopt;
    if (!truth)
        return std::nullopt;
    // Only the chosen branch is evaluated: the other may call what is unknown here.
    return evaluateNode(*call.children[*truth ? 1 : 2], context);
}

std::optional<Value> logical(const Node& call, EvaluationContext& context, bool isAnd)
{
    const auto values = evaluateArguments(call, context);
    if (!values || values->empty())
        return std::nullopt;
    bool result = isAnd;
    for (const auto& value : *values) {
        const auto truth = toBoolean(value);
        if (!truth)
            return std::nullopt;
        result = isAnd ? result && *truth : result || *truth;
    }
    return booleanValue(result);
}

std::optional<Value> andFunction(const Node& call, EvaluationContext& context)
{
    return logical(call, context, true);
}

std::optional<Value> orFunction(const Node& call, EvaluationContext& context)
{
    return logical(call, context, false);
}

std::optional<Value> notFunction(const Node& call, EvaluationContext& context)
{
    const auto values = evaluateArguments(call, context);
    if (!values || values->size() != 1)
        return std::nullopt;
    const auto truth = toBoolean(values->front());
    return truth ? std::optional(booleanValue(!*truth)) : std::nullopt;
}

std::optional<Value> pntFunction(const Node& call, EvaluationContext& context)
{
    const auto values = evaluateArguments(call, context);
    if (!values || values->size() != 2)
        return std::nullopt;
    const Value& x = (*values)[0];
    const Value& y = (*values)[1];
    const auto dimension = sumDimension(x.dimension, y.dimension);
    const auto xNumber = x.type == Value::Type::Point ? std::nullopt : toNumber(x);
    const auto yNumber = y.type == Value::Type::Point ? std::nullopt : toNumber(y);
    if (!dimension || !xNumber || !yNumber)
        return std::nullopt;
    return pointValue(*xNumber, *yNumber, *dimension);
}

std::optional<Value> pointCoordinate(const Node& call, EvaluationContext& context, bool wantY)
{
    const auto values = evaluateArguments(call, context);
    if (!values || values->size() != 1 || values->front().type != Value::Type::Point)
        return std::nullopt;
    const Value& point = values->front();
    return numberValue(wantY ? point.y : point.number, point.dimension);
}

std::optional<Value> pntxFunction(const Node& call, EvaluationContext& context)
{
    return pointCoordinate(call, context, false);
}

std::optional<Value> pntyFunction(const Node& call, EvaluationContext& context)
{
    return pointCoordinate(call, context, true);
}

// The sheet of the first qualified reference in a tree: PAR(PNT(Sheet.5!X, Sheet.5!Y))
// is a point of Sheet.5.
std::string sheetOfReferences(const Node& node)
{
    if (node.kind == Node::Kind::Reference && !node.reference.sheet.empty())
        return node.reference.sheet;
    for (const auto& child : node.children) {
        std::string sheet = sheetOfReferences(*child);
        if (!sheet.empty())
            return sheet;
    }
    return {};
}

std::optional<Value> parFunction(const Node& call, EvaluationContext& context)
{
    if (call.children.size() != 1)
        return std::nullopt;
    const auto point = evaluateNode(*call.children.front(), context);
    if (!point || point->type != Value::Type::Point)
        return std::nullopt;
    return context.toParent(*point, sheetOfReferences(*call.children.front()));
}

struct Function {
    std::string_view name;
    FunctionHandler handler;
};

constexpr Function kFunctions[] = {
    {"GUARD", guardFunction},     {"IF", ifFunction},           {"AND", andFunction},
    {"OR", orFunction},           {"NOT", notFunction},         {"PNT", pntFunction},
    {"PNTX", pntxFunction},       {"PNTY", pntyFunction},       {"PAR", parFunction},
    {"MIN", minimumFunction},     {"MAX", maximumFunction},     {"SUM", sumFunction},
    {"ABS", absFunction},         {"SQRT", sqrtFunction},       {"INT", intFunction},
    {"TRUNC", truncFunction},     {"ROUND", roundFunction},     {"FLOOR", floorFunction},
    {"CEILING", ceilingFunction}, {"MODULUS", modulusFunction}, {"SIN", sinFunction},
    {"COS", cosFunction},         {"TAN", tanFunction},         {"ATAN2", atan2Function},
    {"PI", piFunction},           {"LEN", lenFunction},         {"CHAR", charFunction},
};

} // namespace

std::optional<Value> callFunction(const Node& call, EvaluationContext& context)
{
    if (!call.qualifier.empty())
        return std::nullopt;
    for (const auto& function : kFunctions)
        if (equalsIgnoringCase(function.name, call.text))
            return function.handler(call, context);
    return std::nullopt;
}

} // namespace visio::formula
