// The grid as its two users drive it: a small editable table with a fixed
// column, and a long read-only list filled row by row.

#include "support/test_main.h"
#include "widgets/grid.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using spinlog::Grid;

namespace {

// A grid shaped like the type editor: header row, fixed column 0, 5 data rows.
std::unique_ptr<Grid> editorGrid()
{
    auto grid = std::make_unique<Grid>();
    grid->setCols(4);
    grid->setFixedCols(1);
    grid->setRows(6);
    for (int r = 1; r < 6; ++r) {
        grid->setTextMatrix(r, 0, QString::number(r));
        grid->setTextMatrix(r, 1, QStringLiteral("type %1").arg(r));
        grid->setTextMatrix(r, 2, QStringLiteral("5"));
    }
    grid->resize(400, 300);
    grid->show();
    QCoreApplication::processEvents();
    return grid;
}

QPoint cellCenter(Grid &grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col)).center();
}

void click(Grid &grid, int row, int col, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(grid.viewport(), button, {}, cellCenter(grid, row, col));
}

}  // namespace

class GridTest : public QObject {
    Q_OBJECT
private slots:
    void rowCountKeepsHeaderAndDropsDataWithColours()
    {
        Grid grid;
        grid.setCols(15);
        QCOMPARE(grid.rows(), 1);
        grid.setTextMatrix(0, 3, QStringLiteral("1"));
        for (int i = 0; i < 3; ++i) {
            grid.setRows(grid.rows() + 1);
            grid.setTextMatrix(grid.rows() - 1, 0, QStringLiteral("row %1").arg(i));
            grid.setCellBackColor(grid.rows() - 1, 2, Qt::red);
        }
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("row 1"));

