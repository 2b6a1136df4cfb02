// The session: open documents, their windows, the selection, and saving.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/visio/builtin/BuiltinPackages.h"
#include "platform/visio/detail/CellAccess.h"
#include "platform/visio/detail/Internal.h"
#include "platform/visio/detail/SelectionLookup.h"
#include "platform/visio/detail/WindowState.h"

#ifndef KALEMAR_DEFAULT_STENCIL_DIR
#define KALEMAR_DEFAULT_STENCIL_DIR ""
#endif

namespace fs = std::filesystem;

namespace visio {

using detail::ApplicationData;
using detail::DocumentData;
using detail::SheetContainer;
using detail::WindowData;

namespace detail {

std::unique_ptr<Package> packageFromParts(const builtin::PartList& parts) {
    std::unique_ptr<Package> package = Package::create();
    for (const auto& [name, bytes] : parts)
        package->write(name, bytes);
    return package;
}

namespace {

const char* const kOpenableExtensions[] = {".vssx", ".vsdx", ".vsdm", ".vstx", ".vssm", ".vstm"};

// A file that is a Visio drawing in another format gets a message that says so.
void refuseOtherFormats(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw VisioError(path + ": cannot open the file (" + std::string(std::strerror(errno)) + ")");
    char head[8] = {};
    in.read(head, sizeof head);
    std::string start(head, static_cast<size_t>(in.gcount()));
    if (start.size() >= 4 && static_cast<unsigned char>(start[0]) == 0xD0 && static_cast<unsigned char>(start[1]) == 0xCF)
        throw VisioError(path + ": a binary Visio drawing (.vsd/.vss) is not supported; save it as .vsdx");
    if (start.rfind("<?xml", 0) == 0 || start.rfind("<Visio", 0) == 0 ||
        start.rfind("\xEF\xBB\xBF<", 0) == 0)
        throw VisioError(path + ": a Visio XML drawing (.vdx/.vsx/.vtx) is not supported; save it as .vsdx");
}

} // namespace

DocumentData* ApplicationData::openFile(const std::string& path, bool stencil) {
    refuseOtherFormats(path);
    std::unique_ptr<DocumentData> doc = loadDocument(Package::open(path), path, this);
    doc->path = fs::absolute(path).lexically_normal().string();
    doc->name = fs::path(path).filename().string();
    if (stencil)
        doc->stencil = true;
    documents.push_back(std::move(doc));
    return documents.back().get();
}

DocumentData* ApplicationData::createBlank() {
    std::string name = "Drawing" + std::to_string(++newDrawings);
    std::unique_ptr<DocumentData> doc = loadDocument(packageFromParts(builtin::blankDrawingParts()), name, this);
    doc->isNew = true;
    doc->cleanRevision = doc->package->revision();
    documents.push_back(std::move(doc));
    return documents.back().get();
}

DocumentData* ApplicationData::findByBaseName(const std::string& name) const {
    std::string wanted = baseNameOf(name);
    for (const auto& d : documents)
        if (baseNameOf(d->name) == wanted)
            return d.get();
    return nullptr;
}

std::optional<std::string> ApplicationData::findStencilFile(const std::string& name) const {
    std::string wanted = baseNameOf(name);
    for (const std::string& folder : stencilFolders) {
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
            std::string ext = e.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
            bool openable = std::any_of(std::begin(kOpenableExtensions), std::end(kOpenableExtensions),
                                        [&](const char* x) { return ext == x; });
            if (openable && baseNameOf(e.path().string()) == wanted)
                return e.path().string();
        }
    }
    return std::nullopt;
}

WindowData* ApplicationData::windowOf(const DocumentData* doc) const {
    for (const auto& w : windows)
        if (w->doc == doc)
            return w.get();
    return nullptr;
}

WindowData* ApplicationData::addWindow(DocumentData* doc, SheetContainer* page) {
    auto w = std::make_unique<WindowData>();
    w->doc = doc;
    w->page = page;
    windows.push_back(std::move(w));
    return windows.back().get();
}

} // namespace detail

namespace {

// The page that the drawing's own window state marks, else the first.
SheetContainer* initialPage(DocumentData& doc, const std::string& wanted) {
    if (doc.pages.empty())
        throw VisioError(doc.fileLabel() + " has no pages");
    if (!wanted.empty()) {
        bool numeric = std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); });
        for (auto& p : doc.pages)
            if (wanted == p->entry.attribute("Name").value() || wanted == p->entry.attribute("NameU").value())
                return p.get();
        if (numeric) {
            size_t index = std::stoul(wanted);
            if (index >= 1 && index <= doc.pages.size())
                return doc.pages[index - 1].get();
        }
        throw VisioError(doc.fileLabel() + " has no page '" + wanted + "'");
    }
    int marked = detail::markedPageId(doc);
    for (auto& p : doc.pages)
        if (p->id() == marked)
            return p.get();
    return doc.pages.front().get();
}

