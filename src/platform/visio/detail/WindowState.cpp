#include "platform/visio/detail/WindowState.h"

#include <cstring>
#include <optional>

namespace visio::detail {

namespace {

pugi::xml_node drawingWindow(const XmlPart& windows) {
    for (pugi::xml_node w : windows.root().children("Window"))
        if (std::strcmp(w.attribute("WindowType").value(), "Drawing") == 0)
            return w;
    return {};
}

std::optional<std::string> windowsPartOf(const DocumentData& doc) {
    std::optional<std::string> part = findRelatedPart(*doc.package, doc.documentPart, kRelWindows);
    if (part && !doc.package->has(*part))
        return std::nullopt;
    return part;
}

pugi::xml_node documentSettings(const DocumentData& doc) { return doc.document->root().child("DocumentSettings"); }

} // namespace

int markedPageId(const DocumentData& doc) {
    if (std::optional<std::string> part = windowsPartOf(doc)) {
        std::unique_ptr<XmlPart> windows = doc.parsePart(*part);
        pugi::xml_attribute page = drawingWindow(*windows).attribute("Page");
        if (page)
            return page.as_int(-1);
    }
    return documentSettings(doc).attribute("TopPage").as_int(-1);
}

void markShownPage(DocumentData& doc, int pageId) {
    if (std::optional<std::string> part = windowsPartOf(doc)) {
        std::unique_ptr<XmlPart> windows = doc.parsePart(*part);
        pugi::xml_attribute page = drawingWindow(*windows).attribute("Page");
        if (page && page.as_int(-1) != pageId) {
            page = pageId;
            doc.package->write(*part, windows->serialize());
        }
    }
    pugi::xml_attribute top = documentSettings(doc).attribute("TopPage");
    if (top && top.as_int(-1) != pageId) {
        top = pageId;
        doc.markDirty(doc.documentPart, doc.document.get());
    }
}

} // namespace visio::detail