        grid.setRows(1);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.textMatrix(0, 3), QStringLiteral("1"));  // the header stays
        QCOMPARE(grid.model()->rowCount(), 0);

        // Rows added afterwards start empty and uncoloured.
        grid.setRows(2);
        QCOMPARE(grid.textMatrix(1, 0), QString());
        QVERIFY(!grid.cellBackColor(1, 2).isValid());
        QVERIFY(!grid.model()->index(0, 2).data(Qt::BackgroundRole).isValid());
        grid.setRows(0);  // the header row can't be removed
        QCOMPARE(grid.rows(), 1);
    }

    void viewLearnsOfAddedRowsInOneBatch()
    {
        Grid grid;
        grid.setCols(2);
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        for (int i = 0; i < 50; ++i) {
            grid.setRows(grid.rows() + 1);
            grid.setTextMatrix(grid.rows() - 1, 1, QString::number(i));
        }
        QCOMPARE(changed.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid.model()->rowCount(), 50);
        QCOMPARE(grid.model()->index(49, 1).data().toString(), QStringLiteral("49"));

        // Once shown, a cell change reaches the view.
        grid.setTextMatrix(3, 1, QStringLiteral("x"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(grid.model()->index(2, 1).data().toString(), QStringLiteral("x"));

        // The cursor may be set before the event loop ran.
        grid.setRows(61);
        grid.setRow(60);
        QCOMPARE(grid.currentIndex().row(), 59);
    }

    void appendRowsFillsRowMajor()
    {
        Grid grid;
        grid.setCols(3);
        grid.setRows(2);
        grid.setTextMatrix(1, 0, QStringLiteral("first"));
        grid.appendRows({"a", "b", "c", "d", "e"});  // the last row left short
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("first"));
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("c"));
        QCOMPARE(grid.textMatrix(3, 1), QStringLiteral("e"));
        QCOMPARE(grid.textMatrix(3, 2), QString());
    }

    void cursorAvoidsFixedColumn()
    {
        auto grid = editorGrid();
        grid->setRow(2);
        grid->setCol(1);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));
        QCOMPARE(grid->text(), QStringLiteral("type 2"));

        grid->setCol(0);  // refused
        QCOMPARE(grid->col(), 1);
        click(*grid, 4, 0);
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->col(), 1);

        grid->setFocus();
        QTest::keyClick(grid.get(), Qt::Key_Left);
        QCOMPARE(grid->col(), 1);
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QCOMPARE(grid->row(), 3);
        QTest::keyClick(grid.get(), Qt::Key_T);  // typing neither searches nor edits
        QCOMPARE(grid->row(), 3);
        QVERIFY(!grid->activeEditor());

        click(*grid, 5, 3);
        QCOMPARE(grid->row(), 5);
        QCOMPARE(grid->col(), 3);

        // The program may put the cursor on the header row: no data cell is current.
        grid->setRow(0);
        QCOMPARE(grid->row(), 0);
        QVERIFY(!grid->currentIndex().isValid());
        QCOMPARE(grid->text(), QString());
        grid->setTextMatrix(0, 3, QStringLiteral("head"));
        QCOMPARE(grid->text(), QStringLiteral("head"));

        // Out of range: ignored. Removing rows pulls the cursor back.
        grid->setRow(4);
        grid->setRow(9);
        QCOMPARE(grid->row(), 4);
        grid->setRows(3);
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 3));
        grid->setRows(1);
        QCOMPARE(grid->row(), 0);
    }

    void fixedColumnLooksLikeHeader()
    {
        auto grid = editorGrid();
        const QModelIndex fixed = grid->model()->index(0, 0);
        QCOMPARE(fixed.data(Qt::BackgroundRole).value<QBrush>().color(),
                 QGuiApplication::palette().button().color());
        QVERIFY(!(grid->model()->flags(fixed) & Qt::ItemIsEditable));
        QVERIFY(!grid->model()->index(0, 1).data(Qt::BackgroundRole).isValid());
    }

    void cellColours()
    {
        Grid grid;
        grid.setCols(15);
        grid.setRows(3);
        grid.setCellBackColor(2, 4, QColor(128, 128, 255));
        grid.setCellBackColor(2, 5, Qt::black);  // black is a colour, not "none"
        QCOMPARE(grid.cellBackColor(2, 4), QColor(128, 128, 255));
        QCOMPARE(grid.cellBackColor(2, 5), QColor(Qt::black));
        QVERIFY(!grid.cellBackColor(1, 4).isValid());
        QCoreApplication::processEvents();
        QCOMPARE(grid.model()->index(1, 4).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(128, 128, 255));
        grid.setCellBackColor(2, 4, QColor());
        QVERIFY(!grid.cellBackColor(2, 4).isValid());
        // Columns added later keep the colours of the old ones.
        grid.setCols(16);
        QCOMPARE(grid.cellBackColor(2, 5), QColor(Qt::black));
    }

    void headerRowIsTheViewHeader()
    {
        Grid grid;
        grid.setCols(2);
        grid.setTextMatrix(0, 0, QStringLiteral("日時"));
        grid.setTextMatrix(0, 1, QStringLiteral("タイプ"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("タイプ"));
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("日時"));
        QVERIFY(grid.verticalHeader()->isHidden());
    }

    void topRowScrolls()
    {
        Grid grid;
        grid.setCols(3);
        grid.resize(300, 120);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.topRow(), 1);
        grid.setRows(200);
        grid.setTopRow(50);
        QCOMPARE(grid.topRow(), 50);
        QCOMPARE(grid.rowAt(0), 49);
        // Moving the cursor leaves the scroll position alone.
        grid.setRow(150);
        QCOMPARE(grid.topRow(), 50);
        grid.setTopRow(1);
        QCOMPARE(grid.topRow(), 1);
        QCOMPARE(grid.rowAt(0), 0);
    }

    void columnWidthsAndAlignments()
    {
        Grid grid;
        grid.setCols(3);
        grid.setColWidth(1, 1500);
        grid.setColWidth(2, 1000);  // 66.7 px
        QCOMPARE(grid.columnWidth(1), 100);
        QCOMPARE(grid.columnWidth(2), 67);
        QCOMPARE(grid.colWidth(1), 1500);
        QCOMPARE(grid.colWidth(2), 1000);

        grid.setRows(2);
        grid.setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        grid.setFixedAlignment(1, Qt::AlignCenter);
        grid.setColAlignment(2, Qt::AlignCenter);
        QCoreApplication::processEvents();
        const auto alignOf = [](const QVariant &v) { return v.value<Qt::Alignment>(); };
        QCOMPARE(alignOf(grid.model()->index(0, 1).data(Qt::TextAlignmentRole)),
                 Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(alignOf(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)),
                 Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(alignOf(grid.model()->index(0, 2).data(Qt::TextAlignmentRole)),
                 Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(grid.fixedAlignment(2), Qt::AlignLeft | Qt::AlignVCenter);
    }

    void beforeEditConfiguresTheEditor()
    {
        auto grid = editorGrid();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QList<QPair<int, int>> asked;
        connect(grid.get(), &Grid::beforeEdit, grid.get(), [&](int row, int col, bool *) {
            asked << qMakePair(row, col);
            if (col == 1) {
                grid->setComboList(QString());
                grid->setEditMaxLength(8);
            } else if (col == 2) {
                grid->setComboList(QStringLiteral("1|2|3|12"));
            }
        });

        // Free text, cut at the maximum length, written back on Enter.
        grid->setRow(2);
        grid->setCol(1);
        grid->editCell();
        auto *line = qobject_cast<QLineEdit *>(grid->activeEditor());
        QVERIFY(line);
        QCOMPARE(line->maxLength(), 8);
        QCOMPARE(line->text(), QStringLiteral("type 2"));
        QTest::keyClicks(line, QStringLiteral("abcdefghij"));  // replaces the selected text
        QCOMPARE(line->text(), QStringLiteral("abcdefgh"));
        QTest::keyClick(line, Qt::Key_Return);
        QCoreApplication::processEvents();  // Enter commits through a queued call
        QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("abcdefgh"));
        QVERIFY(!grid->activeEditor());

        // Escape leaves the cell as it was.
        grid->editCell();
        line = qobject_cast<QLineEdit *>(grid->activeEditor());
        QTest::keyClicks(line, QStringLiteral("zz"));
        QTest::keyClick(line, Qt::Key_Escape);
        QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("abcdefgh"));

        // An untouched editor does not cut a longer stored text.
        grid->setTextMatrix(3, 1, QStringLiteral("a longer name"));
        grid->setRow(3);
        grid->editCell();
        grid->finishEditing();
        QCOMPARE(grid->textMatrix(3, 1), QStringLiteral("a longer name"));

        // A list: picks only, the pick written at once.
        grid->setCol(2);
        grid->editCell();
        auto *combo = qobject_cast<QComboBox *>(grid->activeEditor());
        QVERIFY(combo);
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(3), QStringLiteral("12"));
        grid->setTextMatrix(3, 2, QStringLiteral("2"));
        combo->setCurrentIndex(1);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(grid->textMatrix(3, 2), QStringLiteral("3"));
        grid->finishEditing();
        QVERIFY(!grid->activeEditor());

        // The list stays until a handler changes it.
        grid->setCol(3);
        grid->editCell();
        QVERIFY(qobject_cast<QComboBox *>(grid->activeEditor()));
        grid->finishEditing();

        QCOMPARE(asked, (QList<QPair<int, int>>{{2, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}}));
    }

    void editorOpensOnlyThroughEditCell()
    {
        auto grid = editorGrid();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        bool cancelNext = true;
        connect(grid.get(), &Grid::beforeEdit, grid.get(),
                [&](int, int, bool *cancel) { *cancel = cancelNext; });
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(*grid, 2, 1));
        QTest::keyClick(grid.get(), Qt::Key_F2);
        QTest::keyClick(grid.get(), Qt::Key_Return);
        QVERIFY(!grid->activeEditor());

        grid->editCell();  // cancelled by the handler
        QVERIFY(!grid->activeEditor());
        cancelNext = false;
        grid->setRow(0);  // no editor on the header row
        grid->editCell();
        QVERIFY(!grid->activeEditor());
    }

    void clicksAndMousePresses()
    {
        auto grid = editorGrid();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QSignalSpy clicked(grid.get(), &Grid::gridClicked);
        QSignalSpy pressed(grid.get(), &Grid::mouseDown);
        int rowAtClick = -1;
        connect(grid.get(), &Grid::gridClicked, grid.get(), [&] { rowAtClick = grid->row(); });

        click(*grid, 3, 2);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(rowAtClick, 3);  // the cursor had moved before the click came
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed.at(0).at(0).toInt(), 1);

        // A right press reports button 2 and its shift state and position, and
        // leaves the cursor where it was.
        const QPoint at = cellCenter(*grid, 5, 3);
        QTest::mouseClick(grid->viewport(), Qt::RightButton,
                          Qt::ShiftModifier | Qt::ControlModifier, at);
        QCOMPARE(grid->row(), 3);
        QCOMPARE(grid->col(), 2);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(pressed.count(), 2);
        const QList<QVariant> right = pressed.at(1);
        QCOMPARE(right.at(0).toInt(), 2);
        QCOMPARE(right.at(1).toInt(), 3);
        const QPoint inGrid = grid->viewport()->mapTo(grid.get(), at);
        QCOMPARE(right.at(2).toInt(), inGrid.x());
        QCOMPARE(right.at(3).toInt(), inGrid.y());

        // The fixed column and the header report the press but are no click.
        click(*grid, 4, 0);
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(30, 5));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(pressed.count(), 4);
        QCOMPARE(grid->row(), 3);
    }

    void holdsAHundredThousandRows()
    {
        Grid grid;
        grid.setCols(15);
        grid.resize(600, 300);
        grid.show();
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= 100000; ++i) {
            grid.setRows(grid.rows() + 1);
            const int r = grid.rows() - 1;
            for (int c = 0; c < 15; ++c) grid.setTextMatrix(r, c, QStringLiteral("12.34"));
            grid.setCellBackColor(r, 4, QColor(223, 223, 223));
        }
        grid.setCol(14);
        grid.setRow(1);
        grid.setTopRow(1);
        QCoreApplication::processEvents();
        qInfo("100000 x 15 filled row by row in %lld ms", timer.elapsed());
        QCOMPARE(grid.rows(), 100001);
        QCOMPARE(grid.model()->rowCount(), 100000);
        QCOMPARE(grid.textMatrix(100000, 14), QStringLiteral("12.34"));

        timer.restart();
        grid.setRows(1);
        QStringList texts;
        texts.reserve(100000 * 15);
        for (int i = 0; i < 100000 * 15; ++i) texts << QStringLiteral("1:00.00");
        grid.appendRows(texts);
        grid.setRow(1);
        QCoreApplication::processEvents();
        qInfo("100000 x 15 appended in %lld ms", timer.elapsed());
        QCOMPARE(grid.rows(), 100001);
        QVERIFY(!grid.cellBackColor(1, 4).isValid());
    }
};

SPINLOG_TEST(GridTest)
#include "tst_grid.moc"
