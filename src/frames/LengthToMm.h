#pragma once

// The whole-number lengths of a shape's size and position, read from the
// formulas of its cells as Visio shows them ("105 mm", "10.5 cm").

#include <string>

#include "platform/visio/Visio.h"

// The number of a length formula: the text before its first "." (when it has
// one) or up to its first space, trimmed, as a number; multiplied by 10 when
// the formula contains "cm" anywhere. So "105.7 mm" gives 105 (the fraction is
// dropped), "10.5 cm" 100, "-20 mm" -20 and "4 in" 4. A formula without a space
// gives 0. EConvertError "'<text>' is not a valid floating point value" when
// the text taken is not a number.
double LengthToMm(const std::string& formula);

// The edges of a shape, whole numbers in the length units of LengthToMm: left
// and right from PinX and Width, top and bottom from PinY and Height, the pin
// taken as the centre and the shape as not rotated. Each edge is rounded to the
// nearest whole number, a half to the even one.
struct TShapeBox {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The box of `shape` from the formulas of its "Width", "PinX", "Height" and
// "PinY" cells, read in that order. Raises what LengthToMm raises, and
// EConvertError when an edge lies beyond the range of a 32-bit number.
TShapeBox ShapeBox(const visio::Shape& shape);

// True when `inner` lies within `outer`; edges that coincide count as inside.
bool BoxLiesWithin(const TShapeBox& inner, const TShapeBox& outer);
