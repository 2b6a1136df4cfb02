#include "frames/BuildDetailPage.h"

#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/ui/MessageBox.h"

namespace {

constexpr int NumberRow = 0;
constexpr int NameRow = 2;
constexpr int StampMarkRow = 0;
constexpr int StampNameRow = 1;
// The double-click action of a shape: section 1, row 5 (events), column 2.
constexpr int EventRow = 5;
constexpr int EventDblClickColumn = 2;
// Where the stamp goes on the detail page, in inches: 105 mm and 147 mm.
constexpr double StampX = 4.133858;
constexpr double StampY = 5.787402;

visio::Application& session()
{
    if (VisioApp == nullptr)
        throw visio::VisioError("There is no drawing session to detail");
    return *VisioApp;
}

// Whether a page of `pages` is called exactly `name` (case counts).
bool pageNameTaken(const visio::Pages& pages, const std::string& name)
{
    const int count = pages.Count();
    for (int index = 1; index <= count; ++index)
        if (pages.Item(index).Name() == name)
            return true;
    return false;
}

void stampDetailPage(visio::Application& application, const visio::Shape& procedure)
{
    const visio::Master stamp = application.GetDocuments().Item("kalemar.vss").GetMasters().ItemU("Stamp");
    const visio::Shape dropped = application.ActiveWindow().GetPage().Drop(stamp, StampX, StampY);
    WriteProperty(dropped, StampMarkRow, "?");
    WriteProperty(dropped, StampNameRow, ReadProperty(procedure, NameRow));
}

} // namespace

visio::Shape FindFramedProcedure(const visio::Page& page, const TShapeBox& frame)
{
    const visio::Shapes shapes = page.GetShapes();
    const int count = shapes.Count();
    for (int index = 1; index <= count; ++index) {
        const visio::Shape shape = shapes.Item(index);
        if (ElementKindOf(shape) != ElementKindProcedure)
            continue;
        if (BoxLiesWithin(ShapeBox(shape), frame))
            return shape;
    }
    return visio::Shape();
}

std::string GotoPageFormula(const std::string& pageName)
{
    return "GOTOPAGE(" + StringLiteral(pageName) + ")";
}

void BuildDetailPage()
{
    visio::Application& application = session();
    const visio::Shape frame = application.ActiveWindow().GetSelection().Item(1);
    const visio::Shape procedure = FindFramedProcedure(application.ActivePage(), ShapeBox(frame));
    if (!procedure) {
        ui::MessageBox(NoFramedProcedureText, "Warning", ui::MB_OK, ui::MB_ICONWARNING);
        return;
    }
    visio::Pages pages = application.ActiveDocument().GetPages();
    visio::Page detailPage = pages.Add();
    const std::string name = ReadProperty(procedure, NumberRow);
    // A name that a page has already stays with that page; the new page then
    // keeps the name it was given.
    if (!pageNameTaken(pages, name))
        detailPage.SetName(name);
    frame.CellsSRC(visio::visSectionObject, EventRow, EventDblClickColumn).SetFormulaU(GotoPageFormula(detailPage.Name()));
    stampDetailPage(application, procedure);
}
