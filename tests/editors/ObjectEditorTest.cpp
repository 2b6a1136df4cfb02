// The object editor on copies of the example drawing, driven by its controls'
// names and, for the field dialog and the message boxes it opens, by the
// scripted steps that the command line gives.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "editors/EditorSession.h"
#include "editors/FieldList.h"
#include "editors/Unit_ObjectEdit.h"
#include "host/Globals.h"
#include "model/TableDefinition.h"
#include "model/Utils.h"
#include "platform/ui/ControlText.h"
#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

using editortest::EditorSession;
using editortest::QueueSteps;

TFieldType field(const char* name, const char* type, std::uint8_t key, const char* description = "",
                 const char* refTable = "", const char* refField = "")
{
    return TFieldType{name, type, description, key, refTable, refField};
}

std::vector<std::string> printed(const QObject& control, const char* name)
{
    std::vector<std::string> lines;
    ui::ControlLines(control, name, lines);
    return lines;
}

QLabel* labelWithText(const QWidget& window, const QString& text)
{
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->text() == text)
            return label;
    return nullptr;
}

// "Заказ" on page 1: table Orders with Id (PK), CustomerId (FK to
// Customers.Id), OrderDate and Note.
class ObjectEditor : public testing::Test {
protected:
    // A new session on a fresh copy of the example; the earlier one, if any,
    // is closed first, since both set the same process-wide globals.
    void select(const std::string& shapeName = "Object.2", int page = 1)
    {
        window.reset();
        session.reset();
        session = std::make_unique<EditorSession>(shapeName, page);
    }
    void load()
    {
        window = std::make_unique<TfrmObjectEdit>();
        window->LoadObject();
    }
    void open(const std::string& shapeName = "Object.2", int page = 1)
    {
        select(shapeName, page);
        load();
    }
    TFieldType row(int index) const
    {
        return static_cast<TFieldNode*>(window->tvFields->topLevelItem(index))->Field;
    }
    void focusRow(int index)
    {
        window->tvFields->setCurrentItem(window->tvFields->topLevelItem(index));
    }
    std::unique_ptr<EditorSession> session;
    std::unique_ptr<TfrmObjectEdit> window;
};

TEST_F(ObjectEditor, WindowHasItsControlsCaptionsAndSizes)
{
    open();
    TfrmObjectEdit& w = *window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Редактор объекта"));
    EXPECT_EQ(w.size(), QSize(546, 422));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(w.RzPageControl1->tabText(0), QStringLiteral("Основные поля"));
    EXPECT_EQ(w.RzPageControl1->tabText(1), QStringLiteral("Таблица базы данных"));
    EXPECT_EQ(w.edtNUMBER->width(), 121);
    EXPECT_EQ(w.edtDESC_POLE->size(), QSize(489, 73));
    EXPECT_EQ(w.cbCOPY->text(), QStringLiteral("Копия другого объекта (для автоматической нумерации)"));
    EXPECT_EQ(w.RzBitBtn1->text(), QStringLiteral("Добавить поле"));
    EXPECT_EQ(w.RzBitBtn2->text(), QStringLiteral("Редактировать поле"));
    EXPECT_EQ(w.RzBitBtn3->text(), QStringLiteral("Удалить поле"));
    EXPECT_EQ(w.btnSAVE->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(w.btnClose->text(), QStringLiteral("Закрыть"));
    struct LabelCase {
        const char* text;
        bool bold;
    } labels[] = {{"Номер объекта:", true},    {"Наименование объекта:", true}, {"Нормативный документ:", false},
                  {"Описание:", false},        {"Имя таблицы:", true},          {"Описание таблицы:", true}};
    for (const LabelCase& label : labels) {
        const QLabel* found = labelWithText(w, QString::fromUtf8(label.text));
        ASSERT_NE(found, nullptr) << label.text;
        EXPECT_EQ(found->font().bold(), label.bold) << label.text;
    }
}

TEST_F(ObjectEditor, FieldListHasFiveColumnsWholeRowsAndAMovableHeader)
{
    open();
    QTreeWidget& list = *window->tvFields;
    const QStringList captions = {"PK", "FK", "Имя поля", "Тип", "Описание"};
    const int widths[] = {50, 50, 150, 150, 280};
    ASSERT_EQ(list.columnCount(), 5);
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(list.headerItem()->text(column), captions[column]);
        EXPECT_EQ(list.columnWidth(column), widths[column]) << column;
        EXPECT_EQ(list.header()->sectionResizeMode(column), QHeaderView::Interactive);
    }
    EXPECT_TRUE(list.header()->sectionsMovable());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(list.allColumnsShowFocus());
    EXPECT_FALSE(list.rootIsDecorated());
}