std::string freeDrawingPath(const std::string& folder, std::vector<std::string>& taken) {
    for (int n = 1;; ++n) {
        fs::path p = fs::path(folder) / ("Drawing" + std::to_string(n) + ".vsdx");
        if (!fs::exists(p) && std::find(taken.begin(), taken.end(), p.string()) == taken.end()) {
            taken.push_back(p.string());
            return p.string();
        }
    }
}

// Asks Visio to recalculate the whole document when it next opens it.
void requestRecalculation(DocumentData& doc) {
    static const char* const customPart = "/docProps/custom.xml";
    std::unique_ptr<XmlPart> custom;
    if (doc.package->has(customPart)) {
        custom = doc.parsePart(customPart);
    } else {
        custom = XmlPart::create("Properties");
        pugi::xml_node r = custom->root();
        r.append_attribute("xmlns") = "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
        r.append_attribute("xmlns:vt") = "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
        addRelationship(*doc.package, "/", detail::kRelCustomProps, customPart);
        setContentTypeOverride(*doc.package, customPart, detail::kTypeCustomProps);
    }
    pugi::xml_node root = custom->root();
    int pid = 1;
    for (pugi::xml_node p : root.children("property")) {
        if (std::string_view(p.attribute("name").value()) == "RecalcDocument")
            return;
        pid = std::max(pid, p.attribute("pid").as_int() + 1);
    }
    pid = std::max(pid, 2);
    pugi::xml_node p = root.append_child("property");
    p.append_attribute("fmtid") = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
    p.append_attribute("pid") = pid;
    p.append_attribute("name") = "RecalcDocument";
    p.append_child("vt:bool").append_child(pugi::node_pcdata).set_value("true");
    doc.package->write(customPart, custom->serialize());
}

} // namespace

Application::Application(const SessionOptions& options) : data_(std::make_unique<ApplicationData>()) {
    data_->stencilFolders = options.stencilFolders.empty() ? DefaultStencilFolders() : options.stencilFolders;
    DocumentData* drawing = nullptr;
    if (options.drawingPath.empty()) {
        drawing = data_->createBlank();
        data_->firstDrawingFolder = fs::current_path().string();
    } else {
        drawing = data_->openFile(options.drawingPath, false);
        if (drawing->stencil)
            throw VisioError(options.drawingPath + " is a stencil, not a drawing");
        data_->firstDrawingFolder = fs::path(drawing->path).parent_path().string();
    }
    if (!options.newDrawingFolder.empty())
        data_->firstDrawingFolder = options.newDrawingFolder;
    WindowData* window = data_->addWindow(drawing, initialPage(*drawing, options.page));
    data_->activeWindow = window;
    for (const std::string& key : options.selection)
        window->selection.push_back(detail::shapeToSelect(window->page, key));

    // The bundled stencils are open in every session.
    for (const char* stencil : {"kalemar", "entity_m"})
        if (std::optional<std::string> path = data_->findStencilFile(stencil))
            data_->openFile(*path, true);
}

Application::~Application() = default;

Document Application::ActiveDocument() const { return Document(data_->activeWindow->doc); }

Window Application::ActiveWindow() const {
    Window w;
    w.app_ = data_.get();
    w.window_ = data_->activeWindow;
    return w;
}

Page Application::ActivePage() const { return Page(data_->activeWindow->page); }

Documents Application::GetDocuments() const {
    Documents d;
    d.app_ = data_.get();
    return d;
}

Master Application::ConnectorToolDataObject() const {
    if (!data_->connectorStencil) {
        data_->connectorStencil = detail::loadDocument(
            detail::packageFromParts(builtin::connectorStencilParts()), "Connector", data_.get());
        data_->connectorStencil->stencil = true;
    }
    for (auto& m : data_->connectorStencil->masters)
        if (std::string_view(m->entry.attribute("NameU").value()) == "Dynamic connector")
            return Master(m.get());
    throw VisioError("The built-in connector stencil has no 'Dynamic connector' master");
}

