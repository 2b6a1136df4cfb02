// The routes of the entity diagram's connectors, as plain geometry: every
// route starts and ends on its glued points, runs at right angles, leaves and
// enters from the left, never crosses an entity, and its label stands clear
// of the entities and of the other labels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "database/EntityRoutes.h"

namespace {

using diagram::EntityBox;
using diagram::Link;
using diagram::Point;
using diagram::Rect;
using diagram::Route;

constexpr double EntityWidth = 55 / 25.4;
constexpr double PointBelowTop = 1.75 / 25.4;

// Entities as the diagram draws them: rows of three, 3 inches apart, centred
// on (1, 1), (4, 1), (7, 1), (1, -2), ...
std::vector<EntityBox> gridOf(const std::vector<double>& heights)
{
    std::vector<EntityBox> boxes;
    for (std::size_t i = 0; i < heights.size(); ++i) {
        EntityBox box;
        box.row = static_cast<int>(i / 3);
        box.column = static_cast<int>(i % 3);
        const double x = 1 + 3.0 * box.column;
        const double y = 1 - 3.0 * box.row;
        box.box = {x - EntityWidth / 2, y - heights[i] / 2, x + EntityWidth / 2, y + heights[i] / 2};
        boxes.push_back(box);
    }
    return boxes;
}

// Connection point row 8: the left edge, 1.75 mm below the top.
Point pointOf(const EntityBox& box)
{
    return {box.box.left, box.box.top - PointBelowTop};
}

Link linkOf(const std::vector<EntityBox>& boxes, std::size_t from, std::size_t to, std::size_t labelCharacters = 16)
{
    Link link;
    link.from = from;
    link.to = to;
    link.begin = pointOf(boxes[from]);
    link.end = pointOf(boxes[to]);
    link.labelWidth = 0.15 + 0.067 * static_cast<double>(labelCharacters);
    link.labelHeight = 0.21;
    return link;
}

// True when the segment passes through the inside of the box (running along
// its edge or ending on it does not count).
bool crosses(Point a, Point b, const Rect& box)
{
    const double left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const double bottom = std::min(a.y, b.y), top = std::max(a.y, b.y);
    constexpr double e = 1e-9;
    const bool xInside = left == right ? box.left + e < left && left < box.right - e
                                       : left < box.right - e && right > box.left + e;
    const bool yInside = bottom == top ? box.bottom + e < bottom && bottom < box.top - e
                                       : bottom < box.top - e && top > box.bottom + e;
    return xInside && yInside;
}

void expectReadableRoute(const std::vector<EntityBox>& boxes, const Link& link, const Route& route)
{
    ASSERT_GE(route.points.size(), 3u);
    EXPECT_EQ(route.points.front().x, link.begin.x);
    EXPECT_EQ(route.points.front().y, link.begin.y);
    EXPECT_EQ(route.points.back().x, link.end.x);
    EXPECT_EQ(route.points.back().y, link.end.y);
    for (std::size_t i = 1; i < route.points.size(); ++i) {
        const Point a = route.points[i - 1], b = route.points[i];
        EXPECT_TRUE(a.x == b.x || a.y == b.y) << "step " << i << " is not at a right angle";
        for (std::size_t k = 0; k < boxes.size(); ++k)
            EXPECT_FALSE(crosses(a, b, boxes[k].box)) << "step " << i << " crosses entity " << k;
    }
    // Out of the left edge and back into it, as connection point 8 faces.
    const std::size_t n = route.points.size();
    EXPECT_LT(route.points[1].x, link.begin.x);
    EXPECT_EQ(route.points[1].y, link.begin.y);
    EXPECT_LT(route.points[n - 2].x, link.end.x);
    EXPECT_EQ(route.points[n - 2].y, link.end.y);
    EXPECT_NEAR(route.label.Width(), link.labelWidth, 1e-12);
    EXPECT_NEAR(route.label.Height(), link.labelHeight, 1e-12);
    for (std::size_t k = 0; k < boxes.size(); ++k)
        EXPECT_FALSE(route.label.Overlaps(boxes[k].box)) << "the label covers entity " << k;
}

struct Case {
    const char* what;
    std::vector<double> heights;
    std::vector<std::pair<std::size_t, std::size_t>> links;
};

std::vector<Case> cases()
{
    const double small = 0.8, large = 2.4;
    return {
        {"across a row", {small, small, small}, {{1, 0}, {0, 2}, {2, 0}}},
        {"down a row and across", {small, large, small, small, small}, {{0, 4}, {1, 3}}},
        {"up two rows and across", {small, small, small, small, small, small, large}, {{6, 2}, {6, 1}}},
        {"up and down one column", {small, small, small, large, small, small, small}, {{3, 0}, {0, 6}, {6, 3}}},
        {"into the last row, partly filled", {small, small, small, small}, {{2, 3}, {3, 2}, {1, 3}}},
        {"many to one, twice each", std::vector<double>(9, large),
         {{1, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {8, 0}}},
        {"one table only, referring to itself", {small}, {{0, 0}}},
        {"self references among others", {small, large, small, small}, {{1, 1}, {1, 0}, {3, 3}, {3, 1}}},
        // Boxes taller than the pitch leave no channel between the rows: the
        // route takes the open channel above the top row instead.
        {"rows without room between them", {3.2, 3.2, 3.2, 3.2, 3.2, 3.2}, {{4, 0}, {3, 2}, {5, 1}}},
    };
}

TEST(EntityRoutes, EveryRouteIsReadableAndCrossesNoEntity)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const std::vector<EntityBox> boxes = gridOf(c.heights);
        std::vector<Link> links;
        for (const auto& [from, to] : c.links)
            links.push_back(linkOf(boxes, from, to));
        const std::vector<Route> routes = diagram::RouteLinks(boxes, links);
        ASSERT_EQ(routes.size(), links.size());
        for (std::size_t i = 0; i < routes.size(); ++i) {
            SCOPED_TRACE("link " + std::to_string(i));
            expectReadableRoute(boxes, links[i], routes[i]);
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(routes[i].label.Overlaps(routes[j].label)) << "labels " << j << " and " << i;
        }
    }
}

