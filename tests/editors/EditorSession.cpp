#include "editors/EditorSession.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <algorithm>

#include "host/Globals.h"
#include "model/Utils.h"
#include "numbering/PackageEdit.h"
#include "platform/ui/Script.h"

namespace editortest {

std::string ExamplePath()
{
    return std::string(KALEMAR_SOURCE_DIR) + "/examples/order-process.vsdx";
}

EditorSession::EditorSession(const std::string& shapeName, int page, const std::string& drawing)
{
    path_ = folder_.CopyIn(drawing, "drawing.vsdx").string();
    visio::SessionOptions options;
    options.drawingPath = path_;
    options.page = std::to_string(page);
    options.stencilFolders = {KALEMAR_STENCIL_DIR};
    if (!shapeName.empty())
        options.selection = {shapeName};
    app_ = std::make_unique<visio::Application>(options);
    VisioApp = app_.get();
    SelectedShape = shapeName.empty() ? visio::Shape() : app_->ActiveWindow().GetSelection().Item(1);
    ui::Script::Instance().Clear();
}

EditorSession::~EditorSession()
{
    ui::Script::Instance().Clear();
    SelectedShape = visio::Shape();
    VisioApp = nullptr;
}

visio::Shape EditorSession::Shape(const std::string& name, int page) const
{
    visio::Shape shape = app_->ActiveDocument().GetPages().Item(page).ShapeByName(name);
    EXPECT_TRUE(shape) << "no shape " << name << " on page " << page;
    return shape;
}

std::string ExampleWithoutCopyFlagRow(const testsupport::TempDir& folder)
{
    const std::string path = folder.CopyIn(ExamplePath(), "without-copy-flag-row.vsdx").string();
    numberingtest::EditShape(path, "Object.2", [](pugi::xml_node shape) {
        pugi::xml_node properties = shape.find_child_by_attribute("Section", "N", "Property");
        pugi::xml_node row = properties.find_child_by_attribute("Row", "N", "Row_7");
        if (!row)
            row = properties.append_child("Row");
        while (row.first_child())
            row.remove_child(row.first_child());
        row.remove_attribute("N");
        row.append_attribute("N") = "Row_7";
        row.append_attribute("Del") = "1";
    });
    return path;
}

void QueueSteps(const std::vector<std::string>& arguments)
{
    ui::Script& script = ui::Script::Instance();
    script.Clear();
    for (std::size_t i = 0; i < arguments.size();) {
        std::optional<ui::ScriptStep> step = ui::ParseScriptArgument(arguments, i);
        ASSERT_TRUE(step.has_value()) << "not a step: " << arguments[i];
        script.Add(*step);
    }
}

std::vector<const QWidget*> FocusOrder(const QWidget* start, const std::vector<const QWidget*>& among)
{
    std::vector<const QWidget*> order;
    const QWidget* widget = start;
    do {
        if (std::find(among.begin(), among.end(), widget) != among.end())
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != start && widget != nullptr);
    return order;
}

std::vector<std::string> RawRows(const visio::Shape& shape)
{
    std::vector<std::string> rows;
    for (int row = 0; row <= 6; ++row)
        rows.push_back(ReadPropertyFormula(shape, row));
    return rows;
}

} // namespace editortest
