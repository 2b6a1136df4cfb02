#pragma once

// Carrying out one scripted step on a window's controls, as a person would.

#include <string>

#include "platform/ui/Script.h"

class QWidget;

namespace ui {

// The window's caption for messages (its objectName when it has no caption).
std::string WindowCaption(const QWidget& window);

// Performs `step` on the control of `window` that it names: types a text,
// ticks a box, chooses an item, marks a text, presses a button. ScriptError
// when the window lacks the control, the control does not take that kind of
// step, or the step is for a message box or file dialog.
void PerformStep(QWidget& window, const ScriptStep& step);

} // namespace ui
