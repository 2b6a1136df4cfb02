#pragma once

// The engine's internal state behind the public handles: documents, their page
// and master parts, windows. Nothing outside src/platform/visio/ includes this.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

#include "platform/visio/Visio.h"
#include "platform/visio/package/Package.h"
#include "platform/visio/package/XmlPart.h"

namespace visio::detail {

inline constexpr const char* kVisioNamespace = "http://schemas.microsoft.com/office/visio/2012/main";
inline constexpr const char* kRelNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kRelDocument = "http://schemas.microsoft.com/visio/2010/relationships/document";
inline constexpr const char* kRelPages = "http://schemas.microsoft.com/visio/2010/relationships/pages";
inline constexpr const char* kRelPage = "http://schemas.microsoft.com/visio/2010/relationships/page";
inline constexpr const char* kRelMasters = "http://schemas.microsoft.com/visio/2010/relationships/masters";
inline constexpr const char* kRelMaster = "http://schemas.microsoft.com/visio/2010/relationships/master";
inline constexpr const char* kRelWindows = "http://schemas.microsoft.com/visio/2010/relationships/windows";
inline constexpr const char* kRelCustomProps =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
inline constexpr const char* kTypePage = "application/vnd.ms-visio.page+xml";
inline constexpr const char* kTypeMaster = "application/vnd.ms-visio.master+xml";
inline constexpr const char* kTypeMasters = "application/vnd.ms-visio.masters+xml";
inline constexpr const char* kTypeCustomProps =
    "application/vnd.openxmlformats-officedocument.custom-properties+xml";

struct DocumentData;
struct ApplicationData;

// A page or a master: the entry in pages.xml / masters.xml and its own part of
// shapes, parsed when first used.
struct FormulaCellList;
struct RowList;
struct SheetContainer;
struct CellAddressSlot;

// What lookups found in one shape's sheet, kept because commands read the
// same cells of many shapes again and again. A shape's entry is dropped when
// a cell, row or section is added to it; what also depends on a master (its
// master shape, its merged rows) is recomputed when any master of the
// document changed since (masterGeneration).
// A few entries by name, searched in a row: a shape's lookups hold a handful
// each, and a hash table would take more room than they do.
template <class Value>
class FewByName {
public:
    Value* find(std::string_view name) {
        for (auto& [key, value] : entries_)
            if (key == name)
                return &value;
        return nullptr;
    }
    Value& add(std::string_view name, Value value) {
        entries_.emplace_back(std::string(name), std::move(value));
        return entries_.back().second;
    }
    void erase(std::string_view name) {
        std::erase_if(entries_, [&](const auto& entry) { return entry.first == name; });
    }
    template <class Predicate>
    void eraseIf(Predicate&& doomed) {
        std::erase_if(entries_, [&](const auto& entry) { return doomed(entry.second); });
    }
    void clear() { entries_.clear(); }

private:
    std::vector<std::pair<std::string, Value>> entries_;
};

struct ShapeLookups {
    // Looked up by a key built on the stack, without making a string of it.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::unordered_map<std::string, pugi::xml_node_struct*, KeyHash, std::equal_to<>> cells; // address key -> own cell
    FewByName<std::shared_ptr<const RowList>> rows;   // section -> merged rows
    FewByName<int> rowKeying;                          // section -> 0 by name, 1 by index, 2 none
    FewByName<std::shared_ptr<const CellAddressSlot>> names; // formula name -> cell
    bool masterKnown = false;
    SheetContainer* masterContainer = nullptr;
    pugi::xml_node_struct* masterNode = nullptr;
    std::uint64_t masterGeneration = 0;
};

struct SheetContainer {
    enum class Kind { Page, Master };
    DocumentData* doc = nullptr;
    Kind kind = Kind::Page;
    pugi::xml_node entry;          // <Page> or <Master>
    std::string partName;          // its contents part; empty for a stencil's page
    std::unique_ptr<XmlPart> contents;
    std::unordered_map<int, pugi::xml_node_struct*> byId;
    int maxId = 0;

