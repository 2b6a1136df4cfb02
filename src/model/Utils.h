#pragma once

// Shared routines of the element model: how an element's kind is recognised from
// its shape's name, and how its property rows (section 243, column 0) are read
// and written.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/visio/Visio.h"

// The integer-conversion error: a text that is not a decimal integer.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Element kinds as ElementKindOf returns them; 2 (a switch) is never produced.
enum : std::uint8_t {
    ElementKindObject = 0,
    ElementKindProcedure = 1,
    ElementKindOther = 3,
};

// The section of the property rows and of the user-defined cells.
inline constexpr int PropertySection = visio::visSectionProp;
inline constexpr int UserSection = visio::visSectionUser;

// An optional sign and decimal digits within 32 bits; anything else, the empty
// text included, raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);

// The element kind of a shape name: 1 when it contains "Process", else 0 when it
// contains "Document" or "Object", else 3 (case-sensitive).
std::uint8_t ElementKindOfName(const std::string& name);

// The element kind of a shape, from its Name; raises VisioError for an empty
// reference.
std::uint8_t ElementKindOf(const visio::Shape& shape);

// The raw formula of property row `row`, enclosing quotes included; empty when
// the shape has no such row (inherited rows count as present).
std::string ReadPropertyFormula(const visio::Shape& shape, int row);

// The unquoted value of a formula: the text of a well-formed string literal with
// doubled quotes undone; any other formula with one leading and one trailing
// double quote removed where present.
std::string StripQuotes(const std::string& text);

// StripQuotes(ReadPropertyFormula(shape, row)).
std::string ReadProperty(const visio::Shape& shape, int row);

// The string literal that writers assign to a value cell: the text in double
// quotes, inner double quotes doubled.
std::string StringLiteral(const std::string& text);

// Writes `text` as the string literal of property row `row`; raises VisioError
// when the shape has no such row.
void WriteProperty(const visio::Shape& shape, int row, const std::string& text);
