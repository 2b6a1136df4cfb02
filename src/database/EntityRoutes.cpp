#include "database/EntityRoutes.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace diagram {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
// A channel between two rows holds lanes stacked from its lower edge: a band
// per connector, the line a little above the band's bottom, the label above
// the line.
constexpr double ChannelPad = 0.08;
constexpr double Band = 0.25;
constexpr double LineLift = 0.04;
constexpr double LabelLift = 0.02;
// The gap left of the first column is as wide as the others, or this wide
// when there is no other.
constexpr double LoneGap = 0.8;
// Lanes in a gap keep this far from the entities on either side.
constexpr double GapMargin = 0.08;
// A label beside a vertical line keeps this far from it.
constexpr double LabelGap = 0.05;
// The loop of a self-reference: out of the point, up, left, down, back.
constexpr double LoopStub = 0.1;
constexpr double LoopWidth = 0.25;
constexpr double LoopHalfHeight = 0.1;

// The vertical strip left of a column, where connectors leave and enter its
// entities; lane 0 lies nearest the entities.
struct Gap {
    double lo = 0;
    double hi = 0;
    int lanes = 0;
    // Lanes keep clear of the entities' edges on both sides.
    double X(int lane) const
    {
        const double margin = std::min(GapMargin, (hi - lo) / 4);
        return hi - margin - (lane + 1) * (hi - lo - 2 * margin) / (lanes + 1);
    }
};

// The horizontal strip above row k (k = 0: above the top row, open upwards;
// k = rows: below the bottom row, open downwards). Lines and the labels of
// connectors that pass through stack from its upper edge, next to the row
// they mostly come from; the labels of loops stack from its lower edge, next
// to the loops on the entities below. An open channel stacks from the grid
// outwards.
struct Channel {
    double bottom = 0;
    double top = 0;
    int slots = 0;      // stacked from the upper edge
    int loopSlots = 0;  // stacked from the lower edge

    bool OpenAbove() const { return top == Infinity; }
    bool OpenBelow() const { return bottom == -Infinity; }
    // Whether one more line and label fit without squeezing the others.
    bool HasRoom() const
    {
        if (OpenAbove() || OpenBelow())
            return true;
        return (slots + loopSlots + 1) * Band <= top - bottom - 2 * ChannelPad;
    }
    double BandHeight() const
    {
        const int used = slots + loopSlots;
        if (OpenAbove() || OpenBelow() || used == 0)
            return Band;
        return std::max(0.0, std::min(Band, (top - bottom - 2 * ChannelPad) / used));
    }
    // Where the line of slot `slot` runs (for a loop's label, its foot).
    double LineY(int slot, bool loop) const
    {
        if (OpenAbove())
            return bottom + ChannelPad + (loop ? slot : loopSlots + slot) * Band + LineLift;
        if (OpenBelow())
            return top - ChannelPad - (slot + 1) * Band + LineLift;
        if (loop)
            return bottom + ChannelPad + slot * BandHeight() + LineLift;
        return top - ChannelPad - (slot + 1) * BandHeight() + LineLift;
    }
};

enum class Kind { Across, SameColumn, Loop };

struct Plan {
    Kind kind = Kind::Across;
    int channel = 0;
    int slot = 0;
    int laneFrom = 0;
    int laneTo = 0;
};

// Vertical lines run only in the gaps, so a label that stands over a column
// of entities, in a channel, crosses none.
struct Grid {
    std::vector<Gap> gaps;
    std::vector<Channel> channels;
    std::vector<double> columnLeft;
    std::vector<double> columnRight;
};

Grid gridOf(const std::vector<EntityBox>& boxes)
{
    int rows = 0;
    int columns = 0;
    for (const EntityBox& b : boxes) {
        rows = std::max(rows, b.row + 1);
        columns = std::max(columns, b.column + 1);
    }
    std::vector<double> rowTop(rows, -Infinity), rowBottom(rows, Infinity);
    std::vector<double> columnLeft(columns, Infinity), columnRight(columns, -Infinity);
    for (const EntityBox& b : boxes) {
        rowTop[b.row] = std::max(rowTop[b.row], b.box.top);
        rowBottom[b.row] = std::min(rowBottom[b.row], b.box.bottom);
        columnLeft[b.column] = std::min(columnLeft[b.column], b.box.left);
        columnRight[b.column] = std::max(columnRight[b.column], b.box.right);
    }
    Grid grid;
    grid.columnLeft = columnLeft;
    grid.columnRight = columnRight;
    const double firstGap = columns > 1 ? columnLeft[1] - columnRight[0] : LoneGap;
    for (int c = 0; c < columns; ++c) {
        Gap gap;
        gap.hi = columnLeft[c];
        gap.lo = c == 0 ? gap.hi - firstGap : columnRight[c - 1];
        // Boxes that overlap leave no gap; the lanes then crowd at the edge.
        gap.lo = std::min(gap.lo, gap.hi - 0.1);
        grid.gaps.push_back(gap);
    }
    for (int k = 0; k <= rows; ++k) {
        Channel channel;
        channel.top = k == 0 ? Infinity : rowBottom[k - 1];
        channel.bottom = k == rows ? -Infinity : rowTop[k];
        grid.channels.push_back(channel);
    }
    return grid;
}

// The channel nearest to `preferred` within [first, last] that has room for
// one more; `preferred` itself when none has.
int channelWithRoom(const Grid& grid, int preferred, int first, int last)
{
    for (int distance = 0; distance <= last - first; ++distance)
        for (int k : {preferred - distance, preferred + distance})
            if (k >= first && k <= last && grid.channels[k].HasRoom())
                return k;
    return preferred;
}

