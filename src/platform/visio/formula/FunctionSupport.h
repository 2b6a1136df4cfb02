#pragma once

// What the function units share: argument evaluation and the handlers of the
// numeric functions.

#include <optional>
#include <vector>

#include "platform/visio/formula/Ast.h"

namespace visio::formula {

using Arguments = std::vector<Value>;
using FunctionHandler = std::optional<Value> (*)(const Node& call, EvaluationContext& context);

// Every argument evaluated; nothing when one is left out or fails.
std::optional<Arguments> evaluateArguments(const Node& call, EvaluationContext& context);

// Numeric functions (FunctionsMath.cpp), each nothing on arguments it cannot use.
std::optional<Value> minimumFunction(const Node& call, EvaluationContext& context);
std::optional<Value> maximumFunction(const Node& call, EvaluationContext& context);
std::optional<Value> sumFunction(const Node& call, EvaluationContext& context);
std::optional<Value> absFunction(const Node& call, EvaluationContext& context);
std::optional<Value> sqrtFunction(const Node& call, EvaluationContext& context);
std::optional<Value> intFunction(const Node& call, EvaluationContext& context);
std::optional<Value> truncFunction(const Node& call, EvaluationContext& context);
std::optional<Value> roundFunction(const Node& call, EvaluationContext& context);
std::optional<Value> floorFunction(const Node& call, EvaluationContext& context);
std::optional<Value> ceilingFunction(const Node& call, EvaluationContext& context);
std::optional<Value> modulusFunction(const Node& call, EvaluationContext& context);
std::optional<Value> sinFunction(const Node& call, EvaluationContext& context);
std::optional<Value> cosFunction(const Node& call, EvaluationContext& context);
std::optional<Value> tanFunction(const Node& call, EvaluationContext& context);
std::optional<Value> atan2Function(const Node& call, EvaluationContext& context);
std::optional<Value> piFunction(const Node& call, EvaluationContext& context);

// Text functions (FunctionsText.cpp): LEN counts characters, CHAR gives the
// character of a code (CHAR(10) a line break).
std::optional<Value> lenFunction(const Node& call, EvaluationContext& context);
std::optional<Value> charFunction(const Node& call, EvaluationContext& context);

} // namespace visio::formula
