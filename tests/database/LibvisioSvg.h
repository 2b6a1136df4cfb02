#pragma once

// What libvisio's vsd2xhtml draws of a drawing: the paths and texts of its SVG,
// in points from the top left corner of the page.

#include <string>
#include <vector>

namespace dbtest {

struct Point {
    double x = 0;
    double y = 0;
};

struct SvgPage {
    double width = 0;  // the first page's size, in points
    double height = 0;
    std::vector<std::vector<Point>> paths; // the points of each path, in drawing order
    struct Text {
        Point at;
        std::string lines; // the text's lines joined by line feeds
    };
    std::vector<Text> texts;
};

struct Box {
    double left, top, right, bottom; // points, top < bottom
    bool Holds(Point p, double slack) const
    {
        return p.x >= left - slack && p.x <= right + slack && p.y >= top - slack && p.y <= bottom + slack;
    }
};

// The paths and texts of all pages of vsd2xhtml's output, in its order.
SvgPage ParseSvg(const std::string& html);

// Whether a closed four-sided path has the bounds of `box`, to the precision
// that vsd2xhtml writes.
bool HasRectangle(const SvgPage& page, const Box& box);

// The first text whose lines are exactly `lines`; null when none.
const SvgPage::Text* TextOf(const SvgPage& page, const std::string& lines);

} // namespace dbtest
