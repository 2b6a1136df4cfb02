// Feeds arbitrary text to the formula layer as a formula typed into a cell: it
// must classify, parse and evaluate, or refuse with FormulaError, and nothing else.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/visio/formula/Formula.h"
#include "platform/visio/formula/StringLiteral.h"

namespace {

using namespace visio::formula;

// Every reference resolves, to a length, a text or a point by the name's length,
// so that evaluation reaches every operator and function with every kind of value.
class FuzzDrawing : public EvaluationContext {
public:
    std::optional<Value> cellValue(const Reference& reference) override
    {
        Value value;
        switch ((reference.sheet.size() + reference.cell.size()) % 4) {
        case 0: return std::nullopt;
        case 1:
            value.number = 2;
            value.dimension = Dimension::Length;
            return value;
        case 2:
            value.type = Value::Type::String;
            value.text = reference.cell;
            return value;
        default:
            value.type = Value::Type::Point;
            value.number = 1;
            value.y = -1;
            value.dimension = Dimension::Length;
            return value;
        }
    }

    std::optional<Value> toParent(const Value& point, const std::string& sheet) override
    {
        if (sheet.size() % 2)
            return std::nullopt;
        Value moved = point;
        moved.number += 1;
        return moved;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view formula(reinterpret_cast<const char*>(data), size);
    if (const auto text = parseStringLiteral(formula)) {
        // A literal read back and quoted again must read the same.
        if (parseStringLiteral(quoteString(*text)) != *text)
            __builtin_trap();
    }
    try {
        const Classified classified = classify(formula);
        if (classified.kind == Classified::Kind::Number)
            (void)formatNumber(classified.internalValue);
        const auto expression = Expression::parse(formula);
        FuzzDrawing drawing;
        if (const auto value = expression->evaluate(drawing); value && value->type == Value::Type::Number)
            (void)formatNumber(value->number);
        (void)expression->references().size();
    } catch (const FormulaError&) {
        // A refused formula is an expected outcome.
    }
    return 0;
}
