#pragma once

// Small drawings for the numbering tests: element shapes dropped from the bundled
// kalemar stencil, placed by pin formulas, with their property rows set, and a
// record of every shape's number across the document.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/visio/Visio.h"
#include "support/TempDir.h"

namespace numberingtest {

// What a pass left: its error message (empty when it succeeded) and the raw
// row 0 formula of every shape of every page.
struct PassOutcome {
    std::string error;
    std::vector<std::string> numbers;
};

class Drawing {
public:
    // A blank drawing; saved drawings go into a folder of its own.
    Drawing();
    // A session on the drawing file at `path`.
    explicit Drawing(const std::string& path);

    visio::Application& App() { return *app_; }

    // Drops an instance of `master` (of kalemar.vss) on page `page`, 1-based,
    // adding pages as needed.
    visio::Shape Drop(const std::string& master, int page = 1);
    // Drops and places it: pin formulas as Visio shows them ("105.9 mm").
    visio::Shape Drop(const std::string& master, int page, const std::string& pinX, const std::string& pinY);

    // "page 2 shape 3 Object.7: <raw row 0>" for every shape of every page; a page
    // or row that cannot be read is recorded with its error.
    std::vector<std::string> Numbers();

    // Saves the drawing and returns the file's path.
    std::string Save();

private:
    std::unique_ptr<testsupport::TempDir> folder_;
    std::unique_ptr<visio::Application> app_;
};

// Sets both pin formulas of a shape.
void Place(const visio::Shape& shape, const std::string& pinX, const std::string& pinY);

// Runs the product's pass with VisioApp set to the drawing's session.
PassOutcome RunProductPass(Drawing& drawing, std::uint8_t mode, const std::string& fixedPart);
// Runs the plain reference pass on the drawing's session.
PassOutcome RunReferencePass(Drawing& drawing, std::uint8_t mode, const std::string& fixedPart);

} // namespace numberingtest
