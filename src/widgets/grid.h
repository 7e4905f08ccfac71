#pragma once
// The grid control shared by the type editor and the history list: a
// QTableView over a model that keeps texts and colours in plain vectors.
// Rows and columns count from 0 and include the fixed rows and columns; row 0
// is shown as the view's header and still counts in rows(). A fixed column
// looks like the header and the user can never move the cursor onto it.
// Editing opens only through editCell(): no key or double click starts it.

#include <QByteArrayView>
#include <QColor>
#include <QPointer>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <cstdint>
#include <vector>

namespace spinlog {

class GridModel;

class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);
    ~Grid() override;

    // Size. Setting rows to 1 removes every data row with its colours and keeps
    // the header row; rows + 1 appends an empty row.
    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    int fixedRows() const;  // 1 (the header row)
    int fixedCols() const;  // 0 or 1
    void setFixedCols(int cols);

    // Current cell. The program may put the cursor on the header row (row 0:
    // no data cell is current, as after setRows(1)); a fixed column is
    // refused. Moving the cursor does not scroll; setTopRow() does.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    // Makes (row, col) current, scrolls it into view and gives the grid the focus.
    void selectCell(int row, int col);
    int topRow() const;
    void setTopRow(int row);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    QString text() const;  // the current cell's text
    // The background of a cell; invalid when it has none of its own.
    QColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor &color);

    // Column layout. Widths in twips.
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);    // data rows
    void setFixedAlignment(int col, Qt::Alignment alignment);  // header row
    Qt::Alignment colAlignment(int col) const;
    Qt::Alignment fixedAlignment(int col) const;

    // Appends many rows at once (history fill): texts row-major, cols() per row.
    // Much faster than rows() + 1 and setTextMatrix per cell.
    void appendRows(const QStringList &texts);
    // The same from UTF-8: cell i's text ends at ends[i] in utf8 and starts
    // where the one before ends; colours, when given, a byte per cell that
    // indexes palette (opaque colours, 0 for none). The list's fill: its cells
    // are never QStrings until read.
    void appendRows(QByteArrayView utf8, const std::vector<std::uint32_t> &ends,
                    const std::vector<std::uint8_t> &colours = {},
                    const std::vector<QRgb> &palette = {});

    // Editing, started only by the program: editCell() emits beforeEdit, then
    // opens the editor the handler configured: a drop-down of the items in
    // comboList ("a|b|c"), or free text of at most editMaxLength characters
    // when the list is empty.
    void editCell();
    void setComboList(const QString &items);
    QString comboList() const;
    void setEditMaxLength(int chars);
    int editMaxLength() const;
    // The open editor (QLineEdit or QComboBox), or null.
    QWidget *activeEditor() const;
    // Writes the open editor's value into its cell and closes it.
    void finishEditing();

signals:
    // A left click in a data cell, after the cursor moved there.
    void gridClicked();
    void beforeEdit(int row, int col, bool *cancel);
    // The editor wrote a new text into the cell.
    void cellEdited(int row, int col, const QString &text);
    // Every mouse press over the grid, header included. button 1 left,
    // 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x, y in pixels of the
    // grid widget. Only a left press moves the cursor.
    void mouseDown(int button, int shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class GridDelegate;
    void applyCursor();
    void clampCursor();
    void updateRowHeight();
    void reportPress(QMouseEvent *event, QWidget *from);

    GridModel *model_;
    int row_ = 0;
    int col_ = 0;
    bool syncing_ = false;
    bool leftPressInCell_ = false;
    std::vector<int> colTwips_;  // widths as set, -1 where never set
    QString comboList_;
    int editMaxLength_ = 0;
    QPointer<QWidget> editor_;
};

}  // namespace spinlog
