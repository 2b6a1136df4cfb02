#pragma once

#include <string_view>

#include "platform/visio/formula/Ast.h"

namespace visio::formula {

// How deeply parentheses, function calls and signs may nest before a formula is
// refused: hostile text must not exhaust the stack.
inline constexpr int kMaxNesting = 200;

// Parses a formula to its tree. Raises FormulaError saying what is wrong and at
// which character.
ParsedFormula parseFormula(std::string_view formula);

} // namespace visio::formula
