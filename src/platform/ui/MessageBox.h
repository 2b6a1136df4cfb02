#pragma once

// Windows-like message boxes: the buttons, icons and results of the system's
// MessageBox call, carried out with QMessageBox.

#include <string>

namespace ui {

enum MbButtons { MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL };
enum MbIcon { MB_ICONNONE, MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows a box and returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO).
// The caption and text always go to standard error too. A next scripted
// step "--answer BUTTON" answers the box (ScriptError when the box lacks that
// button); otherwise a headless run takes the first button, and a run with a
// display waits for the person. Closing the box counts as Cancel where it has
// one, else as its only or first button.
int MessageBox(const std::string& text, const std::string& caption, MbButtons buttons = MB_OK,
               MbIcon icon = MB_ICONNONE);

// A box with only OK, captioned with the application's title.
void ShowMessage(const std::string& text);

// Writes "<caption>: <text>" and a line break to standard error, at once.
void MirrorToStderr(const std::string& caption, const std::string& text);

} // namespace ui