TEST_F(ObjectEditor, TabGoesThroughBothPagesThenTheButtons)
{
    open();
    TfrmObjectEdit& w = *window;
    const std::vector<const QWidget*> expected = {w.edtNUMBER, w.edtNAIM,   w.edtNORM,   w.edtDESC_POLE, w.cbCOPY,
                                                  w.edtTABLE,  w.edtDESC,   w.RzBitBtn1, w.RzBitBtn2,    w.RzBitBtn3,
                                                  w.tvFields,  w.btnSAVE,   w.btnClose};
    EXPECT_EQ(editortest::FocusOrder(w.edtNUMBER, expected), expected);
}

TEST_F(ObjectEditor, LoadsTheRowsTheTableAndTheTargetsOfTheOtherTables)
{
    open();
    EXPECT_EQ(window->RzPageControl1->currentIndex(), 0);
    EXPECT_EQ(window->edtNUMBER->text(), QString());
    EXPECT_EQ(window->edtNAIM->text(), QStringLiteral("Заказ"));
    EXPECT_EQ(window->edtNORM->text(), QStringLiteral("Положение о продажах"));
    EXPECT_EQ(window->edtDESC_POLE->toPlainText(), QStringLiteral("Заказ клиента\nс перечнем товаров"));
    EXPECT_FALSE(window->cbCOPY->isChecked());
    EXPECT_EQ(window->edtTABLE->text(), QStringLiteral("Orders"));
    EXPECT_EQ(window->edtDESC->text(), QStringLiteral("Заказы"));
    EXPECT_EQ(printed(*window->tvFields, "tvFields"),
              (std::vector<std::string>{"tvFields=\t\tId\tInteger\tНомер заказа",
                                        "tvFields=\t\tCustomerId\tInteger\tКлиент",
                                        "tvFields=\t\tOrderDate\tDate\tДата заказа",
                                        "tvFields=\t\tNote\tVarChar\tПримечание"}));
    EXPECT_EQ(row(1), field("CustomerId", "Integer", 2, "Клиент", "Customers", "Id"));
    EXPECT_EQ(window->ForeignKeyTargets(),
              (std::vector<std::string>{"Customers.Id", "Customers.Name", "Customers.Phone", "Products.Id",
                                        "Products.Title", "Products.Price", "OrderItems.Id", "OrderItems.OrderId",
                                        "OrderItems.ProductId", "OrderItems.Quantity", "Waybills.Id",
                                        "Waybills.OrderId", "Waybills.ShipDate"}));
    EXPECT_EQ(window->FocusedNode(), nullptr);
}

// The copy on page 2 has no table: empty boxes, no rows, and every table of
// the document is a target (only tables without a name would be left out).
TEST_F(ObjectEditor, AnObjectWithoutATableOpensEmptyAndSavesAnEmptyDefinition)
{
    open("Object", 2);
    EXPECT_TRUE(window->cbCOPY->isChecked());
    EXPECT_EQ(window->edtTABLE->text(), QString());
    EXPECT_EQ(window->tvFields->topLevelItemCount(), 0);
    EXPECT_EQ(window->ForeignKeyTargets().size(), 17u);
    EXPECT_EQ(window->ForeignKeyTargets().front(), "Customers.Id");
    window->btnSAVEClick();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(SelectedShape.CellsSRC(UserSection, 0, 0).FormulaU(), "\"|||\"");
    EXPECT_EQ(ReadPropertyFormula(SelectedShape, 6), "\"1\"");
}

