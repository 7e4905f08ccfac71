#pragma once
// The grid control shared by the type editor and the history list: a
// QTableView over a model that keeps texts and colours in plain vectors.
// Rows and columns count from 0 and include the header row and the fixed
// column; row 0 is shown as the view's header. A fixed column
// looks like the header and the user can never move the cursor onto it.
// Editing opens only through editCell(): no key or double click starts it.

#include <QByteArrayView>
#include <QPointer>
#include <QRgb>
#include <QString>
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
    // the header row.
    void setRows(int rows);
    void setCols(int cols);
    void setFixedCols(int cols);  // 0 or 1

    // Current cell. The program may put the cursor on the header row (row 0:
    // no data cell is current, as after setRows(1)); a fixed column is
    // refused. Moving the cursor from here does not scroll; setTopRow() does,
    // and so does a key that moves it.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    // Makes (row, col) current, scrolls it into view and gives the grid the focus.
    void selectCell(int row, int col);
    void setTopRow(int row);

    // Row 0 is the header row.
    void setTextMatrix(int row, int col, const QString &text);

    // Column layout. Widths in twips.
    void setColWidth(int col, int twips);
    // The longest text of a column's data rows (see GridModel::longestText).
    QString longestText(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);    // data rows
    void setFixedAlignment(int col, Qt::Alignment alignment);  // header row

    // Appends many rows at once (the history's fill): cell i's text ends at
    // ends[i] in utf8 and starts where the one before ends; colours, when
    // given, a byte per cell that indexes palette (opaque colours, 0 for
    // none). The cells are never QStrings until read.
    void appendRows(QByteArrayView utf8, const std::vector<std::uint32_t> &ends,
                    const std::vector<std::uint8_t> &colours = {},
                    const std::vector<QRgb> &palette = {});

    // Editing, started only by the program: editCell() emits beforeEdit, then
    // opens on the current cell the editor the handler configured: a
    // drop-down of the items in the combo list ("a|b|c"), or free text of at
    // most the set length when the list is empty.
    void editCell();
    void setComboList(const QString &items);
    void setEditMaxLength(int chars);
    // Writes the open editor's value into its cell and closes it.
    void finishEditing();

signals:
    // A left click in a data cell, after the cursor moved there.
    void gridClicked();
    // A left double click in a data cell, after the cursor moved there.
    void gridDoubleClicked();
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
    // Rows and columns, the header row and the fixed column included.
    int rows() const;
    int cols() const;
    int fixedCols() const;
    void applyCursor();
    void clampCursor();
    void updateRowHeight();
    void reportPress(QMouseEvent *event, QWidget *from);

    GridModel *model_;
    int row_ = 0;
    int col_ = 0;
    bool syncing_ = false;
    bool leftPressInCell_ = false;
    QString comboList_;
    int editMaxLength_ = 0;
    QPointer<QWidget> editor_;
};

}  // namespace spinlog
