#pragma once

// The one way a window's event handlers run, so that no exception crosses
// the Qt event loop.

#include <functional>

class QWidget;

namespace ui {

// Runs `handler`. An error escaping it is shown in a message box captioned
// with the application's title (error icon) and `window` stays open; what the
// handler wrote before the error stays written. A ScriptError instead ends
// the run: it closes the window and is raised again where the window was
// shown (ShowModal, RunMainWindow).
void RunHandler(QWidget* window, const std::function<void()>& handler);

} // namespace ui
