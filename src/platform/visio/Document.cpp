// Document, page and master collections.

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/visio/detail/Internal.h"

namespace visio {

using detail::DocumentData;
using detail::SheetContainer;

namespace {

DocumentData* docOf(DocumentData* d) {
    if (!d)
        throw VisioError("The document reference holds no document");
    return d;
}

std::string freePagePartName(const DocumentData& doc) {
    for (int n = 1;; ++n) {
        std::string name = "/visio/pages/page" + std::to_string(n) + ".xml";
        if (!doc.package->has(name))
            return name;
    }
}

std::string freePageName(const DocumentData& doc) {
    std::set<std::string> names;
    for (pugi::xml_node p : doc.pagesXml->root().children("Page")) {
        names.insert(p.attribute("NameU").value());
        names.insert(p.attribute("Name").value());
    }
    for (size_t n = doc.pages.size() + 1;; ++n) {
        std::string name = "Page-" + std::to_string(n);
        if (!names.count(name))
            return name;
    }
}

SheetContainer* templatePage(DocumentData& doc) {
    detail::WindowData* w = doc.app ? doc.app->activeWindow : nullptr;
    if (w && w->doc == &doc && w->page)
        return w->page;
    return doc.pages.empty() ? nullptr : doc.pages.front().get();
}

} // namespace

int Pages::Count() const { return static_cast<int>(docOf(doc_)->pages.size()); }

Page Pages::Item(int index) const {
    DocumentData* d = docOf(doc_);
    if (index < 1 || static_cast<size_t>(index) > d->pages.size())
        throw VisioError(d->name + " has no page " + std::to_string(index) + " (it has " +
                         std::to_string(d->pages.size()) + ")");
    return detail::ApplicationData::page(d->pages[static_cast<size_t>(index - 1)].get());
}

Page Pages::ItemByName(const std::string& name) const {
    DocumentData* d = docOf(doc_);
    for (auto& p : d->pages)
        if (name == p->entry.attribute("Name").value() || name == p->entry.attribute("NameU").value())
            return detail::ApplicationData::page(p.get());
    throw VisioError(d->name + " has no page named '" + name + "'");
}

Page Pages::Add() {
    DocumentData* d = docOf(doc_);
    if (d->stencil || !d->pagesXml)
        throw VisioError(d->name + " cannot take pages");
    int id = 0;
    for (auto& p : d->pages)
        id = std::max(id, p->id() + 1);
    std::string partName = freePagePartName(*d);
    std::string name = freePageName(*d);

    auto contents = XmlPart::create("PageContents");
    pugi::xml_node root = contents->root();
    root.append_attribute("xmlns") = detail::kVisioNamespace;
    root.append_attribute("xmlns:r") = detail::kRelNamespace;
    root.append_attribute("xml:space") = "preserve";
    d->package->write(partName, contents->serialize());
    setContentTypeOverride(*d->package, partName, detail::kTypePage);
    std::string rid = addRelationship(*d->package, d->pagesPart, detail::kRelPage, partName);

    pugi::xml_node entry = d->pagesXml->root().append_child("Page");
    entry.append_attribute("ID") = id;
    entry.append_attribute("NameU") = name.c_str();
    entry.append_attribute("Name") = name.c_str();
    if (SheetContainer* model = templatePage(*d))
        if (pugi::xml_node sheet = model->entry.child("PageSheet"))
            entry.append_copy(sheet);
    entry.append_child("Rel").append_attribute("r:id") = rid.c_str();
    d->markDirty(d->pagesPart, d->pagesXml.get());

    auto page = std::make_unique<SheetContainer>();
    page->doc = d;
    page->kind = SheetContainer::Kind::Page;
    page->entry = entry;
    page->partName = partName;
    page->contents = std::move(contents);
    SheetContainer* result = page.get();
    d->pages.push_back(std::move(page));
    result->markChanged();
    // Visio turns the document's window to the page it has just added.
    if (d->app)
        if (detail::WindowData* window = d->app->windowOf(d))
            window->showPage(result);
    return detail::ApplicationData::page(result);
}

int Masters::Count() const { return static_cast<int>(docOf(doc_)->masters.size()); }

Master Masters::Item(int index) const {
    DocumentData* d = docOf(doc_);
    if (index < 1 || static_cast<size_t>(index) > d->masters.size())
        throw VisioError(d->name + " has no master " + std::to_string(index));
    return detail::ApplicationData::master(d->masters[static_cast<size_t>(index - 1)].get());
}

Master Masters::ItemU(const std::string& nameU) const {
    DocumentData* d = docOf(doc_);
    for (auto& m : d->masters)
        if (nameU == m->entry.attribute("NameU").value())
            return detail::ApplicationData::master(m.get());
    throw VisioError(d->name + " has no master '" + nameU + "'");
}

std::string Master::NameU() const {
    if (!data_)
        throw VisioError("The master reference holds no master");
    return data_->entry.attribute("NameU").value();
}

std::string Master::Name() const {
    if (!data_)
        throw VisioError("The master reference holds no master");
    const char* n = data_->entry.attribute("Name").value();
    return *n ? n : NameU();
}

int Master::ID() const {
    if (!data_)
        throw VisioError("The master reference holds no master");
    return data_->id();
}

Document Master::GetDocument() const {
    if (!data_)
        throw VisioError("The master reference holds no master");
    return Document(data_->doc);
}

Shapes Master::GetShapes() const {
    if (!data_)
        throw VisioError("The master reference holds no master");
    Shapes s;
    s.container_ = data_;
    s.parent_ = data_->root().internal_object();
    return s;
}

Pages Document::GetPages() const {
    Pages p;
    p.doc_ = docOf(data_);
    return p;
}

Masters Document::GetMasters() const {
    Masters m;
    m.doc_ = docOf(data_);
    return m;
}

std::string Document::Name() const { return docOf(data_)->name; }
std::string Document::FullName() const { return docOf(data_)->path; }
bool Document::IsStencil() const { return docOf(data_)->stencil; }
bool Document::IsChanged() const { return docOf(data_)->changed(); }

} // namespace visio
