#pragma once

#include <optional>

#include "platform/visio/formula/Ast.h"

namespace visio::formula {

// The value of a function call, looked up by name without regard to case. Nothing
// for a function the evaluator does not know (_WALKGLUE, SETF, THEMEGUARD, ...),
// for a call on another sheet (ThePage!PAGENAME()), for arguments it cannot use,
// and when an argument fails.
std::optional<Value> callFunction(const Node& call, EvaluationContext& context);

} // namespace visio::formula
