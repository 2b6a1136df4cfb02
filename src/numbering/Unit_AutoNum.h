#pragma once

// Command 7: element numbers for the objects or procedures of the active page,
// from a fixed part and the shapes' positions, carried on to the objects' copies.

#include <QDialog>

#include <cstdint>
#include <string>

class QLineEdit;
class QPushButton;

namespace ui {
class RadioGroup;
}

// The numbering window: the fixed part, the kind of element, and a button that
// runs one pass with what is shown at that moment.
class TfrmAutoNum : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAutoNum(QWidget* parent = nullptr);

    // One pass (0 objects, 1 procedures) with the current text of tbCONST.
    void NumberElements(std::uint8_t mode);

    QLineEdit* tbCONST;
    ui::RadioGroup* RzRadioGroup1;
    QPushButton* btnSAVE;
    QPushButton* btnClose;

private slots:
    // Runs a pass in the chosen mode; an error is shown in a message box and the
    // window stays open.
    void btnSAVEClick();
    void btnCloseClick();
};

// The command entry: shows the numbering window modally until it is closed.
void ExecuteAutoNum();

// One numbering pass over the active page of VisioApp: mode 0 numbers the
// objects (names containing "Document" or "Object", copy flag not "1") and
// carries each new number to the object's copies on every page; mode 1 numbers
// the procedures (names containing "Process"). A pin formula whose key is not
// an integer stops the pass before anything is written (EConvertError); a
// write that the drawing refuses stops it with the numbers written so far kept.
void NumberElements(std::uint8_t mode, const std::string& fixedPart);

// The position key of a pin formula: the integer before its first point, else
// before its first space ("105.7 mm" gives 105, "-3.5 mm" -3); EConvertError
// "'<key text>' is not a valid integer value" when that is not an integer.
int PositionKey(const std::string& pinFormula);

// The element number as written: the string literal of the fixed part followed
// by the ordinal, with the first space of that text removed.
std::string ElementNumberValue(const std::string& fixedPart, int ordinal);

// Writes `newValue` into row 0 of every copy in the active document whose raw
// rows 1 and 0 equal `objectName` and `previousNumber`, in document order; fails
// at the first write the drawing refuses, with earlier copies written.
void RenumberCopies(const std::string& previousNumber, const std::string& objectName,
                    const std::string& newValue);
