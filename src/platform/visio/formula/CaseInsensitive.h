#pragma once

#include <string_view>

namespace visio::formula {

// Formula words (function names, units, TRUE) compare without regard to ASCII case.
inline bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

} // namespace visio::formula
