// The field dialog on its own, driven by its controls' names: what it shows
// when it opens, what it refuses, the key kind and target it yields, and
// where it opens next time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

#include "editors/Unit_Field.h"
#include "platform/ui/WindowPlacement.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "editors/EditorSession.h"

using editortest::FocusOrder;

namespace {

const QColor Black(Qt::black);
const QColor ResourceGrey(128, 128, 128);

QColor labelColour(const QLabel& label)
{
    return label.palette().color(QPalette::WindowText);
}

TEST(FieldDialog, OpensEmptyWithTheTypesInOrderAndTheTargetDisabled)
{
    TForm2 dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Добавление нового поля"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    QStringList types;
    for (int i = 0; i < dialog.cbTYPE->count(); ++i)
        types << dialog.cbTYPE->itemText(i);
    EXPECT_EQ(types, QStringList({"Float", "Integer", "Date", "DateTime", "Char", "VarChar", "Blob"}));
    EXPECT_EQ(dialog.cbTYPE->currentIndex(), -1);
    EXPECT_FALSE(dialog.cbTYPE->isEditable());
    EXPECT_TRUE(dialog.cbFOR_TABLE->isEditable());
    EXPECT_FALSE(dialog.cbFOR_TABLE->isEnabled());
    EXPECT_EQ(labelColour(*dialog.Label4), ResourceGrey);
    EXPECT_EQ(dialog.RzBitBtn1->text(), QStringLiteral("ОК"));
    EXPECT_EQ(dialog.RzBitBtn2->text(), QStringLiteral("Отмена"));
    for (const QLabel* label : {dialog.Label1, dialog.Label2, dialog.Label3, dialog.Label4}) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_TRUE(label->font().bold());
        EXPECT_TRUE(label->font().underline());
    }
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "the size is fixed";
}

TEST(FieldDialog, TabGoesThroughTheControlsTopToBottom)
{
    TForm2 dialog;
    const std::vector<const QWidget*> expected = {dialog.edtNAME,  dialog.edtDESC,     dialog.cbTYPE,
                                                  dialog.cbPK,     dialog.cbForKey,    dialog.cbFOR_TABLE,
                                                  dialog.RzBitBtn1, dialog.RzBitBtn2};
    EXPECT_EQ(FocusOrder(dialog.edtNAME, expected), expected);
}

TEST(FieldDialog, ShownItKeepsItsOuterSize)
{
    TForm2 dialog;
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.frameGeometry().size(), QSize(TForm2::OuterWidth, TForm2::OuterHeight));
    dialog.reject();
}

TEST(FieldDialog, KeyKindFollowsTheTwoBoxes)
{
    struct Case {
        bool primary, foreign;
        std::uint8_t keyKind;
    } cases[] = {{false, false, 0}, {true, false, 1}, {false, true, 2}, {true, true, 3}};
    for (const Case& c : cases) {
        TForm2 dialog;
        dialog.cbPK->setChecked(c.primary);
        dialog.cbForKey->setChecked(c.foreign);
        EXPECT_EQ(dialog.GetKeyKind(), c.keyKind) << c.primary << c.foreign;
    }
}

