#include "widgets/grid_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
#include <algorithm>
#include <array>

namespace spinlog {

static constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;
// A cell length that means "held in outside_".
static constexpr std::uint8_t kOutside = 0xFF;

int CellColours::indexOf(QRgb rgb)
{
    const auto found = std::find(palette_.begin(), palette_.end(), rgb);
    if (found != palette_.end())
        return int(found - palette_.begin());
    if (palette_.size() == kIndexed)
        return -1;
    palette_.push_back(rgb);
    return int(palette_.size()) - 1;
}

void CellColours::widen()
{
    rgb_.resize(cells_);
    for (std::size_t i = 0; i < cells_; ++i) rgb_[i] = at(i);
    index_ = {};
    wide_ = true;
}

void CellColours::set(std::size_t cell, QRgb rgb)
{
    const int index = wide_ ? -1 : indexOf(rgb);
    if (index >= 0) {
        setIndex(cell, std::uint8_t(index));
        return;
    }
    if (!wide_)
        widen();
    rgb_[cell] = rgb;
}

void CellColours::set(std::size_t first, const std::uint8_t *index, std::size_t count,
                      const std::vector<QRgb> &palette)
{
    // Each colour of the palette is looked for once, not once per cell.
    std::array<int, 0x100> own{};
    for (std::size_t k = 0; k < palette.size() && k < own.size() && !wide_; ++k)
        own[k] = indexOf(palette[k]);
    if (!wide_ &&
        std::any_of(own.begin(), own.begin() + std::min<std::size_t>(palette.size(), 0x100),
                    [](int i) { return i < 0; }))
        widen();
    for (std::size_t i = 0; i < count; ++i) {
        const bool known = index[i] < palette.size();
        if (wide_)
            rgb_[first + i] = known ? palette[index[i]] : 0;
        else
            setIndex(first + i, std::uint8_t(known ? own[index[i]] : 0));
    }
}

void CellColours::resize(std::size_t cells)
{
    if (wide_) {
        rgb_.resize(cells);
    } else {
        // A cell cut off leaves no colour behind for one added later.
        if (cells < cells_ && cells % 2 == 1)
            setIndex(cells, 0);
        index_.resize((cells + 1) / 2);
    }
    cells_ = cells;
}

void CellColours::clear()
{
    wide_ = false;
    cells_ = 0;
    index_.clear();
    palette_.assign(1, 0);
    rgb_ = {};
}

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
        case Qt::EditRole: return text(row, col);
        case Qt::TextAlignmentRole: return QVariant::fromValue(dataAlign_[col]);
        case Qt::BackgroundRole:
            if (const QRgb rgb = colors_.at(at(row, col)))
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
    const bool seen = rows < shownRows_;
    if (seen)
        beginRemoveRows({}, rows, shownRows_ - 1);
    if (rows == 0) {
        // Every row goes, the space of rewritten ones included; the buffers
        // keep their room for the next fill (a re-sort, a new filter).
        text_.clear();
        rowStart_.clear();
        length_.clear();
        outside_.clear();
        colors_.clear();
        unused_ = 0;
    } else {
        // New rows start empty and without colours.
        const std::size_t cells = std::size_t(rows) * cols_;
        for (std::size_t cell = cells; cell < length_.size(); ++cell) {
            if (length_[cell] == kOutside)
                outside_.erase(cell);
            else
                unused_ += length_[cell];
        }
        rowStart_.resize(std::size_t(rows), std::uint32_t(text_.size()));
        length_.resize(cells);
        colors_.resize(cells);
        compact();
    }
    dataRows_ = rows;
    if (seen) {
        shownRows_ = rows;
        endRemoveRows();
    } else if (dataRows_ > shownRows_) {
        // A shrink of rows the view has not seen yet needs no signal either.
        scheduleFlush();
    }
}

