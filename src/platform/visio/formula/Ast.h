#pragma once

// The tree a formula parses to. Operators of one precedence level form one chain
// node (a + b - c is one node with three operands), so the depth of the tree grows
// only with nesting, which the parser bounds.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/visio/formula/Formula.h"

namespace visio::formula {

enum class BinaryOperator {
    Add, Subtract, Multiply, Divide, Power, Concatenate,
    Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual,
};

// One operator of a chain. The alternate comparison words (GT, EQ, ...) compare
// exactly, the symbols after rounding away the last digits.
struct Operation {
    BinaryOperator op = BinaryOperator::Add;
    bool exact = false;
};

struct Node;
using NodePtr = std::unique_ptr<Node>;

struct Node {
    enum class Kind {
        Number,    // number, dimension, unitCode
        String,    // text
        Boolean,   // number 0 or 1
        Guid,      // text, braces included: only ever an argument to USE()
        Missing,   // an argument left out: SETATREF(a,,1)
        Reference, // reference; children[0], if any, is the call that finds its sheet
        Call,      // text = function name as written, qualifier = sheet or empty, children = arguments
        Negate,    // children[0]
        Percent,   // children[0] / 100
        Chain,     // children[0] operators[0] children[1] ...
    };
    Kind kind = Kind::Number;
    double number = 0;
    Dimension dimension = Dimension::None;
    std::string unitCode;
    std::string text;
    std::string qualifier;
    Reference reference;
    std::vector<NodePtr> children;
    std::vector<Operation> operators;
    // Written in parentheses: "(1)" is an expression, not a constant.
    bool parenthesized = false;
};

// A parsed formula: its tree and the references in order of appearance.
struct ParsedFormula {
    NodePtr root;
    std::vector<Reference> references;
};

} // namespace visio::formula
