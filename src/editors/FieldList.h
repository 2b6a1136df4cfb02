#pragma once

// The rows of the object editor's field list (tvFields): each row carries one
// field of the table definition, all six values, and shows three of them.

#include <QStyledItemDelegate>
#include <QTreeWidgetItem>

#include <cstdint>
#include <functional>

#include "model/TableDefinition.h"

// The column of the list, in their order.
enum FieldColumn : int { ColumnPK = 0, ColumnFK = 1, ColumnName = 2, ColumnType = 3, ColumnDescription = 4 };
inline constexpr int FieldColumnCount = 5;
inline constexpr int FieldRowHeight = 18;

// The text of a cell: none in the key columns, else the field's name, type or
// description.
QString tvFieldsGetText(const TFieldType& field, int column);

// True when the cell shows the key mark: the PK column of a primary key (key
// kind 1 or 3), the FK column of a foreign key (2 or 3).
bool HasKeyMark(std::uint8_t keyKind, int column);

// One row of the list; its strings are released with it.
class TFieldNode : public QTreeWidgetItem {
public:
    explicit TFieldNode(const TFieldType& field);
    QVariant data(int column, int role) const override;
    // Shows the row anew after its field changed.
    void Repaint() { emitDataChanged(); }

    TFieldType Field;
};

// Paints the list's cells with grid lines, then lets the owner paint over
// each cell (the key marks).
class FieldListDelegate : public QStyledItemDelegate {
public:
    // Called after a cell was painted: the painter, the row's node, the
    // column, the cell and the colour of the cell's background.
    using AfterCellPaint = std::function<void(QPainter&, const TFieldNode&, int, const QRect&, const QColor&)>;

    FieldListDelegate(AfterCellPaint afterCellPaint, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Rows are tall enough for the 16-pixel key mark one pixel below their top.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    AfterCellPaint afterCellPaint_;
};
