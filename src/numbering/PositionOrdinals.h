#pragma once

// Ordinals by position: columns from left to right, each column from top to
// bottom, as the numbering of a page gives them.

#include <vector>

// A shape's position keys: the integer parts of its pin x and pin y formulas.
struct PositionKeys {
    int x = 0;
    int y = 0;
};

// The ordinal of each entry of `keys`, in the same order: one plus the number of
// other entries with a smaller x, plus the number of other entries with the same x
// and a greater or equal y. Entries whose two keys are both equal therefore share
// the highest ordinal of their group. O(n log n).
std::vector<int> OrdinalsByPosition(const std::vector<PositionKeys>& keys);
