#include "windows/Unit_TWoW.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QSplitter>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/richtext/RichTextFile.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Handler.h"
#include "platform/ui/ModalWindow.h"
#include "platform/ui/WindowPlacement.h"

std::unique_ptr<TfrmTWoW> frmTWoW;

namespace {

// One filter entry; its masks match without regard to case, as on Windows.
const char kOpenFilter[] = "*.TXT, *.RTF|*.TXT;*.RTF";
const int kDefaultLeftWidth = 281;
const int kSplitterWidth = 3;

// The form's placement is kept under "Software\Zef\Forms\TfrmMAIN", a name
// that is not the class's.
const QString kFormKey = QStringLiteral("TfrmMAIN");
const QString kLeftWidth = QStringLiteral("pnlLEFT.Width");

// The hourglass from construction to destruction, also when what runs in
// between fails.
class BusyCursor {
public:
    BusyCursor() { TfrmTWoW::SetBusyCursor(true); }
    ~BusyCursor() { TfrmTWoW::SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QAction* addMenuItem(QMenu& menu, const char* name, const QString& text)
{
    QAction* action = menu.addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QToolButton* dropDownButton(QToolBar& toolbar, const char* name, const QString& text, QMenu* menu)
{
    auto* button = new QToolButton(&toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolbar.addWidget(button);
    return button;
}

QFrame* paneWith(QTextEdit*& editor, const char* panelName, const char* editorName, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(panelName));
    editor = new QTextEdit(panel);
    editor->setObjectName(QString::fromLatin1(editorName));
    editor->setAcceptRichText(true);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor);
    return panel;
}

} // namespace

TfrmTWoW::TfrmTWoW(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmTWoW"));
    setWindowTitle(QStringLiteral("Двухоконный редактор"));
    resize(696, 480);
    buildToolbar();
    buildPanes();
    restorePlacement();
}

void TfrmTWoW::buildToolbar()
{
    RzToolbar1 = addToolBar(QString());
    RzToolbar1->setObjectName(QStringLiteral("RzToolbar1"));
    RzToolbar1->setMovable(false);

    auto* openMenu = new QMenu(this);
    N1 = addMenuItem(*openMenu, "N1", QStringLiteral("Открыть в левый редактор..."));
    N2 = addMenuItem(*openMenu, "N2", QStringLiteral("Открыть в правый редактор..."));
    auto* saveMenu = new QMenu(this);
    MenuItem1 = addMenuItem(*saveMenu, "MenuItem1", QStringLiteral("Сохранить данные левого редатора..."));
    MenuItem2 = addMenuItem(*saveMenu, "MenuItem2", QStringLiteral("Сохранить данные правого редатора..."));

    RzToolButton1 = dropDownButton(*RzToolbar1, "RzToolButton1", QStringLiteral("Открыть файл"), openMenu);
    RzToolbar1->addSeparator();
    RzToolButton2 = dropDownButton(*RzToolbar1, "RzToolButton2", QStringLiteral("Сохранить файл"), saveMenu);

    connect(N1, &QAction::triggered, this, &TfrmTWoW::N1Click);
    connect(N2, &QAction::triggered, this, &TfrmTWoW::N2Click);
    connect(MenuItem1, &QAction::triggered, this, &TfrmTWoW::MenuItem1Click);
    connect(MenuItem2, &QAction::triggered, this, &TfrmTWoW::MenuItem2Click);
}

void TfrmTWoW::buildPanes()
{
    RxSplitter1 = new QSplitter(Qt::Horizontal, this);
    RxSplitter1->setObjectName(QStringLiteral("RxSplitter1"));
    RxSplitter1->setHandleWidth(kSplitterWidth);
    RxSplitter1->setChildrenCollapsible(false);
    pnlLEFT = paneWith(reLEFT, "pnlLEFT", "reLEFT", RxSplitter1);
    pnlRIGHT = paneWith(reRIGHT, "pnlRIGHT", "reRIGHT", RxSplitter1);
    RxSplitter1->addWidget(pnlLEFT);
    RxSplitter1->addWidget(pnlRIGHT);
    // The left pane keeps its width when the window is resized.
    RxSplitter1->setStretchFactor(0, 0);
    RxSplitter1->setStretchFactor(1, 1);
    setCentralWidget(RxSplitter1);
}

void TfrmTWoW::SetBusyCursor(bool flag)
{
    if (flag) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TfrmTWoW::openInto(QTextEdit& pane)
{
    const std::optional<std::string> chosen = ui::OpenFileDialog(kOpenFilter, openDialogFileName_);
    if (!chosen) {
        return;
    }
    openDialogFileName_ = *chosen;
    BusyCursor busy;
    richtext::LoadRichTextFile(*pane.document(), *chosen);
}

void TfrmTWoW::saveFrom(QTextEdit& pane)
{
    const std::optional<std::string> chosen = ui::SaveFileDialog(std::string(), std::string(), saveDialogFileName_);
    if (!chosen) {
        return;
    }
    saveDialogFileName_ = *chosen;
    BusyCursor busy;
    richtext::SaveRichTextFile(*pane.document(), *chosen);
}

void TfrmTWoW::N1Click()
{
    ui::RunHandler(this, [this] { openInto(*reLEFT); });
}

void TfrmTWoW::N2Click()
{
    ui::RunHandler(this, [this] { openInto(*reRIGHT); });
}

void TfrmTWoW::MenuItem1Click()
{
    ui::RunHandler(this, [this] { saveFrom(*reLEFT); });
}

void TfrmTWoW::MenuItem2Click()
{
    ui::RunHandler(this, [this] { saveFrom(*reRIGHT); });
}

// The window's size and place as the user left them; a place that lies off
// every screen is not taken.
void TfrmTWoW::restorePlacement()
{
    const ui::FormSettings settings(kFormKey);
    const QSize stored(settings.value(QStringLiteral("Width"), 0).toInt(), settings.value(QStringLiteral("Height"), 0).toInt());
    if (stored.width() > 0 && stored.height() > 0) {
        resize(stored);
    }
    ui::RestorePlacement(*this, kFormKey);
}

// The stored width is given to the left pane once the window has its size;
// a width that is missing or not a number gives the designed one.
void TfrmTWoW::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (placed_) {
        return;
    }
    placed_ = true;
    bool isNumber = false;
    int width = ui::FormSettings(kFormKey).value(kLeftWidth).toInt(&isNumber);
    if (!isNumber || width < 0) {
        width = kDefaultLeftWidth;
    }
    const int total = RxSplitter1->width() - RxSplitter1->handleWidth();
    RxSplitter1->setSizes({width, std::max(0, total - width)});
}

void TfrmTWoW::storePlacement() const
{
    ui::FormSettings settings(kFormKey);
    settings.setValue(kLeftWidth, RxSplitter1->sizes().value(0, kDefaultLeftWidth));
    // A window is moved by its frame and sized by its inside, as it is restored.
    ui::StorePlacement(*this, kFormKey);
    settings.setValue(QStringLiteral("Width"), width());
    settings.setValue(QStringLiteral("Height"), height());
}

void TfrmTWoW::closeEvent(QCloseEvent* event)
{
    if (placed_) {
        storePlacement();
    }
    QMainWindow::closeEvent(event);
}

void ShowTWoW()
{
    frmTWoW = std::make_unique<TfrmTWoW>();
    struct Release {
        ~Release() { frmTWoW.reset(); }
    } release;
    ui::RunMainWindow(*frmTWoW);
}
