#include "windows/Unit_Splash.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "platform/ui/Handler.h"
#include "platform/ui/ModalWindow.h"
#include "windows/Unit_Kart_Version.h"

std::unique_ptr<TfrmSplash> frmSplash;

namespace {

const char kContactAddress[] = "kalemar@example.org";

// The Windows fonts of the design where the machine has them, else fonts
// that Debian ships with the same metrics.
const QStringList kCourierNew{QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                              QStringLiteral("DejaVu Sans Mono")};
const QStringList kMsSansSerif{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                               QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};

const QColor kProductColour(255, 102, 0);
const QColor kMaroon(128, 0, 0);

QFont fontOf(const QStringList& families, int pixels, bool boldItalic = false)
{
    QFont font;
    for (const QString& family : families) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPixelSize(pixels);
    font.setBold(boldItalic);
    font.setItalic(boldItalic);
    return font;
}

// The client area's background: white at the top to yellow at the bottom.
class GradientBackground : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, Qt::white);
        gradient.setColorAt(1, Qt::yellow);
        painter.fillRect(rect(), gradient);
    }
};

// A label that opens the mail program at its address when clicked.
class MailLinkLabel : public QLabel {
public:
    MailLinkLabel(const QString& address, QWidget* parent) : QLabel(address, parent)
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + text()));
        }
    }
};

void setTextColour(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

// A label at its designed place and size, grown where its text needs more,
// as a label that sizes itself to its text does.
QLabel* placeLabel(QLabel* label, const char* name, const QRect& designed, const QFont& font)
{
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QSize needed = label->sizeHint();
    label->setGeometry(QRect(designed.topLeft(), designed.size().expandedTo(needed)));
    return label;
}

} // namespace

TfrmSplash::TfrmSplash(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("О библиотеке \"КАЛЕМАР\""));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(fontOf(kMsSansSerif, 11));
    setFixedSize(608, 310);
    move(298, 204);

    RzBackground1 = new GradientBackground(this);
    RzBackground1->setObjectName(QStringLiteral("RzBackground1"));
    RzBackground1->setGeometry(rect());

    RzLabel2 = placeLabel(new QLabel(QStringLiteral("КАЛЕМАР"), RzBackground1), "RzLabel2", QRect(104, 40, 357, 97),
                          fontOf(kCourierNew, 85, true));
    setTextColour(*RzLabel2, kProductColour);
    RzLabel3 = placeLabel(new QLabel(QStringLiteral("(c)"), RzBackground1), "RzLabel3", QRect(464, 32, 42, 28),
                          fontOf(kCourierNew, 24, true));
    setTextColour(*RzLabel3, kProductColour);
    RzLabel4 = placeLabel(new QLabel(QStringLiteral("Модель рабочего процесса"), RzBackground1), "RzLabel4",
                          QRect(72, 120, 464, 31), fontOf(kCourierNew, 27, true));
    setTextColour(*RzLabel4, kMaroon);
    lbVERSION = placeLabel(new QLabel(QStringLiteral("Версия: 1.0.2.2"), RzBackground1), "lbVERSION",
                           QRect(456, 160, 111, 20), fontOf(kMsSansSerif, 16));
    RzLabel1 = placeLabel(new QLabel(QStringLiteral("Авторы:\nкоманда КАЛЕМАР\nдля Linux"), RzBackground1),
                          "RzLabel1", QRect(16, 208, 106, 60), fontOf(kMsSansSerif, 16));

    QFont linkFont = fontOf(kMsSansSerif, 16);
    linkFont.setUnderline(true);
    RzURLLabel1 = placeLabel(new MailLinkLabel(QString::fromLatin1(kContactAddress), RzBackground1), "RzURLLabel1",
                             QRect(16, 272, 138, 20), linkFont);
    setTextColour(*RzURLLabel1, palette().color(QPalette::Highlight));

    RzButton1 = new QPushButton(QStringLiteral("Закрыть..."), RzBackground1);
    RzButton1->setObjectName(QStringLiteral("RzButton1"));
    RzButton1->setGeometry(504, 280, 91, 25);
    connect(RzButton1, &QPushButton::clicked, this, &TfrmSplash::RzButton1Click);
}

void TfrmSplash::RzButton1Click()
{
    ui::RunHandler(this, [this] { accept(); });
}

void ShowAbout()
{
    frmSplash = std::make_unique<TfrmSplash>();
    struct Release {
        ~Release() { frmSplash.reset(); }
    } release;
    frmSplash->lbVERSION->setText(QString::fromStdString(VersionCaption()));
    frmSplash->lbVERSION->resize(frmSplash->lbVERSION->size().expandedTo(frmSplash->lbVERSION->sizeHint()));
    ui::ShowModal(*frmSplash);
}
