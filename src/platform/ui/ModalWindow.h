#pragma once

// Showing a command's window and letting the run's scripted steps drive it.

class QDialog;
class QWidget;

namespace ui {

// Shows `window` modally and returns its QDialog result once it is closed.
// While it is open, the scripted steps left in the queue are carried out on
// it in order (a step that opens another window or a message box hands the
// following steps to that). When the queue runs dry in a headless run, the
// window is closed as by its close box, or, if the run had no steps at all,
// ScriptError "window '<caption>' waits for a person: ...". A step that fails
// closes the window and its error is raised from here.
int ShowModal(QDialog& window);

// Shows `window` as the application's main window and runs the message loop
// until it is closed; steps, headless runs and failures as ShowModal.
void RunMainWindow(QWidget& window);

} // namespace ui