void GridModel::appendRows(QByteArrayView utf8, const std::vector<std::uint32_t> &ends,
                           const std::vector<std::uint8_t> &colours,
                           const std::vector<QRgb> &palette)
{
    if (cols_ == 0 || ends.empty())
        return;
    const int added = int((ends.size() + std::size_t(cols_) - 1) / std::size_t(cols_));
    const int first = dataRows_;
    setDataRows(dataRows_ + added);
    const std::size_t firstCell = at(first, 0);
    const std::size_t base = text_.size();
    std::uint8_t *length = length_.data() + firstCell;
    std::uint32_t from = 0, longest = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const std::uint32_t bytes = ends[i] - from;
        longest = std::max(longest, bytes);
        length[i] = std::uint8_t(bytes);
        from = ends[i];
    }
    if (longest < kOutside) {
        // The usual case: the texts are already laid out as the buffer holds them.
        text_.insert(text_.end(), utf8.begin(), utf8.begin() + ends.back());
        for (int r = first; r < dataRows_; ++r)
            rowStart_[std::size_t(r)] =
                std::uint32_t(base + (r == first ? 0 : ends[at(r - first, 0) - 1]));
    } else {
        from = 0;
        for (std::size_t i = 0; i < ends.size(); ++i) {
            const std::size_t cell = firstCell + i;
            if (i % std::size_t(cols_) == 0)
                rowStart_[cell / std::size_t(cols_)] = std::uint32_t(text_.size());
            appendCell(cell, utf8.sliced(from, ends[i] - from), nullptr);
            from = ends[i];
        }
    }
    if (!colours.empty())
        colors_.set(firstCell, colours.data(), std::min(colours.size(), ends.size()), palette);
}

void GridModel::appendCell(std::size_t cell, QByteArrayView utf8, const QString *text)
{
    if (!outside_.empty())
        outside_.erase(cell);
    // A text UTF-8 cannot carry (a lone surrogate) is kept as it is.
    if (utf8.size() < kOutside && (!text || text->isValidUtf16())) {
        text_.insert(text_.end(), utf8.begin(), utf8.end());
        length_[cell] = std::uint8_t(utf8.size());
    } else {
        outside_[cell] = text ? *text : QString::fromUtf8(utf8);
        length_[cell] = kOutside;
    }
}

std::size_t GridModel::textStart(int dataRow, int col) const
{
    std::size_t start = rowStart_[std::size_t(dataRow)];
    for (std::size_t cell = at(dataRow, 0); cell < at(dataRow, col); ++cell)
        start += length_[cell] == kOutside ? 0 : length_[cell];
    return start;
}

