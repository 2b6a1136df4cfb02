#include "platform/visio/package/PartName.h"

#include <vector>

#include "platform/visio/VisioError.h"
#include "platform/visio/package/Package.h"

namespace visio {
namespace pkg {
namespace {

std::vector<std::string_view> splitSegments(std::string_view path) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos)
            slash = path.size();
        segments.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return segments;
}

// The folder segments of a part: "/visio/pages/page1.xml" -> {visio, pages};
// the package itself ("/") and top-level parts have none.
std::vector<std::string_view> folderOf(std::string_view partName) {
    std::size_t slash = partName.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return {};
    return splitSegments(partName.substr(1, slash - 1));
}

// A target such as "http://host/x" or "mailto:x" is a URI, not a part.
bool hasScheme(std::string_view target) {
    std::size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    std::size_t slash = target.find('/');
    return slash == std::string_view::npos || colon < slash;
}

std::string joinSegments(const std::vector<std::string_view>& segments) {
    std::string joined;
    for (std::string_view segment : segments) {
        joined += '/';
        joined += segment;
    }
    return joined;
}

} // namespace

std::optional<std::string> unsafeEntryNameReason(std::string_view entryName) {
    if (entryName.empty())
        return "it is empty";
    if (entryName.front() == '/')
        return "it is absolute";
    for (char c : entryName) {
        if (c == '\\')
            return "it contains a backslash";
        if (c == '\0')
            return "it contains a NUL character";
        if (static_cast<unsigned char>(c) < 0x20)
            return "it contains a control character";
    }
    for (std::string_view segment : splitSegments(entryName)) {
        if (segment == "..")
            return "it climbs out of its folder with '..'";
        if (segment.empty() || segment == ".")
            return "it has an empty or '.' segment";
    }
    return std::nullopt;
}

std::string foldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string entryNameOf(const std::string& partName) {
    if (partName.size() < 2 || partName.front() != '/')
        throw VisioError("'" + partName + "' is not a part name (it must start with '/')");
    std::string entryName = partName.substr(1);
    if (auto reason = unsafeEntryNameReason(entryName))
        throw VisioError("'" + partName + "' is not a safe part name: " + *reason);
    return entryName;
}

} // namespace pkg

std::string relationshipsPartName(const std::string& sourcePart) {
    if (sourcePart.empty() || sourcePart == "/")
        return "/_rels/.rels";
    std::size_t slash = sourcePart.rfind('/');
    if (slash == std::string::npos)
        return "/_rels/" + sourcePart + ".rels";
    return sourcePart.substr(0, slash + 1) + "_rels/" + sourcePart.substr(slash + 1) + ".rels";
}

std::string resolvePartName(const std::string& sourcePart, const std::string& target) {
    std::string_view path(target);
    path = path.substr(0, path.find('#'));
    if (path.empty() || pkg::hasScheme(path))
        throw VisioError("relationship target '" + target + "' of " + sourcePart + " is not a part");
    std::vector<std::string_view> segments;
    if (path.front() != '/')
        segments = pkg::folderOf(sourcePart);
    for (std::string_view segment : pkg::splitSegments(path)) {
        if (segment.empty() || segment == ".")
            continue;
        if (segment != "..") {
            segments.push_back(segment);
            continue;
        }
        if (segments.empty())
            throw VisioError("relationship target '" + target + "' of " + sourcePart +
                             " leaves the package root");
        segments.pop_back();
    }
    if (segments.empty())
        throw VisioError("relationship target '" + target + "' of " + sourcePart + " names no part");
    return pkg::joinSegments(segments);
}

std::string relativeTarget(const std::string& sourcePart, const std::string& partName) {
    if (partName.size() < 2 || partName.front() != '/')
        throw VisioError("'" + partName + "' is not a part name (it must start with '/')");
    std::vector<std::string_view> from = pkg::folderOf(sourcePart);
    std::vector<std::string_view> to = pkg::splitSegments(std::string_view(partName).substr(1));
    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common])
        ++common;
    std::string target;
    for (std::size_t i = common; i < from.size(); ++i)
        target += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        target += to[i];
        if (i + 1 < to.size())
            target += '/';
    }
    return target;
}

} // namespace visio
