#include <gtest/gtest.h>

#include "host/Launcher.h"
#include "support/RunProgram.h"

namespace host {
namespace {

// Page "master_test" of this sample holds the shapes 2 (data_prop_test), 3, 4, 5 and 9.
visio::SessionOptions sessionSelecting(std::vector<std::string> selection)
{
    visio::SessionOptions options;
    options.drawingPath = testsupport::SamplePath("pyvsdx_test6_shape_properties.vsdx");
    options.page = "master_test";
    options.selection = std::move(selection);
    options.stencilFolders = visio::Application::DefaultStencilFolders();
    return options;
}

TEST(CaptureSelection, NothingSelectedLeavesTheShapeEmpty)
{
    visio::Application application(sessionSelecting({}));
    EXPECT_FALSE(CaptureSelection(application));
}

TEST(CaptureSelection, TakesTheFirstShapeOfTheSelection)
{
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"4", "data_prop_test"}, 4},
        {{"data_prop_test", "4"}, 2},
        {{"9"}, 9},
    };
    for (const auto& [selection, firstID] : cases) {
        visio::Application application(sessionSelecting(selection));
        visio::Shape first = CaptureSelection(application);
        ASSERT_TRUE(first) << selection.front();
        EXPECT_EQ(first.ID(), firstID);
    }
}

TEST(CaptureSelection, ANewBlankDrawingHasNothingSelected)
{
    visio::SessionOptions options;
    options.stencilFolders = visio::Application::DefaultStencilFolders();
    visio::Application application(options);
    EXPECT_FALSE(CaptureSelection(application));
}

} // namespace
} // namespace host
