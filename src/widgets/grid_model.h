#pragma once
// The cells behind Grid: texts and colours in flat row-major vectors, one
// entry per cell and no object per cell, so a history of 100 000 rows stays
// cheap. Model row r is data row r + 1 of the grid; the grid's row 0 is this
// model's horizontal header.
//
// Rows added are not announced to the view one by one: the view learns of
// them in one batch (flush), either when the event loop next runs or as soon
// as the grid needs the view to know them. Until then writes to those rows
// emit nothing, which keeps a row-by-row fill free of signal storms.

#include <QAbstractTableModel>
#include <QColor>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <vector>

namespace spinlog {

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
    void appendRows(const QStringList &texts);
    int cols() const { return cols_; }
    void setCols(int cols);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int cols);

    QString text(int dataRow, int col) const;
    void setText(int dataRow, int col, const QString &text);
    QString headerText(int col) const;
    void setHeaderText(int col, const QString &text);
    QColor background(int dataRow, int col) const;
    void setBackground(int dataRow, int col, const QColor &color);

    Qt::Alignment dataAlignment(int col) const;
    void setDataAlignment(int col, Qt::Alignment alignment);
    Qt::Alignment headerAlignment(int col) const;
    void setHeaderAlignment(int col, Qt::Alignment alignment);

    // Tells the view about every row added since the last flush.
    void flush();

private:
    bool validCell(int dataRow, int col) const;
    std::size_t at(int dataRow, int col) const { return std::size_t(dataRow) * cols_ + col; }
    void scheduleFlush();
    void cellChanged(int dataRow, int col, int role);

    int cols_ = 0;
    int fixedCols_ = 0;
    int dataRows_ = 0;
    int shownRows_ = 0;  // rows the view has been told about
    bool flushQueued_ = false;
    std::vector<QString> texts_;
    std::vector<QRgb> colors_;  // 0: the cell has no colour of its own
    std::vector<QString> headers_;
    std::vector<Qt::Alignment> dataAlign_;
    std::vector<Qt::Alignment> headerAlign_;
};

}  // namespace spinlog