std::vector<std::string> Application::SaveChangedDocuments() {
    std::vector<std::string> written;
    std::vector<std::string> taken;
    for (auto& doc : data_->documents) {
        if (doc->stencil || (!doc->changed() && !doc->alwaysSave))
            continue;
        if (WindowData* window = data_->windowOf(doc.get()))
            detail::markShownPage(*doc, window->page->id());
        doc->flushParts();
        if (doc->needsRecalcOnOpen)
            requestRecalculation(*doc);
        std::string path = doc->isNew ? freeDrawingPath(data_->firstDrawingFolder, taken) : doc->path;
        doc->package->save(path);
        doc->cleanRevision = doc->package->revision();
        doc->alwaysSave = false;
        if (doc->isNew) {
            doc->isNew = false;
            doc->path = path;
            doc->name = fs::path(path).filename().string();
        }
        written.push_back(path);
    }
    return written;
}

std::vector<std::string> Application::DefaultStencilFolders() {
    std::vector<std::string> folders;
    if (const char* env = std::getenv("KALEMAR_STENCIL_PATH")) {
        std::string list = env;
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(':', start);
            std::string item = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!item.empty())
                folders.push_back(item);
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return folders;
    folders.push_back((exe.parent_path() / "stencils").string());
    folders.push_back((exe.parent_path().parent_path() / "share" / "kalemar" / "stencils").string());
    // A program run from its build folder finds the stencils the build packed;
    // an installed one, wherever it was installed or moved, never looks there.
    if (*KALEMAR_DEFAULT_STENCIL_DIR) {
        fs::path buildTree = fs::weakly_canonical(fs::path(KALEMAR_DEFAULT_STENCIL_DIR).parent_path(), ec);
        fs::path fromBuild = exe.lexically_relative(buildTree);
        if (!ec && !fromBuild.empty() && *fromBuild.begin() != "..")
            folders.push_back(KALEMAR_DEFAULT_STENCIL_DIR);
    }
    return folders;
}

// ---- Documents, windows, selection ----

int Documents::Count() const { return static_cast<int>(app_->documents.size()); }

Document Documents::Item(int index) const {
    if (index < 1 || static_cast<size_t>(index) > app_->documents.size())
        throw VisioError("There is no document " + std::to_string(index));
    return Document(app_->documents[static_cast<size_t>(index - 1)].get());
}

Document Documents::Item(const std::string& name) const {
    if (DocumentData* d = app_->findByBaseName(name))
        return Document(d);
    throw VisioError("No open document is named '" + name + "'");
}

Document Documents::OpenEx(const std::string& name, int /*flags*/) {
    // A path names that very file: an open document counts only when it is
    // the same file, whatever the names of the others.
    if (name.find('/') != std::string::npos) {
        std::string path = fs::absolute(name).lexically_normal().string();
        for (const auto& d : app_->documents)
            if (d->path == path)
                return Document(d.get());
        return Document(app_->openFile(name, false));
    }
    if (DocumentData* d = app_->findByBaseName(name))
        return Document(d);
    if (std::optional<std::string> path = app_->findStencilFile(name))
        return Document(app_->openFile(*path, true));
    if (fs::exists(name))
        return Document(app_->openFile(name, false));
    throw VisioError("Cannot find '" + name + "' in the stencil folders or as a file");
}

Document Documents::AddEx(const std::string& templateName, int /*measurementSystem*/, int /*flags*/) {
    if (!templateName.empty())
        throw VisioError("Templates are not supported: a new drawing starts blank ('" + templateName + "' given)");
    DocumentData* d = app_->createBlank();
    d->alwaysSave = true;
    app_->activeWindow = app_->addWindow(d, d->pages.front().get());
    return Document(d);
}

Selection Window::GetSelection() const {
    if (!window_)
        throw VisioError("There is no active window");
    Selection s;
    s.app_ = app_;
    s.window_ = window_;
    return s;
}

Page Window::GetPage() const {
    if (!window_)
        throw VisioError("There is no active window");
    return Page(static_cast<const WindowData*>(window_)->page);
}

void Window::SetPage(const Page& page) {
    if (!window_)
        throw VisioError("There is no active window");
    auto* window = const_cast<WindowData*>(static_cast<const WindowData*>(window_));
    SheetContainer* shown = detail::ApplicationData::containerOf(page);
    if (!shown || shown->doc != window->doc)
        throw VisioError("The window shows " + window->doc->name + ", which has no such page");
    window->showPage(shown);
}

Document Window::GetDocument() const {
    if (!window_)
        throw VisioError("There is no active window");
    return Document(static_cast<const WindowData*>(window_)->doc);
}

int Selection::Count() const { return static_cast<int>(static_cast<const WindowData*>(window_)->selection.size()); }

Shape Selection::Item(int index) const {
    const auto& sel = static_cast<const WindowData*>(window_)->selection;
    if (index < 1 || static_cast<size_t>(index) > sel.size())
        throw VisioError("The selection has no shape " + std::to_string(index));
    return sel[static_cast<size_t>(index - 1)];
}

} // namespace visio
