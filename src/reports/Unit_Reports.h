#pragma once

// Command 10: the objects or procedures of the drawing listed into a new
// workbook, one row each under a header row.

#include <QDialog>

#include <cstdint>

#include "platform/excel/Excel.h"
#include "platform/visio/Visio.h"

class QPushButton;

namespace ui {
class RadioGroup;
}

// The listing window: which elements, from which pages, and a button that
// makes one listing with what is chosen at that moment.
class TfrmReports : public QDialog {
    Q_OBJECT

public:
    explicit TfrmReports(QWidget* parent = nullptr);

    // One listing with the choices of rgTYPE and rgPAGE.
    void ListElements();

    ui::RadioGroup* rgTYPE;
    ui::RadioGroup* rgPAGE;
    QPushButton* btnSAVE;
    QPushButton* btnClose;

private slots:
    // Makes a listing; an error is shown in a message box and the window
    // stays open.
    void btnSAVEClick();
    void btnCloseClick();
};

// The command entry: shows the listing window modally until it is closed.
void ExecuteReports();

// The spreadsheet application of one listing: its workbooks are written beside
// the active drawing (in the current folder while the drawing has no file)
// with the drawing's name as their title; Visible opens them where the run has
// a desktop. Raises VisioError when there is no drawing session.
excel::Application AttachExcel();

// One listing over VisioApp into a new workbook. `elementType` is the element
// kind listed (0 objects, 1 procedures; 2, switches, lists nothing and writes
// no header); `pages` 0 lists every page of the active document, 1 only the
// active page. Rows follow from row 2 in page order and, on a page, in shape
// order. The workbook is written at the end (BookN.xlsx, its path printed);
// when a call fails midway the rows listed so far are written all the same
// and the failure is raised, followed by the writing failure if that fails too.
void ListElements(int elementType, int pages);

// Writes the row `row` of one element: for kind 0 (object) property rows 0, 1,
// 2 and 3 into columns 1 to 4, for kind 1 (procedure) property rows 0, 1, 2, 3
// and 5 into columns 1 to 5, each the row's unquoted value; nothing for any
// other kind.
void WriteElementRow(excel::Application& excel, const visio::Shape& shape, int row, std::uint8_t kind);
