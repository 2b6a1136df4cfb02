#include "platform/visio/formula/Values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "platform/visio/formula/Units.h"

namespace visio::formula {

Value numberValue(double number, Dimension dimension)
{
    Value value;
    value.number = number;
    value.dimension = dimension;
    return value;
}

Value booleanValue(bool truth)
{
    Value value;
    value.type = Value::Type::Bool;
    value.number = truth ? 1 : 0;
    return value;
}

Value textValue(std::string text)
{
    Value value;
    value.type = Value::Type::String;
    value.text = std::move(text);
    return value;
}

Value pointValue(double x, double y, Dimension dimension)
{
    Value value;
    value.type = Value::Type::Point;
    value.number = x;
    value.y = y;
    value.dimension = dimension;
    return value;
}

namespace {

std::optional<double> parseNumberText(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double number = 0;
    const char* last = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), last, number);
    if (text.empty() || error != std::errc() || ptr != last || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace

std::optional<double> toNumber(const Value& value)
{
    switch (value.type) {
    case Value::Type::Number:
    case Value::Type::Bool: return value.number;
    case Value::Type::String: return parseNumberText(value.text);
    case Value::Type::Point: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<bool> toBoolean(const Value& value)
{
    const auto number = toNumber(value);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

std::optional<std::string> toText(const Value& value)
{
    switch (value.type) {
    case Value::Type::String: return value.text;
    case Value::Type::Bool: return std::string(value.number != 0 ? "TRUE" : "FALSE");
    case Value::Type::Number:
        if (value.dimension != Dimension::None)
            return std::nullopt;
        return formatNumber(value.number);
    case Value::Type::Point: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Dimension> sumDimension(Dimension a, Dimension b)
{
    if (a == Dimension::None)
        return b;
    if (b == Dimension::None || a == b)
        return a;
    return std::nullopt;
}

bool nearlyEqual(double a, double b)
{
    const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
    return std::fabs(a - b) <= 1e-12 * scale;
}

} // namespace visio::formula
