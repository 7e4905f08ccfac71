#include "widgets/grid.h"

#include "widgets/grid_model.h"
#include "widgets/units.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace spinlog {

// Row 0 of the grid is the view's header.
static constexpr int kHeaderRows = 1;

// Builds the editor that the last beforeEdit handler asked for and moves the
// value between it and the cell.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(Grid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        QWidget *editor = nullptr;
        if (!grid_->comboList_.isEmpty()) {
            auto *combo = new QComboBox(parent);
            combo->setEditable(false);  // picks only, no typing
            combo->addItems(grid_->comboList_.split(QLatin1Char('|')));
            // A pick is written at once; the list stays open for more keys.
            connect(combo, &QComboBox::activated, this,
                    [this, combo] { emit const_cast<GridDelegate *>(this)->commitData(combo); });
            editor = combo;
        } else {
            auto *line = new QLineEdit(parent);
            line->setFrame(false);
            if (grid_->editMaxLength_ > 0)
                line->setMaxLength(grid_->editMaxLength_);
            editor = line;
        }
        grid_->editor_ = editor;
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            combo->setCurrentIndex(combo->findText(text));
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            line->setText(text);
            line->selectAll();
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            // A cell whose text is not in the list keeps it until a pick.
            if (combo->currentIndex() >= 0)
                store(model, index, combo->currentText());
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            // The length limit cuts what is shown; an untouched editor must
            // not write that cut text back over a longer stored value.
            if (line->isModified())
                store(model, index, line->text());
        }
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        // Fixed cells are disabled items only so that the cursor avoids them;
        // their text is drawn like any other.
        QStyleOptionViewItem opt = option;
        opt.state |= QStyle::State_Enabled;
        QStyledItemDelegate::paint(painter, opt, index);
    }

private:
    void store(QAbstractItemModel *model, const QModelIndex &index, const QString &text) const
    {
        model->setData(index, text, Qt::EditRole);
        emit grid_->cellEdited(index.row() + kHeaderRows, index.column(), text);
    }

    Grid *grid_;
};

Grid::Grid(QWidget *parent) : QTableView(parent), model_(new GridModel(this))
{
    setModel(model_);
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setTabKeyNavigation(false);  // Tab moves on to the next control
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);  // a narrow cell clips its text, as a spreadsheet does
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->viewport()->installEventFilter(this);
    updateRowHeight();
}

Grid::~Grid() = default;

// ---- size ----

int Grid::rows() const
{
    return kHeaderRows + model_->dataRows();
}

void Grid::setRows(int rows)
{
    syncing_ = true;
    model_->setDataRows(std::max(rows, kHeaderRows) - kHeaderRows);
    syncing_ = false;
    clampCursor();
}

int Grid::cols() const
{
    return model_->cols();
}

void Grid::setCols(int cols)
{
    syncing_ = true;
    model_->setCols(cols);
    syncing_ = false;
    clampCursor();
}

int Grid::fixedCols() const
{
    return model_->fixedCols();
}

void Grid::setFixedCols(int cols)
{
    model_->setFixedCols(cols);
    clampCursor();
}

void Grid::appendRows(QByteArrayView utf8, const std::vector<std::uint32_t> &ends,
                      const std::vector<std::uint8_t> &colours, const std::vector<QRgb> &palette)
{
    model_->appendRows(utf8, ends, colours, palette);
}

// ---- cursor ----

int Grid::row() const
{
    return row_;
}

void Grid::setRow(int row)
{
    if (row < 0 || row >= rows())
        return;
    row_ = row;
    applyCursor();
}

int Grid::col() const
{
    return col_;
}

void Grid::setCol(int col)
{
    if (col < fixedCols() || col >= cols())
        return;
    col_ = col;
    applyCursor();
}

void Grid::selectCell(int row, int col)
{
    setRow(row);
    setCol(col);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
    setFocus(Qt::OtherFocusReason);
}

// After a change of size: the cursor stays inside the grid and off the fixed
// columns.
void Grid::clampCursor()
{
    row_ = std::clamp(row_, 0, rows() - 1);
    col_ = std::clamp(col_, fixedCols(), std::max(fixedCols(), cols() - 1));
    applyCursor();
}

