#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visio/formula/Units.h"

namespace visio::formula {

// What writing a formula text into a cell amounts to.
struct Classified {
    enum class Kind {
        String,      // a single string literal: store the text, unit STR, no formula
        Number,      // a number with an optional unit: store the value, no formula
        Expression,  // anything else that parses: store the formula text
    };
    Kind kind = Kind::Expression;
    std::string text;              // String: the unquoted text
    double internalValue = 0;      // Number: the value in internal units
    std::string unitCode;          // Number: the U code of its unit ("MM"), empty for none
};

// Classifies a formula text. Raises FormulaError when the text is not a valid
// formula (an unbalanced string literal or parenthesis, a stray character, an
// operator without operand, trailing garbage).
Classified classify(std::string_view formula);

class FormulaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A reference in a formula: an optional sheet qualifier and a cell name as
// written: "Width" -> {"", "Width"}; "Sheet.5!Connections.X9" -> {"Sheet.5",
// "Connections.X9"}; "ThePage!PageWidth" -> {"ThePage", "PageWidth"};
// "Prop.Name" -> {"", "Prop.Name"}.
struct Reference {
    std::string sheet;
    std::string cell;
};

// The result of evaluating a formula, in internal units.
struct Value {
    enum class Type { Number, String, Bool, Point };
    Type type = Type::Number;
    double number = 0;        // Number, Bool (0 or 1), Point: x
    double y = 0;             // Point: y
    std::string text;         // String
    Dimension dimension = Dimension::None;
};

// What the evaluator needs from the drawing.
class EvaluationContext {
public:
    virtual ~EvaluationContext() = default;
    // The current value of a referenced cell; nothing when the cell cannot be
    // resolved or its value is unknown (evaluation then fails). Names come as the
    // formula writes them and match without regard to case: width is Width.
    virtual std::optional<Value> cellValue(const Reference& reference) = 0;
    // PAR(point): a point of the sheet named by `sheet` (empty: the formula's
    // own sheet) in its parent's coordinates. Nothing when unknown.
    virtual std::optional<Value> toParent(const Value& point, const std::string& sheet) = 0;
};

// A parsed formula, kept so that a cell need not be parsed again.
class Expression {
public:
    // Parses; raises FormulaError like classify.
    static std::shared_ptr<const Expression> parse(std::string_view formula);
    virtual ~Expression() = default;

    // Evaluates. Nothing when the formula uses something the evaluator does not
    // know (an unknown function or name, an unresolved reference) or fails
    // (division by zero, a type mismatch): the caller then keeps the stored value.
    virtual std::optional<Value> evaluate(EvaluationContext& context) const = 0;
    // Every cell reference in the formula, in order of appearance.
    virtual const std::vector<Reference>& references() const = 0;
};

} // namespace visio::formula
