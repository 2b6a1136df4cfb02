#pragma once

// Making and converting evaluation values. A conversion that Visio would make
// silently with a default (a text that is not a number counts as 0) yields nothing
// here, so that the caller keeps the stored value instead of a made-up one.

#include <optional>
#include <string>

#include "platform/visio/formula/Formula.h"

namespace visio::formula {

Value numberValue(double number, Dimension dimension = Dimension::None);
Value booleanValue(bool truth);
Value textValue(std::string text);
Value pointValue(double x, double y, Dimension dimension);

// A number, a truth value (0 or 1) or a text that reads wholly as a number;
// nothing for a point or another text.
std::optional<double> toNumber(const Value& value);
// Non-zero is true; nothing where toNumber gives nothing.
std::optional<bool> toBoolean(const Value& value);
// A text, TRUE/FALSE, or a plain number as formatNumber prints it; nothing for a
// point or a measured number, whose text depends on units the formula does not show.
std::optional<std::string> toText(const Value& value);

// The dimension of a sum (or of MIN/MAX): a plain number takes the other's
// dimension; two different dimensions cannot be added.
std::optional<Dimension> sumDimension(Dimension a, Dimension b);

// Equal up to the last digits of a double, as the comparison symbols compare.
bool nearlyEqual(double a, double b);

} // namespace visio::formula
