#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <stdexcept>

#include "platform/ui/Handler.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/ModalWindow.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Script.h"
#include "support/StderrCapture.h"

namespace ui {
namespace {

// A window with one control of each kind that steps drive, and buttons whose
// handlers record what they saw.
class TestWindow : public QDialog {
public:
    explicit TestWindow(QWidget* parent = nullptr, const QString& caption = QStringLiteral("Нумерация элементов"))
        : QDialog(parent)
    {
        setWindowTitle(caption);
        auto* layout = new QVBoxLayout(this);
        tbCONST = add<QLineEdit>(layout, "tbCONST");
        cbCOPY = add<QCheckBox>(layout, "cbCOPY");
        RzRadioGroup1 = add<RadioGroup>(layout, "RzRadioGroup1");
        RzRadioGroup1->AddItem(QStringLiteral("&Объекты"));
        RzRadioGroup1->AddItem(QStringLiteral("Процедуры"));
        cbTYPE = add<QComboBox>(layout, "cbTYPE");
        cbTYPE->addItems({QStringLiteral("Float"), QStringLiteral("Integer"), QStringLiteral("VarChar")});
        reTEXT = add<QTextEdit>(layout, "reTEXT");
        reTEXT->setPlainText(QStringLiteral("Принять заказ у клиента"));
        edtLINK = add<QLineEdit>(layout, "edtLINK");
        edtLINK->setReadOnly(true);
        addButton(layout, "btnSAVE", [this] { save(); })->setText(QStringLiteral("&Сохранить"));
        addButton(layout, "btnFAIL", [] { throw std::runtime_error("Shape 'Process.12' has no property row 6"); });
        addButton(layout, "btnASK", [this] {
            answers.push_back(MessageBox("Сохранить?", "Сообщение", MB_YESNOCANCEL, MB_ICONQUESTION));
        });
        addButton(layout, "btnNESTED", [this] { openNested(); });
        addButton(layout, "btnOFF", [] {})->setEnabled(false);
        QObject::connect(tbCONST, &QLineEdit::textEdited, [this] { ++edits; });
    }

    QLineEdit* tbCONST;
    QCheckBox* cbCOPY;
    RadioGroup* RzRadioGroup1;
    QComboBox* cbTYPE;
    QTextEdit* reTEXT;
    QLineEdit* edtLINK;

    int saves = 0;
    int edits = 0;
    std::string savedMark;
    std::vector<int> answers;
    int nestedResult = -1;
    QString nestedText;

private:
    template <typename Control>
    Control* add(QVBoxLayout* layout, const char* name)
    {
        auto* control = new Control(this);
        control->setObjectName(QString::fromLatin1(name));
        layout->addWidget(control);
        return control;
    }

    template <typename Handler>
    QPushButton* addButton(QVBoxLayout* layout, const char* name, Handler handler)
    {
        QPushButton* button = add<QPushButton>(layout, name);
        QObject::connect(button, &QPushButton::clicked, [this, handler] { RunHandler(this, handler); });
        return button;
    }

    void save()
    {
        ++saves;
        savedMark = reTEXT->textCursor().selectedText().toStdString();
        accept();
    }

    void openNested()
    {
        TestWindow inner(this, QStringLiteral("Поле"));
        nestedResult = ShowModal(inner);
        nestedText = inner.tbCONST->text();
    }
};

class ModalWindowTest : public testing::Test {
protected:
    void SetUp() override { Script::Instance().Clear(); }
    void TearDown() override { Script::Instance().Clear(); }

    // Queues steps written as on the command line.
    static void give(const std::vector<std::string>& args)
    {
        for (std::size_t i = 0; i < args.size();) {
            std::optional<ScriptStep> step = ParseScriptArgument(args, i);
            ASSERT_TRUE(step) << args[i];
            Script::Instance().Add(*step);
        }
    }

