#pragma once

// The drawing engine: Visio's automation object model on .vsdx drawings and
// .vssx stencils. Handles (Shape, Cell, Page, ...) are light views on the parsed
// XML of the document's parts; they stay valid while the Application that owns
// the document lives. Every refused call raises VisioError.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/visio/VisioError.h"

namespace pugi {
struct xml_node_struct;
}

namespace visio {

namespace detail {
struct ApplicationData;
struct DocumentData;
struct SheetContainer;
struct CellAddress;
} // namespace detail

class Shape;
class Shapes;
class Master;
class Page;
class Document;

// Section, row and column numbers of CellsSRC.
enum : int {
    visSectionObject = 1,
    visSectionCharacter = 3,
    visSectionParagraph = 4,
    visSectionTab = 5,
    visSectionScratch = 6,
    visSectionConnectionPts = 7,
    visSectionTextField = 8,
    visSectionControls = 9,
    visSectionFirstComponent = 10,
    visSectionAction = 240,
    visSectionLayer = 241,
    visSectionUser = 242,
    visSectionProp = 243,
    visSectionHyperlink = 244,
};

// Rows and row kinds of AddRow.
enum : int {
    visRowLast = -2,
    visTagMoveTo = 138,
    visTagLineTo = 139,
};

// One cell of a shape. A cell of a master instance that the instance does not
// override reads through to the master; writing it creates the local override.
class Cell {
public:
    Cell() = default;

    // The universal formula. Where the cell holds only a value, the formula is
    // made from it in its unit ("105 mm"); a string value reads as its string
    // literal; a deleted formula ("No Formula") reads as the empty text.
    std::string FormulaU() const;
    // Writes a formula: a string literal, a number with an optional unit, or an
    // expression. Dependent cells of the shape, its sub-shapes and connectors
    // glued to it are recalculated. An invalid formula is refused and the cell
    // keeps its old formula.
    void SetFormulaU(const std::string& formula);
    void SetFormulaU(long long value);

    // The stored value in internal units (inches for lengths); VisioError when
    // the value is not a number.
    double ResultIU() const;
    // The stored value as text (V as the file holds it).
    std::string ResultStr() const;

    // Glues this cell ("BeginX" or "EndX" of a 1-D shape) to a connection point
    // cell (CellsSRC(7, row, 0)) of another shape, or to its "PinX" (glue to the
    // whole shape). The connection is recorded and the end point follows the
    // target when that moves.
    void GlueTo(const Cell& target) const;

    // The cell's name as formulas use it: "Width", "Prop.Row_1" (the value
    // cell of a named row is named after the row), "Prop.Row_1.Label",
    // "Connections.X9".
    std::string Name() const;

    // Where the cell is, for messages: "Shape 'Entity' cell Connections.X9".
    std::string Describe() const;

    Shape Owner() const;

private:
    friend class Shape;
    friend struct detail::ApplicationData;
    detail::SheetContainer* container_ = nullptr;
    pugi::xml_node_struct* shape_ = nullptr;
    // Where the cell is in the XML (section, row, cell name) and its name in
    // formulas; shared by the copies of the handle.
    std::shared_ptr<const detail::CellAddress> address_;
};

// The text range of a shape; Begin and End count characters of its text.
class Characters {
public:
    int Begin() const { return begin_; }
    int End() const { return end_; }
    void SetBegin(int position) { begin_ = position; }
    void SetEnd(int position) { end_ = position; }
    std::string Text() const;
    // Replaces the range [Begin, End) of the shape's text with `text`.
    void SetText(const std::string& text);

private:
    friend class Shape;
    detail::SheetContainer* container_ = nullptr;
    pugi::xml_node_struct* shape_ = nullptr;
    int begin_ = 0;
    int end_ = 0;
};

// The shapes of a page (top level) or of a group (its sub-shapes), in z-order.
class Shapes {
public:
    int Count() const;
    // 1-based; VisioError out of range.
    Shape Item(int index) const;

private:
    friend class Shape;
    friend class Page;
    friend class Master;
    detail::SheetContainer* container_ = nullptr;
    pugi::xml_node_struct* parent_ = nullptr;   // the Shape element, or the page root
};

class Shape {
public:
    Shape() = default;
    // False for the empty reference (nothing selected); any member then raises.
    explicit operator bool() const { return node_ != nullptr; }

