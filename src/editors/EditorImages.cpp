#include "editors/EditorImages.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace {

const QColor BlueOutline(22, 74, 160);
const QColor BlueFill(52, 120, 214);
const QColor GreyOutline(128, 128, 128);
const QColor GreyFill(176, 176, 176);

using Drawing = std::function<void(QPainter&, const QColor& outline, const QColor& fill)>;

QPixmap drawImage(const Drawing& drawing, const QColor& outline, const QColor& fill)
{
    QPixmap image(TImageList::ImageSize, TImageList::ImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing(painter, outline, fill);
    return image;
}

void diskette(QPainter& p, const QColor& outline, const QColor& fill)
{
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawPath(body);
    // The label below and the metal shutter above.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9, 5));
    p.setBrush(QColor(225, 232, 240));
    p.drawRect(QRectF(4.5, 2, 6.5, 4));
    p.setBrush(outline);
    p.drawRect(QRectF(8.5, 2.5, 1.5, 3));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(4.5, 10.5), QPointF(11.5, 10.5));
    p.drawLine(QPointF(4.5, 12.5), QPointF(11.5, 12.5));
}

void plus(QPainter& p, const QColor& outline, const QColor& fill)
{
    QPainterPath cross;
    cross.addRect(QRectF(6, 2, 4, 12));
    cross.addRect(QRectF(2, 6, 12, 4));
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawPath(cross.simplified());
}

void triangleUp(QPainter& p, const QColor& outline, const QColor& fill)
{
    const QPolygonF triangle({QPointF(8, 2.5), QPointF(14, 13), QPointF(2, 13)});
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawPolygon(triangle);
}

void cross(QPainter& p, const QColor& outline, const QColor& fill)
{
    QPainterPath bars;
    bars.addRect(QRectF(-1.8, -6.5, 3.6, 13));
    bars.addRect(QRectF(-6.5, -1.8, 13, 3.6));
    QTransform turn;
    turn.translate(8, 8);
    turn.rotate(45);
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawPath(turn.map(bars.simplified()));
}

} // namespace

TImageList::TImageList()
{
    images_.push_back(drawImage(diskette, BlueOutline, BlueFill));
    for (const Drawing& drawing : {Drawing(plus), Drawing(triangleUp), Drawing(cross)}) {
        images_.push_back(drawImage(drawing, BlueOutline, BlueFill));
        images_.push_back(drawImage(drawing, GreyOutline, GreyFill));
    }
}

QPixmap TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return images_[static_cast<std::size_t>(index)];
}

void TImageList::Draw(QPainter& canvas, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    if (background_.isValid())
        canvas.fillRect(x, y, ImageSize, ImageSize, background_);
    canvas.drawPixmap(x, y, images_[static_cast<std::size_t>(index)]);
}

QIcon TImageList::Icon(int normal, int disabled) const
{
    QIcon icon;
    icon.addPixmap(Image(normal), QIcon::Normal);
    icon.addPixmap(Image(disabled), QIcon::Disabled);
    return icon;
}
