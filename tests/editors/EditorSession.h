#pragma once

// A drawing session for the editors' tests: a copy of the example drawing (or
// another file) opened with the engine, VisioApp and SelectedShape set as the
// launcher sets them, and scripted steps queued as the command line queues
// them.

#include <memory>
#include <string>
#include <vector>

#include "platform/visio/Visio.h"
#include "support/TempDir.h"

class QWidget;

namespace editortest {

// The bundled example drawing.
std::string ExamplePath();

class EditorSession {
public:
    // Opens a copy of `drawing` on `page` (1-based) and selects the top-level
    // shape named `shapeName` there; an empty name selects nothing.
    explicit EditorSession(const std::string& shapeName, int page = 1, const std::string& drawing = ExamplePath());
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    visio::Application& App() { return *app_; }
    visio::Shape Shape(const std::string& name, int page = 1) const;
    // The drawing's copy on disk.
    const std::string& Path() const { return path_; }

private:
    testsupport::TempDir folder_;
    std::string path_;
    std::unique_ptr<visio::Application> app_;
};

// A copy of the example in `folder` whose object "Заказ" (Object.2 on page 1)
// has lost its last property row, the copy flag (row 6), but keeps its table.
std::string ExampleWithoutCopyFlagRow(const testsupport::TempDir& folder);

// Queues scripted steps as the command line gives them ("--set", "edtNAME=x",
// "--press", "RzBitBtn1", ...), after clearing what an earlier test left.
void QueueSteps(const std::vector<std::string>& arguments);

// The widgets of `among` in the order that Tab visits them, from `start`
// round the focus chain once (inner widgets of a control are skipped).
std::vector<const QWidget*> FocusOrder(const QWidget* start, const std::vector<const QWidget*>& among);

// The property rows 0 .. 6 of a shape as raw formulas.
std::vector<std::string> RawRows(const visio::Shape& shape);

} // namespace editortest
