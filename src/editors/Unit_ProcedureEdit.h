#pragma once

// Command 6, the procedure editor: the five properties of the selected
// procedure in a small window; "Сохранить" writes all five back.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmProcedureEdit : public QDialog {
    Q_OBJECT

public:
    explicit TfrmProcedureEdit(QWidget* parent = nullptr);

    // Property rows 0, 2, 1, 5 and 3 of SelectedShape into the fields, as
    // unquoted values; a missing row gives an empty field. Nothing selected
    // raises.
    void LoadProcedure();

    QLineEdit* edtNUMBER;
    QLineEdit* edtISP;
    QLineEdit* edtNAIM;
    QPlainTextEdit* edtDESC;
    QLineEdit* edtLINK;
    QPushButton* btnSAVE;
    QPushButton* btnClose;

public slots:
    // Writes rows 0, 1, 2, 3 and 5, changed or not, then closes; a write the
    // drawing refuses stops there with its message, the window open.
    void btnSAVEClick();
    void btnCloseClick();
};

// Command 6: opens the procedure editor on SelectedShape and returns when it
// is closed. Loading errors leave before the window shows.
void EditProcedure();