TEST_F(ObjectEditor, CopyBoxIsTickedExactlyByTheValueOne)
{
    struct Case {
        const char* formula;
        bool ticked;
    } cases[] = {{"\"1\"", true}, {"1", true},    {"\"0\"", false}, {"\"\"", false},
                 {"\" 1\"", false}, {"\"1 \"", false}, {"\"11\"", false}, {"2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        select();
        SelectedShape.CellsSRC(PropertySection, 6, 0).SetFormulaU(c.formula);
        load();
        EXPECT_EQ(window->cbCOPY->isChecked(), c.ticked);
        window->btnSAVEClick();
        EXPECT_EQ(ReadPropertyFormula(SelectedShape, 6), c.ticked ? "\"1\"" : "\"0\"");
    }
}

TEST_F(ObjectEditor, SavingUnchangedRewritesTheSameTexts)
{
    open();
    const std::vector<std::string> rowsBefore = editortest::RawRows(SelectedShape);
    const std::string definitionBefore = SelectedShape.CellsSRC(UserSection, 0, 0).FormulaU();
    window->btnSAVEClick();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(editortest::RawRows(SelectedShape), rowsBefore);
    EXPECT_EQ(SelectedShape.CellsSRC(UserSection, 0, 0).FormulaU(), definitionBefore);
}

// Quotes are doubled inside the string literals, so such names neither stop
// the save nor come back changed.
TEST_F(ObjectEditor, SavingWritesEveryBoxAndTheTableAndQuotesComeBackUnchanged)
{
    open();
    window->edtNUMBER->setText("О-2");
    window->edtNAIM->setText("ООО \"Ромашка\"");
    window->edtNORM->setText("Устав");
    window->edtDESC_POLE->setPlainText("две\nстроки");
    window->cbCOPY->setChecked(true);
    window->edtTABLE->setText("Orders2");
    window->edtDESC->setText("Заказы \"новые\"");
    window->btnSAVEClick();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(ReadProperty(SelectedShape, 0), "О-2");
    EXPECT_EQ(ReadPropertyFormula(SelectedShape, 1), "\"ООО \"\"Ромашка\"\"\"");
    EXPECT_EQ(ReadProperty(SelectedShape, 1), "ООО \"Ромашка\"");
    EXPECT_EQ(ReadProperty(SelectedShape, 2), "Устав");
    EXPECT_EQ(ReadProperty(SelectedShape, 5), "две\nстроки");
    EXPECT_EQ(ReadProperty(SelectedShape, 6), "1");
    TTableRec table;
    ReadTableDefinition(SelectedShape, table);
    EXPECT_EQ(table.Name, "Orders2");
    EXPECT_EQ(table.Description, "Заказы \"новые\"");
    EXPECT_EQ(table.Fields.size(), 4u);
    EXPECT_EQ(table.Fields[1], field("CustomerId", "Integer", 2, "Клиент", "Customers", "Id"));
}

TEST_F(ObjectEditor, CloseWritesNothing)
{
    open();
    const std::vector<std::string> rowsBefore = editortest::RawRows(SelectedShape);
    window->edtNAIM->setText("другое");
    window->tvFields->clear();
    window->btnCloseClick();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(editortest::RawRows(SelectedShape), rowsBefore);
    EXPECT_FALSE(session->App().ActiveDocument().IsChanged());
}

struct AddCase {
    const char* title;
    std::vector<std::string> steps;
    std::optional<TFieldType> added; // nothing: the list stays as it was
};

TEST_F(ObjectEditor, AddingAFieldThroughTheDialog)
{
    const AddCase cases[] = {
        {"plain field", {"--set", "edtNAME=Total", "--choose", "cbTYPE=@Float", "--press", "RzBitBtn1"},
         field("Total", "Float", 0)},
        {"primary and foreign key with a chosen target",
         {"--set", "edtNAME=Ref", "--set", "edtDESC=Ссылка", "--choose", "cbTYPE=1", "--tick", "cbPK", "--tick",
          "cbForKey", "--choose", "cbFOR_TABLE=@Products.Id", "--press", "RzBitBtn1"},
         field("Ref", "Integer", 3, "Ссылка", "Products", "Id")},
        {"a typed target splits at its first dot",
         {"--set", "edtNAME=X", "--choose", "cbTYPE=@Char", "--tick", "cbForKey", "--set", "cbFOR_TABLE=A.b.c",
          "--press", "RzBitBtn1"},
         field("X", "Char", 2, "", "A", "b.c")},
        {"a target without a dot gives none", {"--set", "edtNAME=Y", "--choose", "cbTYPE=@Blob", "--tick", "cbForKey",
          "--set", "cbFOR_TABLE=Products", "--press", "RzBitBtn1"},
         field("Y", "Blob", 2)},
        {"a refused OK leaves the dialog open until it is cancelled",
         {"--set", "edtNAME=Z", "--press", "RzBitBtn1", "--answer", "OK", "--press", "RzBitBtn2"}, std::nullopt},
        {"cancel", {"--set", "edtNAME=W", "--choose", "cbTYPE=0", "--press", "RzBitBtn2"}, std::nullopt},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.title);
        open();
        QueueSteps(c.steps);
        window->RzBitBtn1Click();
        EXPECT_TRUE(ui::Script::Instance().Empty()) << "every step was used";
        if (!c.added) {
            EXPECT_EQ(window->tvFields->topLevelItemCount(), 4);
            continue;
        }
        ASSERT_EQ(window->tvFields->topLevelItemCount(), 5);
        EXPECT_EQ(row(4), *c.added);
        EXPECT_EQ(window->FocusedNode(), window->tvFields->topLevelItem(4)) << "the new row has the focus";
        EXPECT_TRUE(window->tvFields->topLevelItem(4)->isSelected());
    }
}

