#include "platform/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace ui {

namespace {

const QString Organisation = QStringLiteral("Zef");
const QString Application = QStringLiteral("Forms");
const QString LeftKey = QStringLiteral("Left");
const QString TopKey = QStringLiteral("Top");

bool onSomeScreen(const QRect& frame)
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(frame))
            return true;
    return false;
}

} // namespace

FormSettings::FormSettings(const QString& formName) : QSettings(QSettings::UserScope, Organisation, Application)
{
    beginGroup(formName);
}

std::optional<QPoint> StoredPlacement(const QString& formName, const QSize& frameSize)
{
    const FormSettings settings(formName);
    bool leftRead = false;
    bool topRead = false;
    const int left = settings.value(LeftKey).toInt(&leftRead);
    const int top = settings.value(TopKey).toInt(&topRead);
    if (!leftRead || !topRead)
        return std::nullopt;
    // A position saved on a screen that is gone would put the window where
    // nobody can reach it.
    if (!onSomeScreen(QRect(QPoint(left, top), frameSize)))
        return std::nullopt;
    return QPoint(left, top);
}

bool RestorePlacement(QWidget& window, const QString& formName)
{
    const std::optional<QPoint> position = StoredPlacement(formName, window.frameGeometry().size());
    if (!position)
        return false;
    window.move(*position);
    return true;
}

void StorePlacement(const QWidget& window, const QString& formName)
{
    FormSettings settings(formName);
    settings.setValue(LeftKey, window.pos().x());
    settings.setValue(TopKey, window.pos().y());
}

void CenterOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

} // namespace ui
