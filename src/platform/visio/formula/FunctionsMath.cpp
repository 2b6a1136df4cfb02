#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "platform/visio/formula/Evaluator.h"
#include "platform/visio/formula/FunctionSupport.h"
#include "platform/visio/formula/Values.h"

namespace visio::formula {

std::optional<Arguments> evaluateArguments(const Node& call, EvaluationContext& context)
{
    Arguments values;
    values.reserve(call.children.size());
    for (const auto& argument : call.children) {
        auto value = evaluateNode(*argument, context);
        if (!value)
            return std::nullopt;
        values.push_back(std::move(*value));
    }
    return values;
}

namespace {

std::optional<Value> numberOrNothing(double number, Dimension dimension)
{
    if (!std::isfinite(number))
        return std::nullopt;
    return numberValue(number, dimension);
}

// A number that is not a point.
std::optional<double> scalar(const Value& value)
{
    if (value.type == Value::Type::Point)
        return std::nullopt;
    return toNumber(value);
}

// The number of a value that carries no unit: rounding a measure to whole
// numbers would depend on the unit it is shown in, which the formula does not say.
std::optional<double> plainNumber(const Value& value)
{
    if (value.dimension != Dimension::None)
        return std::nullopt;
    return scalar(value);
}

std::optional<Arguments> argumentsBetween(const Node& call, EvaluationContext& context, std::size_t least,
                                          std::size_t most)
{
    if (call.children.size() < least || call.children.size() > most)
        return std::nullopt;
    return evaluateArguments(call, context);
}

// x rounded to `digits` decimals by `rounder`. The scaled value keeps only 15
// significant digits first, so that 1.005 (stored as 1.00499999...) rounds as written.
std::optional<Value> roundToDigits(double x, double digits, double (*rounder)(double))
{
    const int places = static_cast<int>(std::clamp(std::trunc(digits), -300.0, 300.0));
    if (places > 15)
        return numberValue(x);
    const double scale = std::pow(10.0, places);
    return numberOrNothing(rounder(roundToSignificant(x * scale, 15)) / scale, Dimension::None);
}

// INT, TRUNC and ROUND: a plain number, optionally a count of decimals.
std::optional<Value> rounding(const Node& call, EvaluationContext& context, double (*rounder)(double),
                              bool takesDigits)
{
    const auto values = argumentsBetween(call, context, 1, takesDigits ? 2 : 1);
    if (!values)
        return std::nullopt;
    const auto x = plainNumber(values->front());
    const auto digits = values->size() == 2 ? plainNumber((*values)[1]) : std::optional(0.0);
    if (!x || !digits)
        return std::nullopt;
    return roundToDigits(*x, *digits, rounder);
}

// MIN, MAX and SUM over measures of one dimension (plain numbers mix in).
std::optional<Value> fold(const Node& call, EvaluationContext& context, double (*combine)(double, double))
{
    const auto values = argumentsBetween(call, context, 1, call.children.size());
    if (!values)
        return std::nullopt;
    std::optional<double> result;
    Dimension dimension = Dimension::None;
    for (const auto& value : *values) {
        const auto number = scalar(value);
        const auto combined = sumDimension(dimension, value.dimension);
        if (!number || !combined)
            return std::nullopt;
        dimension = *combined;
        result = result ? combine(*result, *number) : *number;
    }
    return numberOrNothing(*result, dimension);
}

// A function of one number that keeps its dimension.
std::optional<Value> measure(const Node& call, EvaluationContext& context, double (*apply)(double))
{
    const auto values = argumentsBetween(call, context, 1, 1);
    const auto x = values ? scalar(values->front()) : std::nullopt;
    if (!x)
        return std::nullopt;
    return numberOrNothing(apply(*x), values->front().dimension);
}

// A trigonometric function of an angle; a plain number counts as radians.
std::optional<Value> trigonometric(const Node& call, EvaluationContext& context, double (*apply)(double))
{
    const auto values = argumentsBetween(call, context, 1, 1);
    const auto x = values ? scalar(values->front()) : std::nullopt;
    const Dimension dimension = values ? values->front().dimension : Dimension::None;
    if (!x || (dimension != Dimension::None && dimension != Dimension::Angle))
        return std::nullopt;
    return numberOrNothing(apply(*x), Dimension::None);
}

// FLOOR and CEILING: a given multiple must be measured like the number and have
// its sign; without one, FLOOR goes down to a whole number and CEILING away from zero.
// A measure needs its multiple, since a plain one would depend on the unit shown.
std::optional<Value> toMultiple(const Node& call, EvaluationContext& context, bool awayFromZero)
{
    const auto values = argumentsBetween(call, context, 1, 2);
    const auto x = values ? scalar(values->front()) : std::nullopt;
    if (!x)
        return std::nullopt;
    const Dimension dimension = values->front().dimension;
    double multiple = awayFromZero && *x < 0 ? -1.0 : 1.0;
    if (values->size() == 2) {
        const auto given = scalar((*values)[1]);
        if (!given || (*values)[1].dimension != dimension || (*x < 0 && *given > 0) || (*x > 0 && *given < 0))
            return std::nullopt;
        multiple = *given;
    } else if (dimension != Dimension::None) {
        return std::nullopt;
    }
    if (*x == 0 || multiple == 0)
        return numberValue(0, dimension);
    const double steps = *x / multiple;
    return numberOrNothing((awayFromZero ? std::ceil(steps) : std::floor(steps)) * multiple, dimension);
}

} // namespace

std::optional<Value> minimumFunction(const Node& call, EvaluationContext& context)
{
    return fold(call, context, [](double a, double b) { return std::min(a, b); });
}

std::optional<Value> maximumFunction(const Node& call, EvaluationContext& context)
{
    return fold(call, context, [](double a, double b) { return std::max(a, b); });
}

std::optional<Value> sumFunction(const Node& call, EvaluationContext& context)
{
    return fold(call, context, [](double a, double b) { return a + b; });
}

std::optional<Value> absFunction(const Node& call, EvaluationContext& context)
{
    return measure(call, context, [](double x) { return std::fabs(x); });
}

std::optional<Value> sqrtFunction(const Node& call, EvaluationContext& context)
{
    return measure(call, context, [](double x) { return x < 0 ? NAN : std::sqrt(x); });
}

std::optional<Value> intFunction(const Node& call, EvaluationContext& context)
{
    return rounding(call, context, [](double x) { return std::floor(x); }, false);
}

std::optional<Value> truncFunction(const Node& call, EvaluationContext& context)
{
    return rounding(call, context, [](double x) { return std::trunc(x); }, true);
}

std::optional<Value> roundFunction(const Node& call, EvaluationContext& context)
{
    return rounding(call, context, [](double x) { return std::round(x); }, true);
}

std::optional<Value> floorFunction(const Node& call, EvaluationContext& context)
{
    return toMultiple(call, context, false);
}

std::optional<Value> ceilingFunction(const Node& call, EvaluationContext& context)
{
    return toMultiple(call, context, true);
}

// The remainder takes the sign of the divisor: MODULUS(-1, 4) is 3.
std::optional<Value> modulusFunction(const Node& call, EvaluationContext& context)
{
    const auto values = argumentsBetween(call, context, 2, 2);
    if (!values || (*values)[0].dimension != (*values)[1].dimension)
        return std::nullopt;
    const auto x = scalar((*values)[0]);
    const auto divisor = scalar((*values)[1]);
    if (!x || !divisor || *divisor == 0)
        return std::nullopt;
    return numberOrNothing(*x - *divisor * std::floor(*x / *divisor), (*values)[0].dimension);
}

std::optional<Value> sinFunction(const Node& call, EvaluationContext& context)
{
    return trigonometric(call, context, [](double x) { return std::sin(x); });
}

std::optional<Value> cosFunction(const Node& call, EvaluationContext& context)
{
    return trigonometric(call, context, [](double x) { return std::cos(x); });
}

std::optional<Value> tanFunction(const Node& call, EvaluationContext& context)
{
    return trigonometric(call, context, [](double x) { return std::tan(x); });
}

// ATAN2(y, x): the angle of the vector (x, y); ATAN2(0, 0) is 0.
std::optional<Value> atan2Function(const Node& call, EvaluationContext& context)
{
    const auto values = argumentsBetween(call, context, 2, 2);
    if (!values || !sumDimension((*values)[0].dimension, (*values)[1].dimension))
        return std::nullopt;
    const auto y = scalar((*values)[0]);
    const auto x = scalar((*values)[1]);
    if (!y || !x)
        return std::nullopt;
    return numberOrNothing(std::atan2(*y, *x), Dimension::Angle);
}

std::optional<Value> piFunction(const Node& call, EvaluationContext&)
{
    if (!call.children.empty())
        return std::nullopt;
    return numberValue(std::numbers::pi);
}

} // namespace visio::formula