    // The local name, else the universal name, else for a master instance saved
    // without a name "<master name>.<ID>", else "Sheet.<ID>".
    std::string Name() const;
    std::string NameU() const;
    int ID() const;
    // The shape's text without the line feed that ends the stored text.
    std::string Text() const;
    // What a reader draws: the shape's own text, else its master's, with each
    // text field shown by its display text.
    std::string ShownText() const;
    // Sets the shape's own text. The empty text is a text too: an instance
    // shows nothing of its master's text then, in every reader.
    void SetText(const std::string& text);
    Characters GetCharacters() const;

    Shapes GetShapes() const;
    Cell Cells(const std::string& name) const;
    // VisioError when the section or row does not exist.
    Cell CellsSRC(int section, int row, int column) const;
    // -1 when the cell exists (inherited cells count unless localOnly), else 0.
    int CellsSRCExists(int section, int row, int column, int localOnly) const;
    // Moves the shape to the back of its page or group.
    void SendToBack() const;
    // Adds a row to a geometry section (visSectionFirstComponent + i) after
    // its last row, of the kind `rowTag` (visTagMoveTo, visTagLineTo), and
    // returns its row number; its cells are then written through CellsSRC.
    // VisioError for another section or another place.
    int AddRow(int section, int row, int rowTag) const;