struct EditCase {
    const char* title;
    TFieldType before;
    std::vector<std::string> shownInDialog; // what --print shows when the dialog opens
    std::vector<std::string> steps;         // then
    TFieldType after;
};

// Each case puts its field into the first row of a table of its own, with
// the other tables of the example as targets.
TEST_F(ObjectEditor, EditingFillsTheDialogFromTheFocusedRow)
{
    const std::vector<std::string> look = {"--print", "cbPK", "--print", "cbForKey", "--print", "edtNAME", "--print",
                                           "cbTYPE", "--print", "edtDESC", "--print", "cbFOR_TABLE"};
    const EditCase cases[] = {
        {"key kind 0", field("A", "Date", 0, "d"), {"cbPK=0", "cbForKey=0", "edtNAME=A", "cbTYPE=Date", "edtDESC=d",
          "cbFOR_TABLE="}, {"--press", "RzBitBtn1"}, field("A", "Date", 0, "d")},
        {"key kind 1", field("A", "Integer", 1), {"cbPK=1", "cbForKey=0", "edtNAME=A", "cbTYPE=Integer", "edtDESC=",
          "cbFOR_TABLE="}, {"--press", "RzBitBtn1"}, field("A", "Integer", 1)},
        {"key kind 2 with a target found whatever its case",
         field("A", "Integer", 2, "", "customers", "ID"),
         {"cbPK=0", "cbForKey=1", "edtNAME=A", "cbTYPE=Integer", "edtDESC=", "cbFOR_TABLE=Customers.Id"},
         {"--press", "RzBitBtn1"}, field("A", "Integer", 2, "", "Customers", "Id")},
        {"key kind 3", field("A", "Integer", 3, "", "Products", "Id"),
         {"cbPK=1", "cbForKey=1", "edtNAME=A", "cbTYPE=Integer", "edtDESC=", "cbFOR_TABLE=Products.Id"},
         {"--press", "RzBitBtn1"}, field("A", "Integer", 3, "", "Products", "Id")},
        {"a target not in the list shows empty and is kept",
         field("A", "Integer", 2, "", "Nowhere", "Id"),
         {"cbPK=0", "cbForKey=1", "edtNAME=A", "cbTYPE=Integer", "edtDESC=", "cbFOR_TABLE="},
         {"--set", "edtDESC=new", "--press", "RzBitBtn1"}, field("A", "Integer", 2, "new", "Nowhere", "Id")},
        {"a target with only a table shows empty", field("A", "Integer", 2, "", "Customers", ""),
         {"cbPK=0", "cbForKey=1", "edtNAME=A", "cbTYPE=Integer", "edtDESC=", "cbFOR_TABLE="},
         {"--press", "RzBitBtn1"}, field("A", "Integer", 2, "", "Customers", "")},
        {"a type differing in case is not chosen, and OK then needs one",
         field("A", "integer", 0), {"cbPK=0", "cbForKey=0", "edtNAME=A", "cbTYPE=", "edtDESC=", "cbFOR_TABLE="},
         {"--press", "RzBitBtn1", "--answer", "OK", "--choose", "cbTYPE=@Integer", "--press", "RzBitBtn1"},
         field("A", "Integer", 0)},
        {"unticking the foreign key keeps the target", field("A", "Integer", 2, "", "Customers", "Id"),
         {"cbPK=0", "cbForKey=1", "edtNAME=A", "cbTYPE=Integer", "edtDESC=", "cbFOR_TABLE=Customers.Id"},
         {"--untick", "cbForKey", "--tick", "cbPK", "--press", "RzBitBtn1"},
         field("A", "Integer", 1, "", "Customers", "Id")},
        {"a new target replaces the old", field("A", "Integer", 2, "", "Customers", "Id"),
         {"cbPK=0", "cbForKey=1", "edtNAME=A", "cbTYPE=Integer", "edtDESC=", "cbFOR_TABLE=Customers.Id"},
         {"--choose", "cbFOR_TABLE=@Waybills.OrderId", "--set", "edtNAME= B ", "--press", "RzBitBtn1"},
         field(" B ", "Integer", 2, "", "Waybills", "OrderId")},
        {"cancel changes nothing", field("A", "Date", 1, "d", "x", "y"),
         {"cbPK=1", "cbForKey=0", "edtNAME=A", "cbTYPE=Date", "edtDESC=d", "cbFOR_TABLE="},
         {"--set", "edtNAME=B", "--untick", "cbPK", "--press", "RzBitBtn2"}, field("A", "Date", 1, "d", "x", "y")},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.title);
        select();
        WriteTableDefinition(SelectedShape, "Mine", "", {c.before, field("B", "Char", 0)});
        load();
        focusRow(0);
        std::vector<std::string> steps = look;
        steps.insert(steps.end(), c.steps.begin(), c.steps.end());
        QueueSteps(steps);
        testsupport::StdoutCapture out;
        window->RzBitBtn2Click();
        std::vector<std::string> expectedLines;
        std::string shownText;
        for (const std::string& line : c.shownInDialog)
            shownText += line + "\n";
        EXPECT_EQ(out.Text(), shownText);
        EXPECT_TRUE(ui::Script::Instance().Empty()) << "every step was used";
        EXPECT_EQ(row(0), c.after);
        EXPECT_EQ(row(1), field("B", "Char", 0)) << "the other row is untouched";
    }
}

