// The procedure editor on copies of the example drawing: its five fields,
// the rows behind them, saving, closing and a refused write.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "editors/EditorSession.h"
#include "editors/Unit_ProcedureEdit.h"
#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/ui/GuiApplication.h"
#include "platform/ui/Script.h"
#include "support/StderrCapture.h"

namespace {

using editortest::EditorSession;
using editortest::RawRows;

class ProcedureEditor : public testing::Test {
protected:
    void open(const std::string& shapeName = "Process")
    {
        window.reset();
        session.reset();
        session = std::make_unique<EditorSession>(shapeName);
        window = std::make_unique<TfrmProcedureEdit>();
        window->LoadProcedure();
    }
    std::unique_ptr<EditorSession> session;
    std::unique_ptr<TfrmProcedureEdit> window;
};

TEST_F(ProcedureEditor, WindowShowsItsFieldsInOrderWithTheirLabels)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Редактор процедуры"));
    window->adjustSize();
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "a fixed-size dialog";
    const std::vector<std::pair<QString, QWidget*>> fields = {
        {"Номер процедуры:", window->edtNUMBER},
        {"Исполнитель процедуры:", window->edtISP},
        {"Наименование процедуры:", window->edtNAIM},
        {"Описание процедуры:", window->edtDESC},
        {"Ссылка на пункт регламента или режим программы:", window->edtLINK},
    };
    int lastTop = -1;
    window->show();
    for (const auto& [caption, field] : fields) {
        const QLabel* label = nullptr;
        for (const QLabel* candidate : window->findChildren<QLabel*>())
            if (candidate->text() == caption)
                label = candidate;
        ASSERT_NE(label, nullptr) << caption.toStdString();
        EXPECT_EQ(label->buddy(), field);
        EXPECT_GT(field->y(), lastTop) << "top to bottom";
        lastTop = field->y();
    }
    std::vector<const QWidget*> order = {window->edtNUMBER, window->edtISP, window->edtNAIM, window->edtDESC,
                                         window->edtLINK,   window->btnSAVE, window->btnClose};
    EXPECT_EQ(editortest::FocusOrder(window->edtNUMBER, order), order);
    EXPECT_EQ(window->btnSAVE->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(window->btnClose->text(), QStringLiteral("Закрыть"));
    window->reject();
}

TEST_F(ProcedureEditor, LoadsTheFiveRowsUnquoted)
{
    open();
    EXPECT_EQ(window->edtNUMBER->text(), QString());
    EXPECT_EQ(window->edtISP->text(), QStringLiteral("Менеджер по продажам"));
    EXPECT_EQ(window->edtNAIM->text(), QStringLiteral("Принять заказ"));
    EXPECT_EQ(window->edtDESC->toPlainText(), QStringLiteral("Принять заказ по телефону или почте\nи внести его в журнал"));
    EXPECT_EQ(window->edtLINK->text(), QStringLiteral("Регламент продаж, п. 3.1"));
}

TEST_F(ProcedureEditor, SavingWritesAllFiveRowsAndLeavesTheOthers)
{
    struct Case {
        const char* title;
        const char* number;
        const char* performer;
        const char* name;
        const char* description;
        const char* link;
        std::vector<std::string> rows; // raw rows 0 .. 5 afterwards; row 4 and 6 stay empty
    } cases[] = {
        {"new texts", "3.1", "Кладовщик", "Собрать", "строка 1\nстрока 2", "п. 7",
         {"\"3.1\"", "\"Кладовщик\"", "\"Собрать\"", "\"п. 7\"", "\"\"", "\"строка 1\nстрока 2\""}},
        {"empty fields are empty literals", "", "", "", "", "",
         {"\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\""}},
        {"quotes are doubled", "\"1\"", "ООО \"Ромашка\"", "a", "b", "c",
         {"\"\"\"1\"\"\"", "\"ООО \"\"Ромашка\"\"\"", "\"a\"", "\"c\"", "\"\"", "\"b\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        open();
        const std::string rowFourBefore = ReadPropertyFormula(SelectedShape, 4);
        const std::string rowSixBefore = ReadPropertyFormula(SelectedShape, 6);
        window->edtNUMBER->setText(QString::fromUtf8(c.number));
        window->edtISP->setText(QString::fromUtf8(c.performer));
        window->edtNAIM->setText(QString::fromUtf8(c.name));
        window->edtDESC->setPlainText(QString::fromUtf8(c.description));
        window->edtLINK->setText(QString::fromUtf8(c.link));
        window->btnSAVEClick();
        EXPECT_EQ(window->result(), QDialog::Accepted);
        std::vector<std::string> rows = RawRows(SelectedShape);
        rows.resize(6);
        std::vector<std::string> expected = c.rows;
        expected[4] = rowFourBefore;
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(ReadPropertyFormula(SelectedShape, 6), rowSixBefore);
        EXPECT_EQ(ReadProperty(SelectedShape, 1), c.performer) << "reads back as it was typed";
    }
}

TEST_F(ProcedureEditor, SavingUnchangedWritesTheSameTextsAndCloseWritesNothing)
{
    open();
    const std::vector<std::string> before = RawRows(SelectedShape);
    window->edtNAIM->setText("другое");
    window->btnCloseClick();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(RawRows(SelectedShape), before);
    EXPECT_FALSE(session->App().ActiveDocument().IsChanged());

    open();
    window->btnSAVEClick();
    EXPECT_EQ(RawRows(SelectedShape), before);
}

// A stamp has rows 0 to 3 only: rows 0, 1, 2 and 3 are written, row 5 is
// refused with the drawing's message and the window stays open.
TEST_F(ProcedureEditor, ARefusedWriteStopsTheSaveWithTheWindowOpen)
{
    window.reset();
    session.reset();
    session = std::make_unique<EditorSession>("Process");
    visio::Document kalemar = session->App().GetDocuments().Item("kalemar.vss");
    SelectedShape = session->App().ActivePage().Drop(kalemar.GetMasters().ItemU("Stamp"), 1, 1);
    window = std::make_unique<TfrmProcedureEdit>();
    window->LoadProcedure();
    EXPECT_EQ(window->edtDESC->toPlainText(), QString()) << "a missing row reads as empty";
    window->edtNUMBER->setText("3.1");
    window->edtISP->setText("Проверить наличие");
    window->edtLINK->setText("п. 1");
    testsupport::StderrCapture errors;
    window->btnSAVEClick();
    EXPECT_EQ(errors.Text(), ui::GuiApplication::Title() + ": Shape '" + SelectedShape.Name() +
                                 "' has no property row 5\n");
    EXPECT_NE(window->result(), QDialog::Accepted);
    EXPECT_EQ(ReadProperty(SelectedShape, 0), "3.1");
    EXPECT_EQ(ReadProperty(SelectedShape, 1), "Проверить наличие");
    EXPECT_EQ(ReadProperty(SelectedShape, 3), "п. 1");
}

TEST(ProcedureEditorLoading, NothingSelectedLeavesBeforeTheWindowShows)
{
    EditorSession session("");
    try {
        EditProcedure();
        ADD_FAILURE() << "no error";
    } catch (const ui::ScriptError& error) {
        ADD_FAILURE() << "the window was shown: " << error.what();
    } catch (const visio::VisioError& error) {
        EXPECT_EQ(std::string(error.what()), "The shape reference holds no shape (nothing was selected)");
    }
}

} // namespace