// Shows the cursor as the view's current index: a data cell, or none while
// the cursor is on the header row.
void Grid::applyCursor()
{
    syncing_ = true;
    const bool wasAutoScroll = hasAutoScroll();
    setAutoScroll(false);
    if (row_ >= kHeaderRows && col_ >= fixedCols() && col_ < cols()) {
        model_->flush();
        setCurrentIndex(model_->index(row_ - kHeaderRows, col_));
    } else if (selectionModel()) {
        selectionModel()->clear();
    }
    setAutoScroll(wasAutoScroll);
    syncing_ = false;
}

void Grid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!syncing_ && current.isValid()) {
        row_ = current.row() + kHeaderRows;
        col_ = current.column();
    }
}

void Grid::setTopRow(int row)
{
    if (model_->dataRows() == 0)
        return;
    model_->flush();
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(std::clamp(row, kHeaderRows, rows() - 1) - kHeaderRows);
}

// ---- cells ----

void Grid::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0)
        return;
    if (row < kHeaderRows)
        model_->setHeaderText(col, text);
    else
        model_->setText(row - kHeaderRows, col, text);
}

// ---- columns ----

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    setColumnWidth(col, px(std::max(twips, 0)));
}

QString Grid::longestText(int col) const
{
    return model_->longestText(col);
}

void Grid::setColAlignment(int col, Qt::Alignment alignment)
{
    model_->setDataAlignment(col, alignment);
}

void Grid::setFixedAlignment(int col, Qt::Alignment alignment)
{
    model_->setHeaderAlignment(col, alignment);
}

// ---- editing ----

void Grid::editCell()
{
    finishEditing();
    if (row_ < kHeaderRows || col_ < fixedCols() || col_ >= cols())
        return;
    bool cancel = false;
    emit beforeEdit(row_, col_, &cancel);
    if (cancel)
        return;
    model_->flush();
    const QModelIndex cell = model_->index(row_ - kHeaderRows, col_);
    if (currentIndex() != cell)
        applyCursor();
    scrollTo(cell);
    edit(cell);
    if (editor_)
        editor_->setFocus(Qt::OtherFocusReason);
}

void Grid::setComboList(const QString &items)
{
    comboList_ = items;
}

void Grid::setEditMaxLength(int chars)
{
    editMaxLength_ = std::max(chars, 0);
}

void Grid::finishEditing()
{
    if (QWidget *editor = editor_.data()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void Grid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == editor_)
        editor_ = nullptr;
    QTableView::closeEditor(editor, hint);
}

// ---- mouse and keys ----

static int buttonCode(Qt::MouseButton button)
{
    switch (button) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

static int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

void Grid::reportPress(QMouseEvent *event, QWidget *from)
{
    const QPoint at = from->mapTo(this, event->position().toPoint());
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), at.x(), at.y());
}

void Grid::mousePressEvent(QMouseEvent *event)
{
    leftPressInCell_ = false;
    if (event->button() == Qt::LeftButton) {
        const QModelIndex cell = indexAt(event->position().toPoint());
        if (cell.isValid() && cell.column() >= fixedCols()) {
            leftPressInCell_ = true;
            QTableView::mousePressEvent(event);
        } else {
            event->accept();
        }
    } else {
        // Right and middle presses leave the cursor where it was: the history's
        // context menu acts on the row that was current before.
        event->accept();
    }
    reportPress(event, viewport());
}

void Grid::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = leftPressInCell_ && event->button() == Qt::LeftButton;
    leftPressInCell_ = false;
    if (event->button() == Qt::LeftButton)
        QTableView::mouseReleaseEvent(event);
    else
        event->accept();
    if (click)
        emit gridClicked();
}

void Grid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click is a second press and nothing more: it never edits and,
    // as a click was already reported for its first half, reports none.
    mousePressEvent(event);
    const bool inCell = leftPressInCell_;
    leftPressInCell_ = false;
    if (inCell)
        emit gridDoubleClicked();
}

void Grid::keyboardSearch(const QString &)
{
    // Typing does not move the cursor to a matching cell.
}

bool Grid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress)
        reportPress(static_cast<QMouseEvent *>(event), horizontalHeader()->viewport());
    return QTableView::eventFilter(watched, event);
}

// ---- look ----

void Grid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateRowHeight();
}

// Rows as tall as the text and a pixel of air above and below; the header row
// the same. (The type editor's five rows fit its frame exactly this way.)
void Grid::updateRowHeight()
{
    const int height = fontMetrics().height() + 2;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

}  // namespace spinlog
