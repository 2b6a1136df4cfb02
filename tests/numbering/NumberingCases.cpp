#include "numbering/NumberingCases.h"

#include "model/Utils.h"

namespace numberingtest {

std::vector<visio::Shape> DrawAll(Drawing& drawing, const std::vector<Placed>& shapes)
{
    std::vector<visio::Shape> drawn;
    for (const Placed& p : shapes) {
        visio::Shape shape = drawing.Drop(p.master, p.page, p.pinX, p.pinY);
        if (p.name != nullptr)
            WriteProperty(shape, 1, p.name);
        if (p.number != nullptr)
            WriteProperty(shape, 0, p.number);
        if (p.copyFlag != nullptr)
            WriteProperty(shape, 6, p.copyFlag);
        drawn.push_back(shape);
    }
    return drawn;
}

} // namespace numberingtest