    static std::string scriptErrorOf(QDialog& window)
    {
        try {
            ShowModal(window);
        } catch (const ScriptError& error) {
            return error.what();
        }
        return "no ScriptError";
    }
};

TEST_F(ModalWindowTest, StepsDriveTheControlsAsAPersonWould)
{
    TestWindow window;
    give({"--set", "tbCONST=1.", "--tick", "cbCOPY", "--choose", "RzRadioGroup1=1", "--choose", "cbTYPE=@VarChar",
          "--mark", "reTEXT=заказ", "--press", "btnSAVE"});
    EXPECT_EQ(ShowModal(window), QDialog::Accepted);
    EXPECT_EQ(window.saves, 1);
    EXPECT_EQ(window.tbCONST->text(), QStringLiteral("1."));
    EXPECT_EQ(window.edits, 1); // typed, not set behind the control's back
    EXPECT_TRUE(window.cbCOPY->isChecked());
    EXPECT_EQ(window.RzRadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(window.cbTYPE->currentIndex(), 2);
    EXPECT_EQ(window.savedMark, "заказ");
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ModalWindowTest, ChoosesByItemTextAndUnticks)
{
    TestWindow window;
    window.cbCOPY->setChecked(true);
    give({"--choose", "RzRadioGroup1=@Объекты", "--untick", "cbCOPY", "--untick", "cbCOPY", "--mark", "reTEXT=",
          "--press", "btnSAVE"});
    EXPECT_EQ(ShowModal(window), QDialog::Accepted);
    EXPECT_EQ(window.RzRadioGroup1->ItemIndex(), 0);
    EXPECT_FALSE(window.cbCOPY->isChecked());
    EXPECT_EQ(window.savedMark, "");
}

TEST_F(ModalWindowTest, MarksAPhraseOverSeveralLinesWhateverItsCase)
{
    TestWindow window;
    window.reTEXT->setPlainText(QStringLiteral("Принять заказ\nу клиента\nи проверить"));
    give({"--mark", "reTEXT=ЗАКАЗ\nу клиента\nи", "--press", "btnSAVE"});
    EXPECT_EQ(ShowModal(window), QDialog::Accepted);
    EXPECT_EQ(window.savedMark, "заказ\u2029у клиента\u2029и");
}

TEST_F(ModalWindowTest, AStepTheWindowCannotTakeIsAScriptErrorNamingStepAndWindow)
{
    struct Case {
        std::vector<std::string> steps;
        std::string message;
    };
    const Case cases[] = {
        {{"--set", "tbCONST=1", "--press", "btnSAV"},
         "step 2 (--press btnSAV): window 'Нумерация элементов' has no control 'btnSAV'"},
        {{"--answer", "OK"}, "step 1 (--answer OK): window 'Нумерация элементов' is open, and no message box is"},
        {{"--file", "a.txt"}, "step 1 (--file a.txt): window 'Нумерация элементов' is open, and no file dialog is"},
        {{"--tick", "btnSAVE"}, "step 1 (--tick btnSAVE): window 'Нумерация элементов' control 'btnSAVE' is not a check box"},
        {{"--choose", "RzRadioGroup1=2"},
         "step 1 (--choose RzRadioGroup1=2): window 'Нумерация элементов' control 'RzRadioGroup1' has no item 2 (it has 2)"},
        {{"--choose", "cbTYPE=@Blob"},
         "step 1 (--choose cbTYPE=@Blob): window 'Нумерация элементов' control 'cbTYPE' has no item 'Blob'"},
        {{"--press", "btnOFF"}, "step 1 (--press btnOFF): window 'Нумерация элементов' control 'btnOFF' is disabled"},
        {{"--press", "tbCONST"}, "step 1 (--press tbCONST): window 'Нумерация элементов' control 'tbCONST' is not a button"},
        {{"--set", "edtLINK=x"}, "step 1 (--set edtLINK=x): window 'Нумерация элементов' control 'edtLINK' is read-only"},
        {{"--set", "cbTYPE=x"},
         "step 1 (--set cbTYPE=x): window 'Нумерация элементов' control 'cbTYPE' is a list without a text: use --choose"},
        {{"--mark", "reTEXT=Склад"},
         "step 1 (--mark reTEXT=Склад): window 'Нумерация элементов' control 'reTEXT' has no text 'Склад'"},
    };
    for (const Case& c : cases) {
        Script::Instance().Clear();
        TestWindow window;
        give(c.steps);
        EXPECT_EQ(scriptErrorOf(window), c.message);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.saves, 0);
    }
}

// A window with the controls that only print steps read: a field list, a
// page control and a splitter between two panes.
class ListWindow : public QDialog {
public:
    ListWindow()
    {
        auto* layout = new QVBoxLayout(this);
        tvFields = new QTreeWidget(this);
        tvFields->setObjectName(QStringLiteral("tvFields"));
        tvFields->setColumnCount(5);
        tvFields->setRootIsDecorated(false);
        layout->addWidget(tvFields);
        pages = new QTabWidget(this);
        pages->setObjectName(QStringLiteral("RzPageControl1"));
        pages->addTab(new QWidget, QStringLiteral("Основные поля"));
        pages->addTab(new QWidget, QStringLiteral("Таблица базы данных"));
        layout->addWidget(pages);
        splitter = new QSplitter(this);
        splitter->setObjectName(QStringLiteral("RxSplitter1"));
        splitter->addWidget(new QTextEdit);
        splitter->addWidget(new QTextEdit);
        layout->addWidget(splitter);
        resize(600, 400);
    }

