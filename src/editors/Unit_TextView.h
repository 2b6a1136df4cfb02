#pragma once

// Command 9: a text viewer from whose selected phrases new objects and
// procedures are dropped onto the page of the active window.

#include <QDialog>

#include <string>

#include "platform/visio/Visio.h"

class QPushButton;
class QTextEdit;

// The viewer: a rich-text pane over a bar of buttons. The pane's selection
// stays highlighted while a button has the focus.
class TfrmTextView : public QDialog {
    Q_OBJECT

public:
    explicit TfrmTextView(QWidget* parent = nullptr);

    // The selection of reTEXT as plain text, line breaks as '\n'; empty when
    // nothing is selected.
    std::string SelectedText() const;

    QTextEdit* reTEXT;
    QPushButton* btnOPEN;
    QPushButton* btnOBJECT;
    QPushButton* btnAddProcedure;
    QPushButton* RzBitBtn4;

private slots:
    void btnOPENClick();
    void btnOBJECTClick();
    void btnAddProcedureClick();
    void RzBitBtn4Click();

private:
    // The file last chosen in RzOpenDialog1, which has no filter.
    std::string openDialogFileName_;
};

// The command entry: shows the viewer modally until it is closed.
void ShowTextView();

// Drops the master `masterName` of the open stencil "kalemar.vss" with its
// pin at (5 in, 5 in) on the page of VisioApp's active window and returns the
// new shape; raises what the drawing raises (no such stencil or master).
visio::Shape DropStencilMaster(const std::string& masterName);

// "Добавить объект": a "Document" whose name (property row 1) is `text`.
visio::Shape AddObject(const std::string& text);

// "Добавить процедуру": a "Process" with an empty performer (row 1) and
// `text` as its name (row 2). A write the shape refuses raises, and the
// dropped shape stays on the page.
visio::Shape AddProcedure(const std::string& text);
