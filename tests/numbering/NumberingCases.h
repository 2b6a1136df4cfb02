#pragma once

// Drawings described as tables: which master goes where, with which rows.

#include <string>
#include <vector>

#include "numbering/NumberingDrawing.h"

namespace numberingtest {

// One shape of a case. Null texts leave the master's row as it is; a null
// `expected` means the pass leaves row 0 as it was.
struct Placed {
    int page;
    const char* master;
    const char* pinX;
    const char* pinY;
    const char* name = nullptr;     // property row 1
    const char* number = nullptr;   // property row 0 before the pass
    const char* copyFlag = nullptr; // property row 6
    const char* expected = nullptr; // the text of row 0 after the pass
};

// Draws the shapes in order and returns them.
std::vector<visio::Shape> DrawAll(Drawing& drawing, const std::vector<Placed>& shapes);

} // namespace numberingtest
