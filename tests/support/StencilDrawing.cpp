#include "support/StencilDrawing.h"

#include <stdexcept>

#include <pugixml.hpp>

#include "platform/visio/package/Package.h"

namespace testsupport {

namespace {

visio::SessionOptions optionsFor(const std::string& drawing, const std::string& newDrawingFolder)
{
    visio::SessionOptions options;
    options.drawingPath = drawing;
    options.stencilFolders = {KALEMAR_STENCIL_DIR};
    options.newDrawingFolder = newDrawingFolder;
    return options;
}

std::string quoted(const std::string& text)
{
    std::string literal = "\"";
    for (char c : text)
        literal += c == '"' ? std::string("\"\"") : std::string(1, c);
    return literal + "\"";
}

// The part of the page `page` (1-based, in the order of pages.xml).
std::string pagePart(const visio::Package& package, int page)
{
    const std::string pagesPart = "/visio/pages/pages.xml";
    pugi::xml_document pages;
    pages.load_string(package.read(pagesPart).c_str());
    int index = 0;
    for (pugi::xml_node entry : pages.document_element().children("Page")) {
        if (++index != page)
            continue;
        const std::string id = entry.child("Rel").attribute("r:id").value();
        for (const visio::Relationship& relationship : visio::readRelationships(package, pagesPart))
            if (relationship.id == id)
                return visio::resolvePartName(pagesPart, relationship.target);
    }
    throw std::runtime_error("the drawing has no page " + std::to_string(page));
}

} // namespace

StencilDrawing::StencilDrawing()
    : app_(std::make_unique<visio::Application>(optionsFor("", scratch_.Path().string())))
{
}

visio::Page StencilDrawing::pageAt(int page)
{
    visio::Pages pages = app_->ActiveDocument().GetPages();
    const visio::Page shown = app_->ActivePage();
    while (pages.Count() < page)
        pages.Add();
    app_->ActiveWindow().SetPage(shown);
    return pages.Item(page);
}

visio::Shape StencilDrawing::Drop(const std::string& master, int page)
{
    const visio::Master source = app_->GetDocuments().Item("kalemar.vss").GetMasters().ItemU(master);
    nextX_ += 0.25;
    return pageAt(page).Drop(source, nextX_, 1);
}

visio::Shape StencilDrawing::DropConnector(int page)
{
    return pageAt(page).Drop(app_->ConnectorToolDataObject(), 1, 1);
}

std::string StencilDrawing::SaveAs(const std::filesystem::path& path)
{
    const std::vector<std::string> written = app_->SaveChangedDocuments();
    if (written.size() != 1)
        throw std::runtime_error("the test drawing was not saved as one file");
    std::filesystem::rename(written[0], path);
    app_ = std::make_unique<visio::Application>(optionsFor(path.string(), {}));
    return path.string();
}

void Place(const visio::Shape& shape, const std::string& pinX, const std::string& pinY, const std::string& width,
           const std::string& height)
{
    const std::pair<const char*, const std::string*> cells[] = {
        {"Width", &width}, {"Height", &height}, {"PinX", &pinX}, {"PinY", &pinY}};
    for (const auto& [cell, formula] : cells)
        if (!formula->empty())
            shape.Cells(cell).SetFormulaU(*formula);
}

void Fill(const visio::Shape& shape, const std::vector<std::string>& rows)
{
    for (std::size_t row = 0; row < rows.size(); ++row)
        shape.CellsSRC(visio::visSectionProp, static_cast<int>(row), 0).SetFormulaU(quoted(rows[row]));
}

void RenameShape(const std::string& path, int page, const std::string& from, const std::string& to)
{
    std::unique_ptr<visio::Package> package = visio::Package::open(path);
    const std::string part = pagePart(*package, page);
    std::string xml = package->read(part);
    const std::string attributes = "NameU='" + from + "' Name='" + from + "'";
    const std::size_t at = xml.find(attributes);
    if (at == std::string::npos)
        throw std::runtime_error("page " + std::to_string(page) + " of " + path + " has no shape named " + from);
    xml.replace(at, attributes.size(), "NameU='" + to + "' Name='" + to + "'");
    package->write(part, xml);
    package->save(path);
}

void BreakPage(const std::string& path, int page)
{
    std::unique_ptr<visio::Package> package = visio::Package::open(path);
    package->write(pagePart(*package, page), "this page is not XML");
    package->save(path);
}

std::unique_ptr<visio::Application> OpenSession(const std::string& path, const std::string& page,
                                                const std::vector<std::string>& selection)
{
    visio::SessionOptions options = optionsFor(path, {});
    options.page = page;
    options.selection = selection;
    return std::make_unique<visio::Application>(options);
}

} // namespace testsupport
