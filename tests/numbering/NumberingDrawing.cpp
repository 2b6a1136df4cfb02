#include "numbering/NumberingDrawing.h"

#include <exception>

#include "host/Globals.h"
#include "model/Utils.h"
#include "numbering/ReferencePass.h"
#include "numbering/Unit_AutoNum.h"

namespace numberingtest {

namespace {

visio::SessionOptions sessionOptions(const std::string& drawingPath, const testsupport::TempDir* folder)
{
    visio::SessionOptions options;
    options.drawingPath = drawingPath;
    options.stencilFolders = {KALEMAR_STENCIL_DIR};
    if (folder != nullptr)
        options.newDrawingFolder = folder->Path().string();
    return options;
}

std::string numberOf(const visio::Shape& shape)
{
    try {
        return ReadPropertyFormula(shape, 0);
    } catch (const std::exception& error) {
        return std::string("<unreadable: ") + error.what() + ">";
    }
}

void recordPage(const visio::Page& page, int pageIndex, std::vector<std::string>& numbers)
{
    const visio::Shapes shapes = page.GetShapes();
    for (int index = 1; index <= shapes.Count(); ++index) {
        const visio::Shape shape = shapes.Item(index);
        numbers.push_back("page " + std::to_string(pageIndex) + " shape " + std::to_string(index) + " " +
                          shape.Name() + ": " + numberOf(shape));
    }
}

template <typename Pass>
PassOutcome outcomeOf(Drawing& drawing, Pass pass)
{
    PassOutcome outcome;
    try {
        pass();
    } catch (const std::exception& error) {
        outcome.error = error.what();
    }
    outcome.numbers = drawing.Numbers();
    return outcome;
}

} // namespace

Drawing::Drawing()
    : folder_(std::make_unique<testsupport::TempDir>()),
      app_(std::make_unique<visio::Application>(sessionOptions("", folder_.get())))
{
}

Drawing::Drawing(const std::string& path) : app_(std::make_unique<visio::Application>(sessionOptions(path, nullptr)))
{
}

visio::Shape Drawing::Drop(const std::string& master, int page)
{
    visio::Pages pages = app_->ActiveDocument().GetPages();
    // A page added turns the window to it; the passes work on the page shown
    // before.
    const visio::Page shown = app_->ActivePage();
    while (pages.Count() < page)
        pages.Add();
    app_->ActiveWindow().SetPage(shown);
    const visio::Document stencil = app_->GetDocuments().Item("kalemar.vss");
    return pages.Item(page).Drop(stencil.GetMasters().ItemU(master), 1, 1);
}

visio::Shape Drawing::Drop(const std::string& master, int page, const std::string& pinX, const std::string& pinY)
{
    visio::Shape shape = Drop(master, page);
    Place(shape, pinX, pinY);
    return shape;
}

std::vector<std::string> Drawing::Numbers()
{
    std::vector<std::string> numbers;
    const visio::Pages pages = app_->ActiveDocument().GetPages();
    for (int page = 1; page <= pages.Count(); ++page) {
        try {
            recordPage(pages.Item(page), page, numbers);
        } catch (const std::exception& error) {
            numbers.push_back("page " + std::to_string(page) + " <unreadable: " + error.what() + ">");
        }
    }
    return numbers;
}

std::string Drawing::Save()
{
    return app_->SaveChangedDocuments().at(0);
}

void Place(const visio::Shape& shape, const std::string& pinX, const std::string& pinY)
{
    shape.Cells("PinX").SetFormulaU(pinX);
    shape.Cells("PinY").SetFormulaU(pinY);
}

PassOutcome RunProductPass(Drawing& drawing, std::uint8_t mode, const std::string& fixedPart)
{
    VisioApp = &drawing.App();
    PassOutcome outcome = outcomeOf(drawing, [&] { NumberElements(mode, fixedPart); });
    VisioApp = nullptr;
    return outcome;
}

PassOutcome RunReferencePass(Drawing& drawing, std::uint8_t mode, const std::string& fixedPart)
{
    return outcomeOf(drawing, [&] { ReferenceNumberElements(drawing.App(), mode, fixedPart); });
}

} // namespace numberingtest