    void addRow(const QStringList& cells) { tvFields->addTopLevelItem(new QTreeWidgetItem(cells)); }

    QTreeWidget* tvFields;
    QTabWidget* pages;
    QSplitter* splitter;
};

TEST_F(ModalWindowTest, PrintWritesWhatEachControlShows)
{
    TestWindow window;
    window.cbTYPE->setCurrentIndex(1);
    window.reTEXT->setPlainText(QStringLiteral("Первая строка\nвторая"));
    give({"--set", "tbCONST=О-", "--tick", "cbCOPY", "--choose", "RzRadioGroup1=1", "--print", "tbCONST", "--print",
          "cbCOPY", "--print", "RzRadioGroup1", "--print", "cbTYPE", "--print", "reTEXT", "--print", "btnSAVE",
          "--print", "btnOFF", "--print", "edtLINK"});
    testsupport::StdoutCapture capture;
    ShowModal(window);
    EXPECT_EQ(capture.Text(), "tbCONST=О-\ncbCOPY=1\nRzRadioGroup1=1\ncbTYPE=Integer\n"
                              "reTEXT=Первая строка\\nвторая\nbtnSAVE=Сохранить\nbtnOFF=\nedtLINK=\n");
}

TEST_F(ModalWindowTest, PrintWritesAListRowByRowAndChoosesARowByAnyCell)
{
    ListWindow window;
    window.addRow({"", "", "id", "Integer", "Ключ"});
    window.addRow({"", "", "name", "VarChar", ""});
    give({"--print", "tvFields", "--choose", "tvFields=@name", "--choose", "RzPageControl1=1", "--print",
          "RzPageControl1", "--set", "RxSplitter1=120", "--print", "RxSplitter1"});
    testsupport::StdoutCapture capture;
    ShowModal(window);
    EXPECT_EQ(capture.Text(), "tvFields=\t\tid\tInteger\tКлюч\ntvFields=\t\tname\tVarChar\t\n"
                              "RzPageControl1=1\nRxSplitter1=120\n");
    EXPECT_EQ(window.tvFields->currentIndex().row(), 1);

    Script::Instance().Clear();
    ListWindow empty;
    give({"--print", "tvFields"});
    testsupport::StdoutCapture nothing;
    ShowModal(empty);
    EXPECT_EQ(nothing.Text(), "");
}

TEST_F(ModalWindowTest, HeadlessWithoutStepsRefusesToWait)
{
    TestWindow window;
    EXPECT_EQ(scriptErrorOf(window),
              "window 'Нумерация элементов' waits for a person: run with a display or give steps (kalemar --help)");
}

TEST_F(ModalWindowTest, WhenTheStepsRunOutTheWindowIsClosedByItsCloseBox)
{
    TestWindow window;
    give({"--set", "tbCONST=5"});
    EXPECT_EQ(ShowModal(window), QDialog::Rejected);
    EXPECT_EQ(window.tbCONST->text(), QStringLiteral("5"));
    EXPECT_EQ(window.saves, 0);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ModalWindowTest, AHandlerErrorIsShownAndTheWindowStaysOpen)
{
    TestWindow window;
    give({"--press", "btnFAIL", "--set", "tbCONST=after", "--press", "btnSAVE"});
    testsupport::StderrCapture capture;
    EXPECT_EQ(ShowModal(window), QDialog::Accepted);
    EXPECT_EQ(capture.Text(), "test_ui: Shape 'Process.12' has no property row 6\n");
    EXPECT_EQ(window.saves, 1);
    EXPECT_EQ(window.tbCONST->text(), QStringLiteral("after"));
}

TEST_F(ModalWindowTest, AMessageBoxFromAHandlerTakesTheNextAnswerStep)
{
    TestWindow window;
    give({"--press", "btnASK", "--answer", "No", "--press", "btnASK", "--answer", "cancel", "--press", "btnASK",
          "--press", "btnSAVE"});
    testsupport::StderrCapture capture;
    EXPECT_EQ(ShowModal(window), QDialog::Accepted);
    // Without an answer step the headless box takes its first button.
    EXPECT_EQ(window.answers, (std::vector<int>{IDNO, IDCANCEL, IDYES}));
    EXPECT_EQ(capture.Text(), "Сообщение: Сохранить?\nСообщение: Сохранить?\nСообщение: Сохранить?\n");
}

TEST_F(ModalWindowTest, AWindowOpenedByAStepTakesTheFollowingSteps)
{
    TestWindow window;
    give({"--press", "btnNESTED", "--set", "tbCONST=inner", "--press", "btnSAVE", "--set", "tbCONST=outer", "--press",
          "btnSAVE"});
    EXPECT_EQ(ShowModal(window), QDialog::Accepted);
    EXPECT_EQ(window.nestedResult, QDialog::Accepted);
    EXPECT_EQ(window.nestedText, QStringLiteral("inner"));
    EXPECT_EQ(window.tbCONST->text(), QStringLiteral("outer"));
}

TEST_F(ModalWindowTest, AScriptErrorInAnInnerWindowEndsTheOuterOneToo)
{
    TestWindow window;
    give({"--press", "btnNESTED", "--press", "btnNOPE", "--press", "btnSAVE"});
    EXPECT_EQ(scriptErrorOf(window), "step 2 (--press btnNOPE): window 'Поле' has no control 'btnNOPE'");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.saves, 0);
    EXPECT_FALSE(Script::Instance().Empty()); // step 3 never ran
}

TEST_F(ModalWindowTest, AnInnerWindowLeftOpenWhenTheStepsRunOutIsClosedToo)
{
    TestWindow window;
    give({"--press", "btnNESTED", "--set", "tbCONST=inner"});
    EXPECT_EQ(ShowModal(window), QDialog::Rejected);
    EXPECT_EQ(window.nestedResult, QDialog::Rejected);
    EXPECT_EQ(window.nestedText, QStringLiteral("inner"));
}

TEST_F(ModalWindowTest, MainWindowRunsUntilClosed)
{
    TestWindow window;
    give({"--set", "tbCONST=main", "--press", "btnSAVE"});
    RunMainWindow(window);
    EXPECT_EQ(window.saves, 1);
    EXPECT_FALSE(window.isVisible());

    Script::Instance().Clear();
    TestWindow unattended;
    EXPECT_THROW(RunMainWindow(unattended), ScriptError);
}

} // namespace
} // namespace ui