    int id() const { return entry.attribute("ID").as_int(); }
    // Parses the contents part on first use; raises VisioError when malformed.
    void load();
    pugi::xml_node root();
    // The top-level <Shapes> element, created when `create` and absent.
    pugi::xml_node topShapes(bool create);
    void indexShape(pugi::xml_node shape);
    void markChanged();
    // A cell of `shape` was written: markChanged, and when the shape is the
    // page sheet (kept in pages.xml or masters.xml), that part changed too.
    void sheetChanged(pugi::xml_node_struct* shape);
    // Shapes were added, removed or reordered: marks the part changed and drops
    // the cached child lists.
    void structureChanged();
    // The Shape children of a <Shapes> element or of a shape's <Shapes>, in
    // order; cached because commands walk them by index.
    const std::vector<pugi::xml_node_struct*>& childrenOf(pugi::xml_node_struct* parent);
    std::unordered_map<pugi::xml_node_struct*, std::vector<pugi::xml_node_struct*>> childCache;
    // Names of the top-level shapes, built when a drop first needs them.
    std::unordered_set<std::string> topNames;
    bool topNamesBuilt = false;
    // The shapes glued to any of `ids` (FromSheet of the Connect records whose
    // ToSheet is one of them), in the order of the records.
    std::vector<int> gluedTo(const std::set<int>& ids);
    // The Connect records by ToSheet: (record's place, FromSheet). Built when
    // first asked for; dropped when a glue changes the records.
    std::unordered_map<int, std::vector<std::pair<std::size_t, int>>> connectsByTarget;
    bool connectsIndexed = false;
    // Master parts this page already has a relationship to.
    std::unordered_set<std::string> relatedMasters;
    bool relatedMastersRead = false;
    std::string label() const;     // "page 'Page-1'" or "master 'Entity'"
    // The formula cells of the master shapes of this container, which every
    // instance inherits; recalculation asks for them at every write to an
    // instance. Dropped when this container changes.
    std::unordered_map<pugi::xml_node_struct*, std::shared_ptr<const FormulaCellList>> formulaCellCache;
    // The rows of a master shape's sections as its instances inherit them,
    // keyed by shape and section; kept for masters only, dropped on change.
    std::map<std::pair<pugi::xml_node_struct*, std::string>, std::shared_ptr<const RowList>> rowListCache;
    // The lookups of each shape of this page or master (see ShapeLookups);
    // for a master all are dropped when it changes.
    std::unordered_map<pugi::xml_node_struct*, ShapeLookups> lookups;
    ShapeLookups& lookupsOf(pugi::xml_node_struct* shape);
    // A cell, row or section was added to `shape`.
    void sheetGrew(pugi::xml_node_struct* shape) { lookups.erase(shape); }
};

struct DocumentData {
    ApplicationData* app = nullptr;
    std::unique_ptr<Package> package;
    std::string path;              // empty for a new drawing
    std::string name;              // "order.vsdx" or "Drawing1"
    bool stencil = false;
    bool isNew = false;
    bool alwaysSave = false;       // a drawing a command created: saved even when empty

    std::string documentPart;
    std::unique_ptr<XmlPart> document;
    std::string pagesPart;
    std::unique_ptr<XmlPart> pagesXml;
    std::string mastersPart;
    std::unique_ptr<XmlPart> mastersXml;
    std::vector<std::unique_ptr<SheetContainer>> pages;
    std::vector<std::unique_ptr<SheetContainer>> masters;
    std::unordered_map<int, SheetContainer*> masterById;

    // Counts changes to the masters, which every instance reads through.
    std::uint64_t masterGeneration = 0;
    // Parts whose XML trees changed and must be serialized on save.
    std::map<std::string, XmlPart*> dirtyParts;
    bool needsRecalcOnOpen = false;

    void markDirty(const std::string& partName, XmlPart* part);
    // The package revision at the last save (or, for a drawing made from the
    // built-in parts, when it was made): a blank drawing nobody touched is not
    // a change.
    std::uint64_t cleanRevision = 0;
    bool changed() const { return !dirtyParts.empty() || package->revision() != cleanRevision; }
    // Writes the dirty parts into the package (not to disk).
    void flushParts();
    std::string fileLabel() const { return path.empty() ? name : path; }
    // A part parsed for editing (document.xml, pages.xml, masters.xml).
    std::unique_ptr<XmlPart> parsePart(const std::string& partName) const;
};

struct WindowData {
    DocumentData* doc = nullptr;
    SheetContainer* page = nullptr;
    std::vector<Shape> selection;
    // Shows `shown` instead; the selection belonged to the page left, so it
    // is emptied, as Visio does when a window turns to another page.
    void showPage(SheetContainer* shown) {
        if (shown != page)
            selection.clear();
        page = shown;
    }
};

struct ApplicationData {
    std::vector<std::unique_ptr<DocumentData>> documents;
    std::vector<std::unique_ptr<WindowData>> windows;
    WindowData* activeWindow = nullptr;
    std::vector<std::string> stencilFolders;
    std::string firstDrawingFolder;   // where new drawings are saved
    int newDrawings = 0;
    std::unique_ptr<DocumentData> connectorStencil;

    DocumentData* openFile(const std::string& path, bool stencil);
    DocumentData* createBlank();
    DocumentData* findByBaseName(const std::string& name) const;
    std::optional<std::string> findStencilFile(const std::string& name) const;
    WindowData* addWindow(DocumentData* doc, SheetContainer* page);
    // The window that shows `doc`; null when none does.
    WindowData* windowOf(const DocumentData* doc) const;

    // Handles for the internal structures.
    static Shape shape(SheetContainer* c, pugi::xml_node n) { return Shape(c, n.internal_object()); }
    static Page page(SheetContainer* c) { return Page(c); }
    static Master master(SheetContainer* c) { return Master(c); }
    static Document document(DocumentData* d) { return Document(d); }
    static SheetContainer* containerOf(const Shape& s) { return s.container_; }
    static pugi::xml_node nodeOf(const Shape& s) { return pugi::xml_node(s.node_); }
    static SheetContainer* containerOf(const Page& p) { return p.data_; }
    static SheetContainer* containerOf(const Master& m) { return m.data_; }
    static DocumentData* dataOf(const Document& d) { return d.data_; }
};

// Opens the package of a document and indexes its pages and masters.
std::unique_ptr<DocumentData> loadDocument(std::unique_ptr<Package> package, const std::string& label,
                                           ApplicationData* app);

std::string baseNameOf(const std::string& path);

// A package holding the given parts, not tied to a file.
std::unique_ptr<Package> packageFromParts(const std::vector<std::pair<std::string, std::string>>& parts);   // "C:/a/Entity_M.VSS" -> "entity_m"

} // namespace visio::detail
