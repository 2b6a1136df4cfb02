#pragma once

// Where a window was left, kept between runs with QSettings under the
// organisation "Zef" and the application "Forms", one group per form: the
// key "Software\Zef\Forms\<form>" of a Windows build.

#include <QPoint>
#include <QSettings>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

namespace ui {

// The settings of one form, for values a form keeps besides its position
// (the width of a pane, its own size).
class FormSettings : public QSettings {
public:
    explicit FormSettings(const QString& formName);
};

// The stored position of `formName`'s window (its frame's top left corner);
// nothing when none is stored or when a window of `frameSize` placed there
// would lie off every screen.
std::optional<QPoint> StoredPlacement(const QString& formName, const QSize& frameSize);

// Moves `window` to its stored position when there is a usable one; true then.
bool RestorePlacement(QWidget& window, const QString& formName);

// Stores the position of `window`'s frame for `formName`.
void StorePlacement(const QWidget& window, const QString& formName);

// Moves `window` so that it stands in the middle of the primary screen.
void CenterOnScreen(QWidget& window);

} // namespace ui
