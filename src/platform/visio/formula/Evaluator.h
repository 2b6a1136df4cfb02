#pragma once

#include <optional>

#include "platform/visio/formula/Ast.h"

namespace visio::formula {

// The value of a formula tree in internal units; nothing when it uses something
// the evaluator does not know, a reference the context cannot resolve, or fails
// (division by zero, a type mismatch, a result that is not a finite number).
std::optional<Value> evaluateNode(const Node& node, EvaluationContext& context);

} // namespace visio::formula