    // The master this shape is an instance of (empty Master when none).
    Master GetMaster() const;
    Page ContainingPage() const;
    bool operator==(const Shape& other) const { return node_ == other.node_; }

private:
    friend class Shapes;
    friend class Page;
    friend class Cell;
    friend class Characters;
    friend struct detail::ApplicationData;
    Shape(detail::SheetContainer* container, pugi::xml_node_struct* node)
        : container_(container), node_(node) {}
    Cell cellAt(detail::CellAddress address) const;
    detail::SheetContainer* container_ = nullptr;
    pugi::xml_node_struct* node_ = nullptr;
};

class Master {
public:
    Master() = default;
    explicit operator bool() const { return data_ != nullptr; }
    std::string NameU() const;
    std::string Name() const;
    int ID() const;
    Document GetDocument() const;
    // The master's own shapes, for inspection.
    Shapes GetShapes() const;

private:
    friend class Masters;
    friend class Page;
    friend class Shape;
    friend class Application;
    friend struct detail::ApplicationData;
    explicit Master(detail::SheetContainer* data) : data_(data) {}
    detail::SheetContainer* data_ = nullptr;
};

class Masters {
public:
    int Count() const;
    Master Item(int index) const;       // 1-based
    // By universal name; VisioError when the document has no such master.
    Master ItemU(const std::string& nameU) const;

private:
    friend class Document;
    detail::DocumentData* doc_ = nullptr;
};

// A connection recorded on a page: which end of which shape is glued where.
struct Connect {
    int fromSheet = 0;
    std::string fromCell;   // "BeginX", "EndX"
    int toSheet = 0;
    std::string toCell;     // "Connections.X9", "PinX"
};

class Page {
public:
    Page() = default;
    explicit operator bool() const { return data_ != nullptr; }
    std::string Name() const;
    std::string NameU() const;
    void SetName(const std::string& name);
    int ID() const;
    Shapes GetShapes() const;
    // The page's own sheet: PageWidth, PageHeight and the other page cells.
    // Writing a cell there changes the page's entry in pages.xml.
    Shape PageSheet() const;
    // Drops an instance of `master` with its pin at (x, y) in inches; a master
    // of another document is first copied into this page's document. The new
    // shape is named after the master ("Name.ID" when the name is taken).
    Shape Drop(const Master& master, double x, double y);
    // The connections recorded on this page, in file order.
    std::vector<Connect> Connects() const;
    // A shape of this page (any depth) by ID, or by name among the top-level
    // shapes; empty Shape when none.
    Shape ShapeByID(int id) const;
    Shape ShapeByName(const std::string& name) const;
    Document GetDocument() const;
    bool operator==(const Page& other) const { return data_ == other.data_; }

private:
    friend class Pages;
    friend class Shape;
    friend class Window;
    friend class Application;
    friend struct detail::ApplicationData;
    explicit Page(detail::SheetContainer* data) : data_(data) {}
    detail::SheetContainer* data_ = nullptr;
};

class Pages {
public:
    int Count() const;
    Page Item(int index) const;         // 1-based
    // By name or universal name; VisioError when none.
    Page ItemByName(const std::string& name) const;
    // Appends a new page named "Page-N" with the page settings of the active
    // page, and returns it. The document's window turns to the new page (its
    // selection is emptied), so ActivePage and ActiveWindow().GetPage() give it.
    Page Add();

private:
    friend class Document;
    detail::DocumentData* doc_ = nullptr;
};

class Document {
public:
    Document() = default;
    explicit operator bool() const { return data_ != nullptr; }
    Pages GetPages() const;
    Masters GetMasters() const;
    // The file name ("order.vsdx"); "DrawingN" for a new drawing not yet saved.
    std::string Name() const;
    std::string FullName() const;       // the path; empty for a new drawing
    bool IsStencil() const;
    bool IsChanged() const;
    bool operator==(const Document& other) const { return data_ == other.data_; }

private:
    friend class Documents;
    friend class Page;
    friend class Master;
    friend class Application;
    friend class Window;
    friend struct detail::ApplicationData;
    explicit Document(detail::DocumentData* data) : data_(data) {}
    detail::DocumentData* data_ = nullptr;
};

class Selection {
public:
    int Count() const;
    Shape Item(int index) const;        // 1-based

private:
    friend class Window;
    friend struct detail::ApplicationData;
    detail::ApplicationData* app_ = nullptr;
    const void* window_ = nullptr;
};

class Window {
public:
    Window() = default;
    explicit operator bool() const { return app_ != nullptr && window_ != nullptr; }
    Selection GetSelection() const;
    Page GetPage() const;
    // Turns the window to another page of its document; the selection is
    // emptied when the page changes. VisioError for a page of another document.
    void SetPage(const Page& page);
    Document GetDocument() const;

private:
    friend class Application;
    friend struct detail::ApplicationData;
    detail::ApplicationData* app_ = nullptr;
    const void* window_ = nullptr;
};

class Documents {
public:
    int Count() const;
    Document Item(int index) const;     // 1-based
    // An open document or stencil by file name: the base name decides, without
    // regard to case or extension ("ENTITY_M.VSS" finds entity_m.vssx).
    Document Item(const std::string& name) const;
    // Opens a document: a name with a folder ("/x/own.vssx") opens that file,
    // a drawing or a stencil as its content says, unless that same file is
    // open; a bare name finds an open document or a stencil by base name in
    // the stencil folders, else a file of that name. Flags are accepted as
    // Visio takes them (6: read only, docked); an open document is returned
    // as it is.
    Document OpenEx(const std::string& name, int flags);
    // A new blank metric drawing, which becomes the active document and window.
    Document AddEx(const std::string& templateName, int measurementSystem, int flags);

private:
    friend class Application;
    friend struct detail::ApplicationData;
    detail::ApplicationData* app_ = nullptr;
};

// How a session starts: the drawing that is open, its active page, the
// selection, and where the stencils are.
struct SessionOptions {
    std::string drawingPath;                 // empty: one new blank drawing
    std::string page;                        // name or 1-based index; empty: the drawing's own
    std::vector<std::string> selection;      // shape IDs or names on the active page, else the
                                             // value of a shape's first property row or its
                                             // shown text (detail/SelectionLookup.h)
    std::vector<std::string> stencilFolders; // searched in order for stencils
    std::string newDrawingFolder;            // where new drawings are saved; empty: beside the
                                             // drawing, else the current folder
};

class Application {
public:
    // Opens the session: the drawing (or a new blank one), its window, the
    // bundled stencils. Raises VisioError on bad input.
    explicit Application(const SessionOptions& options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Document ActiveDocument() const;
    Window ActiveWindow() const;
    Page ActivePage() const;
    Documents GetDocuments() const;
    // What dropping draws a dynamic connector: the connector master.
    Master ConnectorToolDataObject() const;

    // Saves every document that the session changed (stencils never): a drawing
    // from a file back to that file atomically, a new drawing beside the first
    // drawing of the session (or in the current folder) as "DrawingN.vsdx".
    // A saved drawing opens on the page its window shows now. Returns the
    // paths written, in the order of the documents.
    std::vector<std::string> SaveChangedDocuments();

    // Folders searched for bundled stencils: $KALEMAR_STENCIL_PATH (colon
    // separated), then the stencils folder beside the executable and
    // ../share/kalemar/stencils from it (an installed program, whatever its
    // prefix), then, for a program inside its build folder, the build's own.
    static std::vector<std::string> DefaultStencilFolders();

private:
    std::unique_ptr<detail::ApplicationData> data_;
};

} // namespace visio