void GridModel::compact()
{
    if (unused_ < 4096 || unused_ < text_.size() / 2)
        return;
    std::vector<char> text;
    text.reserve(text_.size() - unused_);
    for (int r = 0; r < dataRows_; ++r) {
        const std::size_t start = rowStart_[std::size_t(r)];
        const std::size_t end = textStart(r, cols_);
        rowStart_[std::size_t(r)] = std::uint32_t(text.size());
        if (end > start)
            text.insert(text.end(), text_.begin() + std::ptrdiff_t(start),
                        text_.begin() + std::ptrdiff_t(end));
    }
    text_ = std::move(text);
    unused_ = 0;
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

    // Rare (the grids are shaped before they are filled): the cells are
    // read out and written again in the new shape.
    const int kept = std::min(cols, cols_);
    const int rows = dataRows_;
    QStringList texts;
    std::vector<QRgb> colors(std::size_t(rows) * cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            texts << (c < kept ? text(r, c) : QString());
            colors[std::size_t(r) * cols + c] = c < kept ? colors_.at(at(r, c)) : 0;
        }
    }
    text_ = {};
    rowStart_ = {};
    length_ = {};
    outside_.clear();
    unused_ = 0;
    cols_ = cols;
    rowStart_.resize(std::size_t(rows));
    length_.resize(std::size_t(rows) * cols);
    for (int r = 0; r < rows; ++r) {
        rowStart_[std::size_t(r)] = std::uint32_t(text_.size());
        for (int c = 0; c < cols; ++c) {
            const QString &cell = texts[qsizetype(r) * cols + c];
            appendCell(at(r, c), cell.toUtf8(), &cell);
        }
    }
    colors_.clear();
    colors_.resize(colors.size());
    for (std::size_t cell = 0; cell < colors.size(); ++cell) {
        if (colors[cell])
            colors_.set(cell, colors[cell]);
    }
    headers_.resize(cols);
    dataAlign_.resize(cols, kDefaultAlignment);
    headerAlign_.resize(cols, kDefaultAlignment);
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
    if (!validCell(dataRow, col))
        return {};
    const std::size_t cell = at(dataRow, col);
    if (length_[cell] == kOutside)
        return outside_.at(cell);
    // An empty row's start may lie past the buffer's end: never look there.
    if (length_[cell] == 0)
        return QString();
    const char *utf8 = text_.data() + textStart(dataRow, col);
    // One-character texts ("-" for a missing solve: half a history's cells)
    // are shared rather than made for each reading, as an export reads all.
    if (length_[cell] == 1 && static_cast<unsigned char>(*utf8) < 0x80) {
        static const std::array<QString, 0x80> ascii = [] {
            std::array<QString, 0x80> texts;
            for (int c = 0; c < 0x80; ++c) texts[std::size_t(c)] = QString(QChar(c));
            return texts;
        }();
        return ascii[std::size_t(*utf8)];
    }
    return QString::fromUtf8(utf8, length_[cell]);
}

QString GridModel::longestText(int col) const
{
    if (col < 0 || col >= cols_)
        return {};
    int longestRow = -1;
    std::size_t longest = 0;
    for (int r = 0; r < dataRows_; ++r) {
        const std::size_t cell = at(r, col);
        const std::size_t bytes = length_[cell] == kOutside
                                      ? std::size_t(outside_.at(cell).toUtf8().size())
                                      : std::size_t(length_[cell]);
        if (longestRow < 0 || bytes > longest) {
            longestRow = r;
            longest = bytes;
        }
    }
    return longestRow < 0 ? QString() : text(longestRow, col);
}

void GridModel::setText(int dataRow, int col, const QString &text)
{
    if (!validCell(dataRow, col))
        return;
    // The row is written again at the end of the buffer; in place when it
    // already is the last there, as while rows are filled one by one.
    const std::size_t start = rowStart_[std::size_t(dataRow)];
    const std::size_t end = textStart(dataRow, cols_);
    std::vector<char> old;
    if (end > start) {
        old.assign(text_.begin() + std::ptrdiff_t(start), text_.begin() + std::ptrdiff_t(end));
        if (end == text_.size())
            text_.resize(start);
        else
            unused_ += end - start;
    }
    rowStart_[std::size_t(dataRow)] = std::uint32_t(text_.size());
    std::size_t from = 0;
    for (int c = 0; c < cols_; ++c) {
        const std::size_t cell = at(dataRow, c);
        const std::size_t bytes = length_[cell] == kOutside ? 0 : length_[cell];
        if (c == col)
            appendCell(cell, text.toUtf8(), &text);
        else
            text_.insert(text_.end(), old.begin() + std::ptrdiff_t(from),
                         old.begin() + std::ptrdiff_t(from + bytes));
        from += bytes;
    }
    compact();
    cellChanged(dataRow, col, Qt::DisplayRole);
}

void GridModel::setHeaderText(int col, const QString &text)
{
    if (col < 0 || col >= cols_)
        return;
    headers_[col] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setDataAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols_)
        return;
    dataAlign_[col] = alignment;
    if (shownRows_ > 0)
        emit dataChanged(index(0, col), index(shownRows_ - 1, col), {Qt::TextAlignmentRole});
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