Kind kindOf(const std::vector<EntityBox>& boxes, const Link& link)
{
    if (link.from == link.to)
        return Kind::Loop;
    return boxes.at(link.from).column == boxes.at(link.to).column ? Kind::SameColumn : Kind::Across;
}

// A loop's label stands above its entity; a label of a connector along one
// column stands in a channel its line passes through; a connector from one
// column to another may cross in any channel, the nearest with room first,
// the open ones outside the grid always having room.
Plan planOf(const std::vector<EntityBox>& boxes, const Link& link, Grid& grid)
{
    const EntityBox& a = boxes.at(link.from);
    const EntityBox& b = boxes.at(link.to);
    Plan plan;
    plan.kind = kindOf(boxes, link);
    const int lastChannel = static_cast<int>(grid.channels.size()) - 1;
    switch (plan.kind) {
    case Kind::Loop:
        plan.channel = a.row;
        break;
    case Kind::SameColumn:
        plan.channel = b.row > a.row ? channelWithRoom(grid, a.row + 1, a.row + 1, b.row)
                                     : channelWithRoom(grid, a.row, b.row + 1, a.row);
        plan.laneFrom = grid.gaps[a.column].lanes++;
        break;
    case Kind::Across:
        plan.channel = channelWithRoom(grid, b.row >= a.row ? a.row + 1 : a.row, 0, lastChannel);
        plan.laneFrom = grid.gaps[a.column].lanes++;
        plan.laneTo = grid.gaps[b.column].lanes++;
        break;
    }
    Channel& channel = grid.channels[plan.channel];
    plan.slot = plan.kind == Kind::Loop ? channel.loopSlots++ : channel.slots++;
    return plan;
}

Rect labelAt(double left, double bottom, const Link& link)
{
    return {left, bottom, left + link.labelWidth, bottom + link.labelHeight};
}

Route routeOf(const std::vector<EntityBox>& boxes, const Link& link, const Plan& plan, const Grid& grid)
{
    const Point p = link.begin;
    const Point q = link.end;
    const Channel& channel = grid.channels[plan.channel];
    const double lineY = channel.LineY(plan.slot, plan.kind == Kind::Loop);
    Route route;
    switch (plan.kind) {
    case Kind::Across: {
        const int ca = boxes[link.from].column;
        const int cb = boxes[link.to].column;
        const double xa = grid.gaps[ca].X(plan.laneFrom);
        const double xb = grid.gaps[cb].X(plan.laneTo);
        route.points = {p, {xa, p.y}, {xa, lineY}, {xb, lineY}, {xb, q.y}, q};
        // The line spans every column between the two gaps; the label stands
        // over the one nearest its middle.
        const double middle = (xa + xb) / 2;
        int over = std::min(ca, cb);
        for (int c = std::min(ca, cb); c < std::max(ca, cb); ++c)
            if (std::abs((grid.columnLeft[c] + grid.columnRight[c]) / 2 - middle) <
                std::abs((grid.columnLeft[over] + grid.columnRight[over]) / 2 - middle))
                over = c;
        const double centre = (grid.columnLeft[over] + grid.columnRight[over]) / 2;
        route.label = labelAt(centre - link.labelWidth / 2, lineY + LabelLift, link);
        break;
    }
    case Kind::SameColumn: {
        const int column = boxes[link.from].column;
        const double x = grid.gaps[column].X(plan.laneFrom);
        route.points = {p, {x, p.y}, {x, q.y}, q};
        route.label = labelAt(grid.columnLeft[column] + LabelGap, lineY, link);
        break;
    }
    case Kind::Loop: {
        const double right = p.x - LoopStub;
        const double left = right - LoopWidth;
        const double up = p.y + LoopHalfHeight;
        const double down = p.y - LoopHalfHeight;
        route.points = {p, {right, p.y}, {right, up}, {left, up}, {left, down}, {right, down}, {right, p.y}, p};
        route.label = labelAt(grid.columnLeft[boxes[link.from].column] + LabelGap, std::max(lineY, up + LabelLift), link);
        break;
    }
    }
    return route;
}

} // namespace

bool Rect::Overlaps(const Rect& other) const
{
    return left < other.right && other.left < right && bottom < other.top && other.bottom < top;
}

Rect Rect::United(const Rect& other) const
{
    return {std::min(left, other.left), std::min(bottom, other.bottom), std::max(right, other.right),
            std::max(top, other.top)};
}

std::vector<Route> RouteLinks(const std::vector<EntityBox>& boxes, const std::vector<Link>& links)
{
    Grid grid = gridOf(boxes);
    // The links that can only go one way take their places first.
    std::vector<Plan> plans(links.size());
    for (bool flexible : {false, true})
        for (std::size_t i = 0; i < links.size(); ++i)
            if ((kindOf(boxes, links[i]) == Kind::Across) == flexible)
                plans[i] = planOf(boxes, links[i], grid);
    std::vector<Route> routes;
    routes.reserve(links.size());
    for (std::size_t i = 0; i < links.size(); ++i)
        routes.push_back(routeOf(boxes, links[i], plans[i], grid));
    return routes;
}

Rect DiagramBounds(const std::vector<EntityBox>& boxes, const std::vector<Route>& routes)
{
    Rect bounds{Infinity, Infinity, -Infinity, -Infinity};
    for (const EntityBox& b : boxes)
        bounds = bounds.United(b.box);
    for (const Route& route : routes) {
        bounds = bounds.United(route.label);
        for (const Point& p : route.points)
            bounds = bounds.United({p.x, p.y, p.x, p.y});
    }
    return bounds;
}

} // namespace diagram
