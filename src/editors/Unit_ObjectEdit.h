#pragma once

// Command 5, the object editor: the selected object's number, name,
// normative document, description and copy flag on one tab, the database
// table it defines on the other. "Сохранить" writes everything back into the
// shape and closes the window; "Закрыть" closes it without writing.

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "editors/EditorImages.h"
#include "model/TableDefinition.h"

class QCheckBox;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class TFieldNode;
class TForm2;

class TfrmObjectEdit : public QDialog {
    Q_OBJECT

public:
    // The client area; the window is not resizable.
    static constexpr int ClientWidth = 546;
    static constexpr int ClientHeight = 422;

    explicit TfrmObjectEdit(QWidget* parent = nullptr);
    ~TfrmObjectEdit() override;

    // Property rows 0, 1, 2 and 5 of SelectedShape into the boxes, row 6
    // into the copy box, then the table definition. A missing row reads as
    // empty; nothing selected, a missing user row 0 or a malformed table
    // definition here or in another object raises.
    void LoadObject();
    // Table name, description and rows from user row 0 of SelectedShape
    // (nothing when it is empty), then the foreign-key targets of all other
    // tables of the document.
    void LoadTableDefinition();
    // Appends a row that carries a copy of `field`.
    TFieldNode* AddFieldNode(const TFieldType& field);
    // Writes the table name, description and all rows, in list order, into
    // user row 0 of SelectedShape.
    void StoreTableDefinition();

    // The fields of the rows, first to last.
    std::vector<TFieldType> Fields() const;
    // The row that editing and deleting act on; null when none has the focus.
    TFieldNode* FocusedNode() const;
    const std::vector<std::string>& ForeignKeyTargets() const { return FForeignKeyTargets; }

    QTabWidget* RzPageControl1;
    QWidget* TabSheet1;
    QLineEdit* edtNUMBER;
    QLineEdit* edtNAIM;
    QLineEdit* edtNORM;
    QPlainTextEdit* edtDESC_POLE;
    QCheckBox* cbCOPY;
    QWidget* TabSheet2;
    QLineEdit* edtTABLE;
    QLineEdit* edtDESC;
    QPushButton* RzBitBtn1;
    QPushButton* RzBitBtn2;
    QPushButton* RzBitBtn3;
    QTreeWidget* tvFields;
    QPushButton* btnSAVE;
    QPushButton* btnClose;
    TImageList ImageList1;

public slots:
    // Adds a field through the field dialog and focuses its row.
    void RzBitBtn1Click();
    // Edits the focused row through the field dialog.
    void RzBitBtn2Click();
    // Deletes the focused row once the user answers Yes.
    void RzBitBtn3Click();
    // Writes rows 0, 1, 2, 5, 6 and the table definition, then closes; a
    // write the drawing refuses stops there with its message, the window open.
    void btnSAVEClick();
    void btnCloseClick();

private:
    void FormCreate();
    void FormDestroy();
    QWidget* createPropertiesTab();
    QWidget* createTableTab();
    void createFieldList(QWidget* parent);
    // A field dialog holding the foreign-key targets.
    std::unique_ptr<TForm2> newFieldDialog();
    // Draws the key mark over a PK or FK cell of a key field.
    void tvFieldsAfterCellPaint(QPainter& canvas, const TFieldNode& node, int column, const QRect& cell,
                                const QColor& brushColour);

    std::vector<std::string> FForeignKeyTargets;
};

// Command 5: opens the object editor on SelectedShape, loaded before it is
// shown, and returns when it is closed. Loading errors leave before any
// window shows.
void EditObject();