// Two connectors between the same entities run apart, each with its label.
TEST(EntityRoutes, ConnectorsBetweenTheSameEntitiesGetLanesOfTheirOwn)
{
    const std::vector<EntityBox> boxes = gridOf({0.8, 0.8, 0.8, 0.8});
    const std::vector<Link> links = {linkOf(boxes, 3, 1), linkOf(boxes, 3, 1)};
    const std::vector<Route> routes = diagram::RouteLinks(boxes, links);
    ASSERT_EQ(routes.size(), 2u);
    ASSERT_EQ(routes[0].points.size(), routes[1].points.size());
    for (std::size_t i = 1; i + 1 < routes[0].points.size(); ++i) {
        const bool sameBend = routes[0].points[i].x == routes[1].points[i].x &&
                              routes[0].points[i].y == routes[1].points[i].y;
        EXPECT_FALSE(sameBend) << "bend " << i;
    }
}

// A table that refers to itself gets a loop that leaves its point and comes
// back to it, with some room inside, left of the entity.
TEST(EntityRoutes, ASelfReferenceIsASmallLoopBesideItsEntity)
{
    const std::vector<EntityBox> boxes = gridOf({0.8, 0.8});
    const std::vector<Route> routes = diagram::RouteLinks(boxes, {linkOf(boxes, 1, 1)});
    ASSERT_EQ(routes.size(), 1u);
    Rect extent{1e9, 1e9, -1e9, -1e9};
    for (const Point& p : routes[0].points)
        extent = extent.United({p.x, p.y, p.x, p.y});
    EXPECT_GE(routes[0].points.size(), 6u);
    EXPECT_GT(extent.Width(), 0.2);
    EXPECT_GT(extent.Height(), 0.1);
    EXPECT_LE(extent.right, boxes[1].box.left);
    EXPECT_GT(extent.left, boxes[0].box.right) << "the loop stays in the gap between the columns";
}

// Everything drawn lies inside the bounds, and each of their edges is
// touched by something drawn, so a page made from them wastes no room.
TEST(EntityRoutes, TheBoundsHoldBoxesRoutesAndLabelsTightly)
{
    const std::vector<EntityBox> boxes = gridOf({0.8, 0.8, 0.8, 0.8});
    const std::vector<Link> links = {linkOf(boxes, 3, 2), linkOf(boxes, 0, 0, 40)};
    const std::vector<Route> routes = diagram::RouteLinks(boxes, links);
    const Rect bounds = diagram::DiagramBounds(boxes, routes);
    std::vector<Rect> drawn;
    for (const EntityBox& box : boxes)
        drawn.push_back(box.box);
    for (const Route& route : routes) {
        drawn.push_back(route.label);
        for (const Point& p : route.points)
            drawn.push_back({p.x, p.y, p.x, p.y});
    }
    for (const Rect& r : drawn)
        EXPECT_TRUE(r.left >= bounds.left && r.right <= bounds.right && r.bottom >= bounds.bottom && r.top <= bounds.top);
    auto touches = [&](auto edge) { return std::any_of(drawn.begin(), drawn.end(), edge); };
    EXPECT_TRUE(touches([&](const Rect& r) { return r.left == bounds.left; }));
    EXPECT_TRUE(touches([&](const Rect& r) { return r.right == bounds.right; }));
    EXPECT_TRUE(touches([&](const Rect& r) { return r.bottom == bounds.bottom; }));
    EXPECT_TRUE(touches([&](const Rect& r) { return r.top == bounds.top; }));
    EXPECT_LT(bounds.left, boxes[0].box.left) << "the routes leave the grid on the left";
    EXPECT_GT(bounds.top, boxes[0].box.top) << "the self-reference's label stands above its entity";
}

} // namespace
