#pragma once
// The cells behind Grid, held compactly so that a history of 100 000 rows of
// 15 cells stays cheap: the texts as UTF-8, each row's cells back to back in
// one buffer with a byte length per cell, made into QStrings only when read;
// colours as a byte per cell. Model row r is data row r + 1 of the
// grid; the grid's row 0 is this model's horizontal header.
//
// Rows added are not announced to the view one by one: the view learns of
// them in one batch (flush), either when the event loop next runs or as soon
// as the grid needs the view to know them. Until then writes to those rows
// emit nothing, which keeps a row-by-row fill free of signal storms.

#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QRgb>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace spinlog {

// Cell colours, 0 for none: four bits per cell indexing the colours in use,
// as a grid shows a handful of colours over many cells (100 000 history rows
// take 750 KB); past 16 of them, each cell holds its own.
class CellColours {
public:
    QRgb at(std::size_t cell) const
    {
        return wide_ ? rgb_[cell] : palette_[(index_[cell / 2] >> (cell % 2 * 4)) & 0xFu];
    }
    void set(std::size_t cell, QRgb rgb);
    // Gives count cells from first their colours: indexes into palette.
    void set(std::size_t first, const std::uint8_t *index, std::size_t count,
             const std::vector<QRgb> &palette);
    void resize(std::size_t cells);  // new cells have none
    void clear();

private:
    static constexpr std::size_t kIndexed = 16;
    void setIndex(std::size_t cell, std::uint8_t index)
    {
        std::uint8_t &pair = index_[cell / 2];
        const int shift = int(cell % 2 * 4);
        pair = std::uint8_t((pair & ~(0xFu << shift)) | (unsigned(index) << shift));
    }
    // The index of a colour in the palette, added when there is room; -1
    // when there is none (the cells then hold their own).
    int indexOf(QRgb rgb);
    void widen();

    std::size_t cells_ = 0;
    bool wide_ = false;
    std::vector<std::uint8_t> index_;  // two cells a byte, the first in the low bits
    std::vector<QRgb> palette_{0};
    std::vector<QRgb> rgb_;
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // Data rows held, announced to the view or not.
    int dataRows() const { return dataRows_; }
    void setDataRows(int rows);
    // Appends rows given as UTF-8: cols() cells per row, cell i's text
    // ending at ends[i] in utf8 and starting where the one before ends;
    // colours, when given, a byte per cell indexing palette (0 for none).
    void appendRows(QByteArrayView utf8, const std::vector<std::uint32_t> &ends,
                    const std::vector<std::uint8_t> &colours = {},
                    const std::vector<QRgb> &palette = {});
    int cols() const { return cols_; }
    void setCols(int cols);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int cols);

    QString text(int dataRow, int col) const;
    // The longest text of a column, by its UTF-8 bytes (times are digits and
    // separators, so the longest is the widest); empty without data rows.
    QString longestText(int col) const;
    void setText(int dataRow, int col, const QString &text);
    void setHeaderText(int col, const QString &text);

    void setDataAlignment(int col, Qt::Alignment alignment);
    void setHeaderAlignment(int col, Qt::Alignment alignment);

    // Bytes of text held, the space of rewritten rows included: what the
    // texts cost.
    std::size_t textBytes() const { return text_.size(); }

    // Tells the view about every row added since the last flush.
    void flush();

private:
    bool validCell(int dataRow, int col) const;
    std::size_t at(int dataRow, int col) const { return std::size_t(dataRow) * cols_ + col; }
    // Where a cell's text starts in text_.
    std::size_t textStart(int dataRow, int col) const;
    // Appends one cell's text to the row being built at the end of text_.
    void appendCell(std::size_t cell, QByteArrayView utf8, const QString *text);
    // Drops the space of rewritten rows once it outweighs the rows held.
    void compact();
    void scheduleFlush();
    void cellChanged(int dataRow, int col, int role);

    int cols_ = 0;
    int fixedCols_ = 0;
    int dataRows_ = 0;
    int shownRows_ = 0;  // rows the view has been told about
    bool flushQueued_ = false;
    std::vector<char> text_;
    // Where each row's texts start in text_: four bytes a row, as a grid's
    // texts stay far below 4 GB (100 000 history rows take 6 MB).
    std::vector<std::uint32_t> rowStart_;
    // Bytes of each cell in text_; kOutside: the text is in outside_ instead
    // (a long one, or one that UTF-8 cannot carry unchanged).
    std::vector<std::uint8_t> length_;
    std::unordered_map<std::size_t, QString> outside_;
    std::size_t unused_ = 0;  // bytes of text_ no row refers to any more
    CellColours colors_;
    std::vector<QString> headers_;
    std::vector<Qt::Alignment> dataAlign_;
    std::vector<Qt::Alignment> headerAlign_;
};

}  // namespace spinlog
