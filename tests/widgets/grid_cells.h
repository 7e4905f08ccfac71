#pragma once
// A grid's cells as the view shows them, read through its model; row 0 is
// the header row.

#include <QAbstractItemView>
#include <QBrush>

namespace spinlog::test {

inline QString cellText(const QAbstractItemView &grid, int row, int col)
{
    const QAbstractItemModel *model = grid.model();
    return (row == 0 ? model->headerData(col, Qt::Horizontal) : model->index(row - 1, col).data())
        .toString();
}

// Invalid when the cell has no colour of its own.
inline QColor cellColour(const QAbstractItemView &grid, int row, int col)
{
    const QVariant brush = grid.model()->index(row - 1, col).data(Qt::BackgroundRole);
    return brush.isValid() ? brush.value<QBrush>().color() : QColor();
}

// The editor open on the current cell, or null.
inline QWidget *openEditor(const QAbstractItemView &grid)
{
    return grid.indexWidget(grid.currentIndex());
}

}  // namespace spinlog::test
