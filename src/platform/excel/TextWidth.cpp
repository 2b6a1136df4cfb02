#include "platform/excel/TextWidth.h"

#include <algorithm>

namespace excel {

namespace {

constexpr double DefaultWidth = 8.43;
constexpr double WidestColumn = 255;
// Room for the filter button the header cells carry, and a margin.
constexpr double Margin = 3;
constexpr double BoldWidening = 1.1;

bool continuesCharacter(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

std::size_t LongestLineLength(const std::string& utf8)
{
    std::size_t longest = 0;
    std::size_t line = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(utf8[i]);
        if (byte == '\n' || byte == '\r') {
            longest = std::max(longest, line);
            line = 0;
        } else if (!continuesCharacter(byte)) {
            ++line;
        }
    }
    return std::max(longest, line);
}

std::size_t LineCount(const std::string& utf8)
{
    std::size_t lines = 1;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' || (utf8[i] == '\r' && (i + 1 == utf8.size() || utf8[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

double ColumnWidthFor(std::size_t characters, bool bold)
{
    const double width = static_cast<double>(characters) * (bold ? BoldWidening : 1.0) + Margin;
    return std::clamp(width, DefaultWidth, WidestColumn);
}

} // namespace excel