TEST_F(ObjectEditor, WithoutAFocusedRowEditAndDeleteDoNothing)
{
    open();
    testsupport::StderrCapture errors;
    window->RzBitBtn2Click();
    window->RzBitBtn3Click();
    EXPECT_EQ(errors.Text(), "") << "no dialog and no question";
    EXPECT_EQ(window->tvFields->topLevelItemCount(), 4);
}

TEST_F(ObjectEditor, DeletingAsksAndOnlyYesDeletes)
{
    struct Case {
        const char* answer;
        int rowsLeft;
    } cases[] = {{"Yes", 3}, {"No", 4}, {"Cancel", 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        open();
        focusRow(1);
        QueueSteps({"--answer", c.answer});
        testsupport::StderrCapture errors;
        window->RzBitBtn3Click();
        EXPECT_EQ(errors.Text(), "Сообщение:    Желаете удалить поле ?   \n");
        ASSERT_EQ(window->tvFields->topLevelItemCount(), c.rowsLeft);
        if (c.rowsLeft == 3) {
            EXPECT_EQ(row(1).Name, "OrderDate");
            EXPECT_EQ(window->FocusedNode(), nullptr) << "the focus went with the row";
        } else {
            EXPECT_EQ(row(1).Name, "CustomerId");
        }
        EXPECT_FALSE(session->App().ActiveDocument().IsChanged()) << "nothing is written before the save";
    }
}

// Edits stay in the window until the save writes them all, in list order.
TEST_F(ObjectEditor, SavedDefinitionHoldsTheRowsAsTheListShowsThem)
{
    open();
    focusRow(3);
    QueueSteps({"--answer", "Yes"});
    window->RzBitBtn3Click();
    QueueSteps({"--set", "edtNAME=Sum", "--choose", "cbTYPE=@Float", "--press", "RzBitBtn1"});
    window->RzBitBtn1Click();
    focusRow(0);
    QueueSteps({"--set", "edtDESC=Ключ", "--press", "RzBitBtn1"});
    window->RzBitBtn2Click();
    EXPECT_FALSE(session->App().ActiveDocument().IsChanged());
    window->btnSAVEClick();
    TTableRec table;
    ReadTableDefinition(SelectedShape, table);
    EXPECT_EQ(table.Fields, (std::vector<TFieldType>{field("Id", "Integer", 1, "Ключ"),
                                                     field("CustomerId", "Integer", 2, "Клиент", "Customers", "Id"),
                                                     field("OrderDate", "Date", 0, "Дата заказа"),
                                                     field("Sum", "Float", 0)}));
}

// The key mark is image 0, drawn at the middle of the cell less 8 pixels and
// one pixel below the cell's top, in the PK column of a primary key and the
// FK column of a foreign key.
TEST_F(ObjectEditor, KeyMarksAreDrawnCentredInTheKeyColumns)
{
    select();
    WriteTableDefinition(SelectedShape, "T", "",
                         {field("a", "Integer", 0), field("b", "Integer", 1), field("c", "Integer", 2),
                          field("d", "Integer", 3)});
    load();
    window->show();
    window->RzPageControl1->setCurrentIndex(1);
    QApplication::processEvents();
    QTreeWidget& list = *window->tvFields;
    const QImage shot = list.viewport()->grab().toImage();
    const QImage mark = window->ImageList1.Image(0).toImage();
    // A pixel inside the diskette's body, away from its edges and label.
    const QPoint probe(3, 6);
    const QColor body = mark.pixelColor(probe);
    for (int index = 0; index < 4; ++index) {
        for (int column = 0; column < 3; ++column) {
            const QRect cell = list.visualRect(list.model()->index(index, column));
            const QPoint at(cell.left() + cell.width() / 2 - 8 + probe.x(), cell.top() + 1 + probe.y());
            const bool marked = HasKeyMark(row(index).KeyKind, column);
            EXPECT_EQ(shot.pixelColor(at) == body, marked) << "row " << index << " column " << column;
        }
    }
    window->reject();
}

TEST_F(ObjectEditor, FieldButtonsShowTheirImagesGreyWhenDisabled)
{
    open();
    struct Case {
        QPushButton* button;
        int normal, disabled;
    } cases[] = {{window->RzBitBtn1, 1, 2}, {window->RzBitBtn2, 3, 4}, {window->RzBitBtn3, 5, 6}};
    for (const Case& c : cases) {
        const QImage normal = c.button->icon().pixmap(16, 16, QIcon::Normal).toImage();
        const QImage disabled = c.button->icon().pixmap(16, 16, QIcon::Disabled).toImage();
        EXPECT_EQ(normal, window->ImageList1.Image(c.normal).toImage().convertToFormat(normal.format()));
        EXPECT_EQ(disabled, window->ImageList1.Image(c.disabled).toImage().convertToFormat(disabled.format()));
    }
    EXPECT_EQ(window->ImageList1.Count(), 7);
}

} // namespace

