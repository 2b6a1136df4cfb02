#include "LibvisioSvg.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <utility>

namespace dbtest {

namespace {

std::string unescapeXml(std::string text)
{
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        text = std::regex_replace(text, std::regex(entity), character);
    return text;
}

} // namespace

SvgPage ParseSvg(const std::string& html)
{
    SvgPage page;
    std::smatch size;
    const std::regex viewBox(R"re(<svg:svg [^>]*viewBox="0 0 ([0-9.]+) ([0-9.]+)")re");
    if (std::regex_search(html, size, viewBox)) {
        page.width = std::stod(size[1]);
        page.height = std::stod(size[2]);
    }
    const std::regex path(R"re(<svg:path d="([^"]*)")re");
    const std::regex point(R"([ML](-?[0-9.]+),(-?[0-9.]+))");
    for (std::sregex_iterator it(html.begin(), html.end(), path), end; it != end; ++it) {
        const std::string d = (*it)[1];
        std::vector<Point> points;
        for (std::sregex_iterator p(d.begin(), d.end(), point); p != end; ++p)
            points.push_back({std::stod((*p)[1]), std::stod((*p)[2])});
        page.paths.push_back(points);
    }
    const std::regex text(R"re(<svg:text x="(-?[0-9.]+)" y="(-?[0-9.]+)">([\s\S]*?)</svg:text>)re");
    const std::regex span(R"(<svg:tspan[^>]*>\n?([^<]*)</svg:tspan>)");
    for (std::sregex_iterator it(html.begin(), html.end(), text), end; it != end; ++it) {
        SvgPage::Text found{{std::stod((*it)[1]), std::stod((*it)[2])}, ""};
        const std::string inner = (*it)[3];
        for (std::sregex_iterator s(inner.begin(), inner.end(), span); s != end; ++s)
            found.lines += (found.lines.empty() ? "" : "\n") + unescapeXml((*s)[1]);
        page.texts.push_back(found);
    }
    return page;
}

bool HasRectangle(const SvgPage& page, const Box& box)
{
    constexpr double slack = 0.01; // vsd2xhtml writes four decimals of a point
    for (const std::vector<Point>& points : page.paths) {
        if (points.size() != 5)
            continue;
        Box found{1e9, 1e9, -1e9, -1e9};
        for (const Point& p : points)
            found = {std::min(found.left, p.x), std::min(found.top, p.y), std::max(found.right, p.x),
                     std::max(found.bottom, p.y)};
        if (std::abs(found.left - box.left) < slack && std::abs(found.right - box.right) < slack &&
            std::abs(found.top - box.top) < slack && std::abs(found.bottom - box.bottom) < slack)
            return true;
    }
    return false;
}

const SvgPage::Text* TextOf(const SvgPage& page, const std::string& lines)
{
    for (const SvgPage::Text& text : page.texts)
        if (text.lines == lines)
            return &text;
    return nullptr;
}

} // namespace dbtest
