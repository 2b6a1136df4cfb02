#include "host/HelpText.h"

#include <iomanip>
#include <sstream>

#include "host/Commands.h"

namespace host {

namespace {

const char* const kUsage = R"(Usage: kalemar [SESSION] [STEPS] COMMAND

Runs one command against one drawing and ends. The last argument is always
the command number; the arguments before it describe the session and the
steps. Other arguments that are no options are ignored: "kalemar 5 7" runs 7.

Session:
  --drawing FILE.vsdx   the drawing to work on; it becomes the active document.
                        Without it the session holds one new blank drawing.
  --page NAME|INDEX     the active page, by name or 1-based index; by default
                        the page the drawing itself marks, else the first.
  --select ID|NAME ...  the selection of the active window, in order: shape
                        IDs or names on the active page. A word that is
                        neither may be an element number (property row 0,
                        as "О-1" or "3.1") or the text a shape shows (line
                        breaks count as blanks: "О-1 Клиент"); one that fits
                        several shapes, or none, ends the run with an error
                        that lists them. Every argument up to the next option
                        belongs to it, and --select may be repeated
                        ("--select 3 --select Process.7" is the same as
                        "--select 3 Process.7"). Without it nothing is
                        selected.
  --help                this text (anywhere on the command line).
  --version             the program's name and version (anywhere).

Steps drive the windows, message boxes and file dialogs of the command, in
order, by control name; each acts on what is open when it is reached:
  --set NAME=TEXT       types TEXT into an edit, combo box or text pane
  --tick NAME           ticks a check box (--untick NAME clears it)
  --choose NAME=INDEX   chooses an item by 0-based index: a radio group, list,
                        combo box, tree or page control; NAME=@TEXT chooses
                        the item whose text is TEXT
  --mark NAME=TEXT      selects the first occurrence of TEXT in a text pane
                        (an empty TEXT selects nothing)
  --press NAME          presses a button
  --print NAME          writes what a control shows to standard output, as
                        one line NAME=VALUE: an edit's or text pane's text
                        (line breaks as \n), a check box as 0 or 1, a combo
                        box's text, a button's or menu item's text, a radio
                        group's or page control's index, a splitter's first
                        pane width in pixels (which --set NAME=PIXELS moves);
                        a list prints one line NAME=... per row, its cells in
                        column order separated by tabs, and nothing when empty
  --answer BUTTON       answers a message box: OK, Cancel, Yes or No
  --file PATH           answers a file dialog with PATH
  --cancel              cancels a file dialog
Without a display every box, dialog and window is answered by steps: a box
without an --answer step takes its first button, a file dialog without a
--file or --cancel step is an error, a window left open when the steps have
run out is closed by its close box, and a window in a run without any steps
is an error. With a display, what the steps leave open waits for a person.
A step that the open window cannot take, and a step left over at the end,
end the run with an error.

Example:
  kalemar --drawing order.vsdx --set tbCONST=1. --choose RzRadioGroup1=0 \
          --press btnSAVE --press btnClose 7

Commands:
)";

const char* const kEnd = R"(
Any other number (0, 1, 12, -1) runs nothing: the session is opened and
closed again.

At the end of a run every document that the command changed is saved (a
drawing back to its file, a new drawing beside it as DrawingN.vsdx); each
file written is printed on standard output, one per line. Every message box
is also written to standard error as "caption: text".

Exit codes:
  0  the command ran (or there was none to run), or --help or --version
  1  an error ended the run; it was reported in a box captioned
     "Application Error" and on standard error, and nothing was saved
)";

} // namespace

std::string HelpText()
{
    std::ostringstream text;
    text << kUsage;
    for (const CommandEntry& command : CommandTable()) {
        text << "  " << std::setw(2) << command.number << "  " << command.description
             << (command.run == nullptr ? " (not available yet)" : "") << '\n';
    }
    text << kEnd;
    return text.str();
}

} // namespace host
