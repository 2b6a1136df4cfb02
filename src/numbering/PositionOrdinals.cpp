#include "numbering/PositionOrdinals.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace {

// Left to right; within a column, y grows upwards, so the highest comes first.
bool comesBefore(const PositionKeys& a, const PositionKeys& b)
{
    if (a.x != b.x)
        return a.x < b.x;
    return a.y > b.y;
}

bool samePlace(const PositionKeys& a, const PositionKeys& b)
{
    return a.x == b.x && a.y == b.y;
}

} // namespace

std::vector<int> OrdinalsByPosition(const std::vector<PositionKeys>& keys)
{
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&keys](std::size_t a, std::size_t b) { return comesBefore(keys[a], keys[b]); });

    // In this order, everything up to the end of a shape's group of equal keys is
    // either left of it, above it in its column, or at its very place: the count of
    // those is its ordinal.
    std::vector<int> ordinals(keys.size());
    std::size_t groupStart = 0;
    while (groupStart < order.size()) {
        std::size_t groupEnd = groupStart + 1;
        while (groupEnd < order.size() && samePlace(keys[order[groupStart]], keys[order[groupEnd]]))
            ++groupEnd;
        for (std::size_t i = groupStart; i < groupEnd; ++i)
            ordinals[order[i]] = static_cast<int>(groupEnd);
        groupStart = groupEnd;
    }
    return ordinals;
}
