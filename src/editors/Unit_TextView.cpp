#include "editors/Unit_TextView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/richtext/RichTextFile.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Handler.h"
#include "platform/ui/ModalWindow.h"
#include "platform/ui/WindowPlacement.h"

namespace {

constexpr int NameRowOfObject = 1;
constexpr int PerformerRow = 1;
constexpr int NameRowOfProcedure = 2;
constexpr int DropX = 5;
constexpr int DropY = 5;

visio::Application& session()
{
    if (VisioApp == nullptr) {
        throw visio::VisioError("There is no drawing session to add elements to");
    }
    return *VisioApp;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent)
{
    auto* pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    // Enter in the text must not add an element by itself.
    pushButton->setAutoDefault(false);
    return pushButton;
}

// Without focus a text pane draws its selection in the inactive colours,
// which on most desktops hide it; the viewer shows it as when focused.
void keepSelectionVisible(QTextEdit& pane)
{
    QPalette palette = pane.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    pane.setPalette(palette);
}

} // namespace

visio::Shape DropStencilMaster(const std::string& masterName)
{
    visio::Application& application = session();
    const visio::Master master = application.GetDocuments().Item("kalemar.vss").GetMasters().ItemU(masterName);
    return application.ActiveWindow().GetPage().Drop(master, DropX, DropY);
}

visio::Shape AddObject(const std::string& text)
{
    visio::Shape shape = DropStencilMaster("Document");
    WriteProperty(shape, NameRowOfObject, text);
    return shape;
}

visio::Shape AddProcedure(const std::string& text)
{
    visio::Shape shape = DropStencilMaster("Process");
    WriteProperty(shape, PerformerRow, std::string());
    WriteProperty(shape, NameRowOfProcedure, text);
    return shape;
}

TfrmTextView::TfrmTextView(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Просмотр текстов"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    reTEXT = new QTextEdit(this);
    reTEXT->setObjectName(QStringLiteral("reTEXT"));
    keepSelectionVisible(*reTEXT);

    btnOPEN = button("btnOPEN", QStringLiteral("Открыть  файл..."), this);
    btnOBJECT = button("btnOBJECT", QStringLiteral("Добавить объект"), this);
    btnAddProcedure = button("btnAddProcedure", QStringLiteral("Добавить процедуру"), this);
    RzBitBtn4 = button("RzBitBtn4", QStringLiteral("Закрыть"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnOPEN);
    buttons->addWidget(btnOBJECT);
    buttons->addWidget(btnAddProcedure);
    buttons->addStretch();
    buttons->addWidget(RzBitBtn4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reTEXT, 1);
    layout->addLayout(buttons);

    resize(670, 500);
    ui::CenterOnScreen(*this);

    connect(btnOPEN, &QPushButton::clicked, this, &TfrmTextView::btnOPENClick);
    connect(btnOBJECT, &QPushButton::clicked, this, &TfrmTextView::btnOBJECTClick);
    connect(btnAddProcedure, &QPushButton::clicked, this, &TfrmTextView::btnAddProcedureClick);
    connect(RzBitBtn4, &QPushButton::clicked, this, &TfrmTextView::RzBitBtn4Click);
}

std::string TfrmTextView::SelectedText() const
{
    QString text = reTEXT->textCursor().selectedText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    return text.toStdString();
}

void TfrmTextView::btnOPENClick()
{
    ui::RunHandler(this, [this] {
        const std::optional<std::string> chosen = ui::OpenFileDialog(std::string(), openDialogFileName_);
        if (!chosen) {
            return;
        }
        openDialogFileName_ = *chosen;
        richtext::LoadRichTextFile(*reTEXT->document(), *chosen);
    });
}

void TfrmTextView::btnOBJECTClick()
{
    ui::RunHandler(this, [this] { AddObject(SelectedText()); });
}

void TfrmTextView::btnAddProcedureClick()
{
    ui::RunHandler(this, [this] { AddProcedure(SelectedText()); });
}

void TfrmTextView::RzBitBtn4Click()
{
    ui::RunHandler(this, [this] { reject(); });
}

void ShowTextView()
{
    TfrmTextView window;
    ui::ShowModal(window);
}
