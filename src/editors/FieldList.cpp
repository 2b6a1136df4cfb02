#include "editors/FieldList.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QColor GridColour(208, 208, 208);

QColor cellBackground(const QStyleOptionViewItem& option)
{
    if (option.state & QStyle::State_Selected) {
        const QPalette::ColorGroup group =
            (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
        return option.palette.color(group, QPalette::Highlight);
    }
    if (option.backgroundBrush.style() != Qt::NoBrush)
        return option.backgroundBrush.color();
    return option.palette.color(QPalette::Base);
}

} // namespace

QString tvFieldsGetText(const TFieldType& field, int column)
{
    switch (column) {
    case ColumnName: return QString::fromStdString(field.Name);
    case ColumnType: return QString::fromStdString(field.TypeName);
    case ColumnDescription: return QString::fromStdString(field.Description);
    default: return {};
    }
}

bool HasKeyMark(std::uint8_t keyKind, int column)
{
    if (column == ColumnPK)
        return keyKind == 1 || keyKind == 3;
    if (column == ColumnFK)
        return keyKind == 2 || keyKind == 3;
    return false;
}

TFieldNode::TFieldNode(const TFieldType& field) : Field(field) {}

QVariant TFieldNode::data(int column, int role) const
{
    if (role == Qt::DisplayRole)
        return tvFieldsGetText(Field, column);
    if (role == Qt::TextAlignmentRole && (column == ColumnPK || column == ColumnFK))
        return QVariant::fromValue(Qt::AlignCenter);
    return QTreeWidgetItem::data(column, role);
}

FieldListDelegate::FieldListDelegate(AfterCellPaint afterCellPaint, QObject* parent)
    : QStyledItemDelegate(parent), afterCellPaint_(std::move(afterCellPaint))
{
}

void FieldListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(GridColour);
    const QRect cell = option.rect;
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
    const auto* view = qobject_cast<const QTreeWidget*>(option.widget);
    const auto* node = view == nullptr ? nullptr : dynamic_cast<const TFieldNode*>(view->itemFromIndex(index));
    if (node != nullptr && afterCellPaint_)
        afterCellPaint_(*painter, *node, index.column(), cell, cellBackground(option));
}

QSize FieldListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), FieldRowHeight));
    return size;
}
