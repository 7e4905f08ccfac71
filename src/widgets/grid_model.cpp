#include "widgets/grid_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

namespace spinlog {

static constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shownRows_ || index.column() >= cols_)
        return {};
    const int row = index.row();
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return texts_[at(row, col)];
        case Qt::TextAlignmentRole: return QVariant::fromValue(dataAlign_[col]);
        case Qt::BackgroundRole:
            if (const QRgb rgb = colors_[at(row, col)])
                return QBrush(QColor::fromRgb(rgb));
            // A fixed column looks like the header row.
            if (col < fixedCols_)
                return QGuiApplication::palette().button();
            return {};
        default: return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= cols_)
        return {};
    if (role == Qt::DisplayRole)
        return headers_[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(headerAlign_[section]);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    // Fixed cells are not enabled, so the view never moves its cursor onto
    // them (mouse, drag or keys); the delegate still paints them as normal text.
    if (!index.isValid() || index.column() < fixedCols_)
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !validCell(index.row(), index.column()))
        return false;
    setText(index.row(), index.column(), value.toString());
    return true;
}

void GridModel::setDataRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == dataRows_)
        return;
    if (rows < shownRows_) {
        beginRemoveRows({}, rows, shownRows_ - 1);
        dataRows_ = shownRows_ = rows;
        texts_.resize(std::size_t(rows) * cols_);
        colors_.resize(std::size_t(rows) * cols_);
        endRemoveRows();
        return;
    }
    // New rows start empty and without colours; a shrink of rows the view has
    // not seen yet needs no signal either.
    texts_.resize(std::size_t(rows) * cols_);
    colors_.resize(std::size_t(rows) * cols_);
    dataRows_ = rows;
    if (dataRows_ > shownRows_)
        scheduleFlush();
}

void GridModel::appendRows(const QStringList &texts)
{
    if (cols_ == 0 || texts.isEmpty())
        return;
    const int added = int((texts.size() + cols_ - 1) / cols_);
    const int first = dataRows_;
    setDataRows(dataRows_ + added);
    std::copy(texts.begin(), texts.end(), texts_.begin() + std::ptrdiff_t(at(first, 0)));
}

void GridModel::setCols(int cols)
{
    cols = std::max(cols, 0);
    if (cols == cols_)
        return;
    flush();
    const bool growing = cols > cols_;
    if (growing)
        beginInsertColumns({}, cols_, cols - 1);
    else
        beginRemoveColumns({}, cols, cols_ - 1);

    std::vector<QString> texts(std::size_t(dataRows_) * cols);
    std::vector<QRgb> colors(std::size_t(dataRows_) * cols);
    const int kept = std::min(cols, cols_);
    for (int r = 0; r < dataRows_; ++r) {
        for (int c = 0; c < kept; ++c) {
            texts[std::size_t(r) * cols + c] = std::move(texts_[at(r, c)]);
            colors[std::size_t(r) * cols + c] = colors_[at(r, c)];
        }
    }
    texts_ = std::move(texts);
    colors_ = std::move(colors);
    headers_.resize(cols);
    dataAlign_.resize(cols, kDefaultAlignment);
    headerAlign_.resize(cols, kDefaultAlignment);
    cols_ = cols;
    fixedCols_ = std::min(fixedCols_, cols_);

    if (growing)
        endInsertColumns();
    else
        endRemoveColumns();
}

void GridModel::setFixedCols(int cols)
{
    cols = std::clamp(cols, 0, cols_);
    if (cols == fixedCols_)
        return;
    fixedCols_ = cols;
    if (shownRows_ > 0 && cols_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, cols_ - 1));
}

bool GridModel::validCell(int dataRow, int col) const
{
    return dataRow >= 0 && dataRow < dataRows_ && col >= 0 && col < cols_;
}

QString GridModel::text(int dataRow, int col) const
{
    return validCell(dataRow, col) ? texts_[at(dataRow, col)] : QString();
}

void GridModel::setText(int dataRow, int col, const QString &text)
{
    if (!validCell(dataRow, col))
        return;
    texts_[at(dataRow, col)] = text;
    cellChanged(dataRow, col, Qt::DisplayRole);
}

QString GridModel::headerText(int col) const
{
    return col >= 0 && col < cols_ ? headers_[col] : QString();
}

void GridModel::setHeaderText(int col, const QString &text)
{
    if (col < 0 || col >= cols_)
        return;
    headers_[col] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

QColor GridModel::background(int dataRow, int col) const
{
    if (!validCell(dataRow, col))
        return {};
    const QRgb rgb = colors_[at(dataRow, col)];
    return rgb ? QColor::fromRgb(rgb) : QColor();
}

void GridModel::setBackground(int dataRow, int col, const QColor &color)
{
    if (!validCell(dataRow, col))
        return;
    colors_[at(dataRow, col)] = color.isValid() ? (color.rgb() | 0xFF000000u) : 0;
    cellChanged(dataRow, col, Qt::BackgroundRole);
}

Qt::Alignment GridModel::dataAlignment(int col) const
{
    return col >= 0 && col < cols_ ? dataAlign_[col] : kDefaultAlignment;
}

void GridModel::setDataAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols_)
        return;
    dataAlign_[col] = alignment;
    if (shownRows_ > 0)
        emit dataChanged(index(0, col), index(shownRows_ - 1, col), {Qt::TextAlignmentRole});
}

Qt::Alignment GridModel::headerAlignment(int col) const
{
    return col >= 0 && col < cols_ ? headerAlign_[col] : kDefaultAlignment;
}

void GridModel::setHeaderAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols_)
        return;
    headerAlign_[col] = alignment;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::cellChanged(int dataRow, int col, int role)
{
    // Rows the view has not seen yet need no signal: the flush covers them.
    if (dataRow < shownRows_) {
        const QModelIndex cell = index(dataRow, col);
        emit dataChanged(cell, cell, {role});
    }
}

void GridModel::scheduleFlush()
{
    if (flushQueued_)
        return;
    flushQueued_ = true;
    QMetaObject::invokeMethod(this, &GridModel::flush, Qt::QueuedConnection);
}

void GridModel::flush()
{
    flushQueued_ = false;
    if (dataRows_ <= shownRows_)
        return;
    beginInsertRows({}, shownRows_, dataRows_ - 1);
    shownRows_ = dataRows_;
    endInsertRows();
}

}  // namespace spinlog