namespace {

using editortest::EditorSession;

struct LoadFailure {
    const char* title;
    const char* shapeName;               // selected on page 1; empty: nothing
    const char* malformedIn;             // a shape given a broken table definition; may be null
    const char* message;
};

// Every failure while loading leaves EditObject before the window is shown:
// a shown window would, with no steps and no display, end with the error
// that it waits for a person instead.
TEST(ObjectEditorLoading, FailuresLeaveBeforeTheWindowShows)
{
    const LoadFailure cases[] = {
        {"nothing selected", "", nullptr, "The shape reference holds no shape (nothing was selected)"},
        {"no user row 0", "Process", nullptr, "Shape 'Process' has no user row 0"},
        {"malformed definition of its own", "Object.2", "Object.2", "'' is not a valid integer value"},
        {"malformed definition in another object", "Object.2", "Object.3", "'x' is not a valid integer value"},
    };
    for (const LoadFailure& c : cases) {
        SCOPED_TRACE(c.title);
        EditorSession session(c.shapeName);
        if (c.malformedIn != nullptr) {
            const std::string broken =
                std::string(c.malformedIn) == "Object.2" ? "\"T|||D|||a***b***c\"" : "\"T|||D|||a***b***c***d***e***x\"";
            session.Shape(c.malformedIn).CellsSRC(UserSection, 0, 0).SetFormulaU(broken);
        }
        try {
            EditObject();
            ADD_FAILURE() << "no error";
        } catch (const ui::ScriptError& error) {
            ADD_FAILURE() << "the window was shown: " << error.what();
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

// The write of row 6 fails: the message names the shape and the row, the
// window stays open, the rows written before keep their new values, and the
// table definition after it is not written.
TEST(ObjectEditorSaving, AMissingRowStopsTheSaveThereWithTheWindowOpen)
{
    testsupport::TempDir folder;
    EditorSession session("Object.2", 1, editortest::ExampleWithoutCopyFlagRow(folder));
    const std::string definitionBefore = SelectedShape.CellsSRC(UserSection, 0, 0).FormulaU();
    TfrmObjectEdit window;
    window.LoadObject();
    EXPECT_FALSE(window.cbCOPY->isChecked()) << "a missing row reads as empty";
    window.edtNUMBER->setText("О-2");
    window.edtNAIM->setText("Заказ клиента");
    window.edtDESC_POLE->setPlainText("новое");
    window.edtTABLE->setText("Changed");
    testsupport::StderrCapture errors;
    window.btnSAVEClick();
    EXPECT_EQ(errors.Text(), ui::GuiApplication::Title() + ": Shape 'Object.2' has no property row 6\n");
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(ReadProperty(SelectedShape, 0), "О-2");
    EXPECT_EQ(ReadProperty(SelectedShape, 1), "Заказ клиента");
    EXPECT_EQ(ReadProperty(SelectedShape, 5), "новое");
    EXPECT_EQ(SelectedShape.CellsSRC(UserSection, 0, 0).FormulaU(), definitionBefore);
}

} // namespace