TEST(FieldDialog, TargetTextSplitsAtItsFirstDot)
{
    struct Case {
        const char* text;
        std::optional<TFieldTarget> target;
    } cases[] = {
        {"", std::nullopt},
        {"Customers", std::nullopt},
        {"Customers.Id", TFieldTarget{"Customers", "Id"}},
        {"a.b.c", TFieldTarget{"a", "b.c"}},
        {".Id", TFieldTarget{"", "Id"}},
        {"Customers.", TFieldTarget{"Customers", ""}},
        {".", TFieldTarget{"", ""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TargetOfText(c.text), c.target) << c.text;
        TForm2 dialog;
        dialog.cbFOR_TABLE->setEditText(QString::fromUtf8(c.text));
        EXPECT_EQ(dialog.ResultTarget(), c.target) << c.text << ", taken from the disabled box";
    }
}

// Unticking disables the target and greys its label, but keeps its text: the
// result still has the target.
TEST(FieldDialog, ForeignKeyBoxEnablesTheTargetAndKeepsItsText)
{
    TForm2 dialog;
    dialog.SetTargets({"Customers.Id", "Orders.Id", "Customers.Id"});
    EXPECT_EQ(dialog.cbFOR_TABLE->count(), 3) << "duplicates stay";
    EXPECT_EQ(dialog.cbFOR_TABLE->currentText(), QString());
    dialog.cbForKey->setChecked(true);
    EXPECT_TRUE(dialog.cbFOR_TABLE->isEnabled());
    EXPECT_EQ(labelColour(*dialog.Label4), Black);
    dialog.cbFOR_TABLE->setCurrentIndex(1);
    dialog.cbForKey->setChecked(false);
    EXPECT_FALSE(dialog.cbFOR_TABLE->isEnabled());
    EXPECT_EQ(labelColour(*dialog.Label4), dialog.palette().color(QPalette::Disabled, QPalette::WindowText));
    EXPECT_EQ(dialog.cbFOR_TABLE->currentText(), QStringLiteral("Orders.Id"));
    EXPECT_EQ(dialog.GetKeyKind(), 0);
    EXPECT_EQ(dialog.ResultTarget(), (TFieldTarget{"Orders", "Id"}));
}

// Without a display every message box takes its OK at once; what it said is
// on standard error.
TEST(FieldDialog, OkRefusesAMissingNameThenAMissingType)
{
    const std::string nameMessage = "Предупреждение: Необходимо заполнить имя поля !";
    const std::string typeMessage = "Предупреждение: Необходимо заполнить тип поля !";
    struct Case {
        const char* name;
        int type;
        std::string message; // empty: accepted
    } cases[] = {
        {"", -1, nameMessage},
        {"", 1, nameMessage},
        {"   ", 1, nameMessage},
        {" \t\x01 ", 1, nameMessage},
        {" id", -1, typeMessage},
        {" id ", 1, ""},
        {"Имя", 6, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.name + "' type " + std::to_string(c.type));
        TForm2 dialog;
        dialog.edtNAME->setText(QString::fromUtf8(c.name));
        dialog.cbTYPE->setCurrentIndex(c.type);
        testsupport::StderrCapture errors;
        dialog.btnADDClick();
        const std::string shown = errors.Text();
        if (c.message.empty()) {
            EXPECT_EQ(shown, "");
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.ResultName(), c.name) << "blanks kept";
            EXPECT_EQ(dialog.ResultTypeName(), dialog.cbTYPE->itemText(c.type).toStdString());
        } else {
            EXPECT_EQ(shown, c.message + "\n") << "one message, and only the first that applies";
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.edtNAME->text(), QString::fromUtf8(c.name)) << "what was typed stays";
        }
    }
}

TEST(FieldDialog, TheTypeMessageFollowsOnTheNextOk)
{
    TForm2 dialog;
    testsupport::StderrCapture errors;
    dialog.btnADDClick();
    dialog.edtNAME->setText("Id");
    dialog.btnADDClick();
    dialog.cbTYPE->setCurrentIndex(0);
    dialog.cbForKey->setChecked(true);
    dialog.btnADDClick();
    EXPECT_EQ(errors.Text(), "Предупреждение: Необходимо заполнить имя поля !\n"
                             "Предупреждение: Необходимо заполнить тип поля !\n");
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "a foreign key without a target is accepted";
    EXPECT_EQ(dialog.GetKeyKind(), 2);
    EXPECT_EQ(dialog.ResultTarget(), std::nullopt);
}

TEST(FieldDialog, CancelEndsWithoutAMessageWhateverTheBoxesHold)
{
    TForm2 dialog;
    dialog.show();
    testsupport::StderrCapture errors;
    dialog.RzBitBtn2->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(errors.Text(), "");
}

// The placement lives in a settings folder of the test's own.
class FieldDialogPlacement : public testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(folder.Path().string()));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(folder.Path().string()));
    }
    void TearDown() override
    {
        QSettings("Zef", "Forms").clear();
    }
    // Where a dialog opens, and where it was when closed after `move`.
    QPoint openAndClose(const std::optional<QPoint>& moveTo = std::nullopt)
    {
        TForm2 dialog;
        dialog.show();
        QApplication::processEvents();
        const QPoint opened = dialog.pos();
        if (moveTo)
            dialog.move(*moveTo);
        dialog.RzBitBtn2->click();
        return opened;
    }
    testsupport::TempDir folder;
};

TEST_F(FieldDialogPlacement, OpensWhereItWasClosedLastTime)
{
    const QPoint first = openAndClose(QPoint(40, 30));
    EXPECT_EQ(openAndClose(), QPoint(40, 30));
    QSettings stored("Zef", "Forms");
    EXPECT_EQ(stored.value("TForm2/Left").toInt(), 40);
    EXPECT_EQ(stored.value("TForm2/Top").toInt(), 30);
    (void)first;
}

TEST_F(FieldDialogPlacement, APlacementOffEveryScreenIsIgnored)
{
    const QPoint centred = openAndClose();
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    QSettings stored("Zef", "Forms");
    stored.setValue("TForm2/Left", screen.right() + 500);
    stored.setValue("TForm2/Top", screen.bottom() + 500);
    stored.sync();
    EXPECT_EQ(openAndClose(), centred);
    stored.setValue("TForm2/Left", "not a number");
    stored.sync();
    EXPECT_EQ(openAndClose(), centred);
}

} // namespace
