#pragma once

// The small images of the object editor (its ImageList1), drawn here at start
// so that no picture file has to ship: 0 a blue diskette, which also serves as
// the key mark of the field list; 1 a blue plus and 2 a grey one; 3 a blue
// triangle pointing up and 4 a grey one; 5 a blue cross and 6 a grey one.

#include <QColor>
#include <QPixmap>
#include <vector>

class QIcon;
class QPainter;

class TImageList {
public:
    static constexpr int ImageSize = 16;

    TImageList();

    int Count() const { return static_cast<int>(images_.size()); }
    // The image at `index`; an empty pixmap out of range.
    QPixmap Image(int index) const;

    // The colour that the transparent parts of an image take when drawn;
    // an invalid colour (the default) leaves them transparent.
    void SetBkColor(const QColor& color) { background_ = color; }
    QColor BkColor() const { return background_; }

    // Draws image `index` with its top left corner at (x, y); nothing out of
    // range.
    void Draw(QPainter& canvas, int x, int y, int index) const;

    // A button icon: image `normal`, and image `disabled` when the button is.
    QIcon Icon(int normal, int disabled) const;

private:
    std::vector<QPixmap> images_;
    QColor background_;
};
