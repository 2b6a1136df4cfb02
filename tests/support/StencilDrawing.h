#pragma once

// Drawings for tests that open a file as a run does: shapes dropped from the
// bundled kalemar stencil by the engine, placed, filled and saved, then opened
// in a session of their own with an active page and a selection.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/visio/Visio.h"
#include "support/TempDir.h"

namespace testsupport {

class StencilDrawing {
public:
    // A new blank drawing of one page.
    StencilDrawing();

    visio::Application& App() { return *app_; }

    // Drops an instance of the kalemar master `master` on page `page`
    // (1-based, added as needed); the window stays on the page it showed.
    visio::Shape Drop(const std::string& master, int page = 1);
    // A dynamic connector on page `page`.
    visio::Shape DropConnector(int page = 1);

    // Saves the drawing as `path` and returns it. The drawing is then a session
    // on that file: shapes taken from it before are no longer valid.
    std::string SaveAs(const std::filesystem::path& path);

private:
    visio::Page pageAt(int page);

    TempDir scratch_;
    std::unique_ptr<visio::Application> app_;
    double nextX_ = 0.5;
};

// Sets the pin and size formulas of a shape ("100 mm"); empty ones are left.
void Place(const visio::Shape& shape, const std::string& pinX, const std::string& pinY,
           const std::string& width = {}, const std::string& height = {});

// Writes texts into property rows 0, 1, 2, ... of a shape, as string literals.
void Fill(const visio::Shape& shape, const std::vector<std::string>& rows);

// Gives the shape named `from` on page `page` (1-based) of the saved drawing at
// `path` another name (Name and NameU): names that no master gives.
void RenameShape(const std::string& path, int page, const std::string& from, const std::string& to);

// Replaces the part of page `page` of the saved drawing at `path` with text
// that is not XML: the page fails when it is first read.
void BreakPage(const std::string& path, int page);

// A session on the drawing at `path` with the given active page (name or
// 1-based index; empty: the drawing's own) and selection (shape IDs or names).
std::unique_ptr<visio::Application> OpenSession(const std::string& path, const std::string& page = {},
                                                const std::vector<std::string>& selection = {});

} // namespace testsupport
