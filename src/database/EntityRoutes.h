#pragma once

// Where the connectors of the entity diagram run: right-angled routes that
// leave and enter at the glued connection points, run through the gaps
// between the columns and the channels between the rows of entities, never
// across an entity, and carry their label beside them where it can be read;
// a table that refers to itself gets a small loop. Plain geometry in page
// inches, y upwards; writing the routes into the drawing is the caller's.

#include <cstddef>
#include <vector>

namespace diagram {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;

    double Width() const { return right - left; }
    double Height() const { return top - bottom; }
    // True when the open rectangles share area; touching edges do not count.
    bool Overlaps(const Rect& other) const;
    // The smallest rectangle that holds both.
    Rect United(const Rect& other) const;
};

// An entity as drawn: its box and its place in the rows of three.
struct EntityBox {
    Rect box;
    int row = 0;    // 0 is the top row
    int column = 0; // 0 to 2, left to right
};

// A connector to route, between the entities `from` and `to` (indices into
// the boxes; equal for a table that refers to itself), from `begin` to `end`,
// its glued points on the entities' left edges.
struct Link {
    std::size_t from = 0;
    std::size_t to = 0;
    Point begin;
    Point end;
    double labelWidth = 0;
    double labelHeight = 0;
};

struct Route {
    std::vector<Point> points; // begin first, end last; each step horizontal or vertical
    Rect label;                // where the label stands
};

// One route per link, in the links' order. Connectors that share a gap or a
// channel get lanes of their own in it, evenly spread.
std::vector<Route> RouteLinks(const std::vector<EntityBox>& boxes, const std::vector<Link>& links);

// The rectangle that holds every box, every route and every label.
Rect DiagramBounds(const std::vector<EntityBox>& boxes, const std::vector<Route>& routes);

} // namespace diagram
