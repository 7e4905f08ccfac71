// The grid as its two users drive it: a small editable table with a fixed
// column, and a long read-only list filled in batches; seen through its model.

#include "support/test_main.h"
#include "widgets/grid.h"
#include "widgets/grid_cells.h"
#include "widgets/grid_model.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Shaped like the type editor: header row, fixed column 0, five data rows.
std::unique_ptr<Grid> editorGrid()
{
    auto grid = std::make_unique<Grid>();
    grid->setCols(4);
    grid->setFixedCols(1);
    grid->setRows(6);
    for (int r = 1; r < 6; ++r) grid->setTextMatrix(r, 1, QStringLiteral("type %1").arg(r));
    grid->resize(400, 300);
    grid->show();
    QCoreApplication::processEvents();
    return grid;
}

QPoint cellCenter(Grid &grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col)).center();
}

// Appends rows as the history's fill hands them over.
void append(Grid &grid, const QStringList &cells, const std::vector<std::uint8_t> &colours = {},
            const std::vector<QRgb> &palette = {})
{
    QByteArray utf8;
    std::vector<std::uint32_t> ends;
    for (const QString &cell : cells) ends.push_back(std::uint32_t((utf8 += cell.toUtf8()).size()));
    grid.appendRows(utf8, ends, colours, palette);
}

}  // namespace

class GridTest : public QObject {
    Q_OBJECT
private slots:
    void rowsCellsAndColours()
    {
        Grid grid;
        grid.setCols(3);
        grid.setTextMatrix(0, 1, QStringLiteral("header"));
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        for (int i = 0; i < 50; ++i) {
            grid.setRows(i + 2);
            grid.setTextMatrix(i + 1, 2, QString::number(i));
        }
        append(grid, {"a", "b", "c"}, {0, 1}, {0, 0xFF000000});  // black is a colour
        // A fill reaches the view as one insertion, no cell signals.
        QCOMPARE(changed.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(cellText(grid, 50, 2), QStringLiteral("49"));
        QCOMPARE(cellColour(grid, 51, 1), QColor(Qt::black));

        // Setting 1 row keeps only the header and lets the texts go, so a
        // re-sort does not add to what the grid holds; new rows start bare.
        grid.setRows(1);
        QCOMPARE(grid.model()->rowCount(), 0);
        QCOMPARE(cellText(grid, 0, 1), QStringLiteral("header"));
        QCOMPARE(static_cast<GridModel *>(grid.model())->textBytes(), std::size_t(0));
        grid.setRows(2);
        QCoreApplication::processEvents();
        QCOMPARE(cellText(grid, 1, 2), QString());
        QVERIFY(!cellColour(grid, 1, 1).isValid());
        append(grid, {"a", "b", "c", "d"});  // the last row left short
        grid.setCols(4);                     // widening keeps what the cells held
        QCoreApplication::processEvents();
        QCOMPARE(cellText(grid, 2, 2) + cellText(grid, 3, 0) + cellText(grid, 3, 1), "cd");
    }

    // Colours as they went in, past the handful a grid holds compactly too;
    // rows cut off and added again come back without one.
    void everyColourKept()
    {
        Grid grid;
        grid.setCols(2);
        std::vector<QRgb> palette{0};
        std::vector<std::uint8_t> marks;
        QStringList cells;
        for (int i = 0; i < 3; ++i) {
            cells << "x";
            marks.push_back(std::uint8_t(i + 1));
            palette.push_back(qRgb(i, 0, 0));
        }
        append(grid, cells, marks, palette);  // one row and a half: a cell left without
        grid.setRows(2);
        grid.setRows(3);
        QCoreApplication::processEvents();
        QCOMPARE(cellColour(grid, 1, 1), QColor(1, 0, 0));
        QVERIFY(!cellColour(grid, 2, 0).isValid() && !cellColour(grid, 2, 1).isValid());
        cells.clear();
        marks.clear();
        for (int i = 0; i < 40; ++i) {
            cells << "y";
            marks.push_back(std::uint8_t(i % 20 + 1));
            palette.push_back(qRgb(0, i, 0));
        }
        append(grid, cells, marks, palette);
        QCoreApplication::processEvents();
        for (int i = 0; i < 40; ++i)
            QCOMPARE(cellColour(grid, 3 + i / 2, i % 2), QColor(palette[std::size_t(i % 20 + 1)]));
        QCOMPARE(cellColour(grid, 1, 1), QColor(1, 0, 0));
    }

    // Any text comes back as it went in, however it is held, and its
    // neighbours keep theirs, also after many rewrites of rows in the middle,
    // whose old space does not pile up.
    void cellTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("254 bytes") << QString(254, 'x');
        QTest::newRow("255 bytes") << QString(85, QChar(0x76EE));
        QTest::newRow("embedded zero") << QString::fromUtf8("a\0b", 3);
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x";
    }
    void cellTexts()
    {
        QFETCH(QString, text);
        Grid grid;
        grid.setCols(2);
        append(grid, {"a1", "b1", "a2", "b2", "a3", "b3"}, {0, 0, 0, 1}, {0, 0xFF123456});
        for (int i = 0; i < 2000; ++i) grid.setTextMatrix(1 + i % 2, 0, QString::number(i));
        grid.setTextMatrix(2, 1, text);
        QCoreApplication::processEvents();
        QCOMPARE(cellText(grid, 2, 1), text);
        QCOMPARE(QStringList({cellText(grid, 1, 0), cellText(grid, 1, 1), cellText(grid, 2, 0),
                              cellText(grid, 3, 1)}),
                 (QStringList{"1998", "b1", "1999", "b3"}));
        QCOMPARE(cellColour(grid, 2, 1), QColor(0x12, 0x34, 0x56));
        QVERIFY(static_cast<GridModel *>(grid.model())->textBytes() < 8192);

        // The same text in a fill, as the history's list hands it over: each
        // cell of the block after it keeps its own text, whatever its length.
        Grid filled;
        filled.setCols(2);
        const QString carried = QString::fromUtf8(text.toUtf8());
        append(filled, {"a1", carried, "a2", "b2", "a3", "b3"});
        QCoreApplication::processEvents();
        QStringList cells;
        for (int r = 1; r <= 3; ++r) cells << cellText(filled, r, 0) << cellText(filled, r, 1);
        QCOMPARE(cells, (QStringList{"a1", carried, "a2", "b2", "a3", "b3"}));
    }

    void cursorNeverRestsOnTheFixedColumn()
    {
        auto grid = editorGrid();
        grid->setRow(2);
        grid->setCol(1);
        grid->setCol(0);  // refused
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(*grid, 4, 0));
        grid->setFocus();
        QTest::keyClick(grid.get(), Qt::Key_Left);
        QTest::keyClick(grid.get(), Qt::Key_T);  // typing neither searches nor edits
        QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(2, 1));
        QVERIFY(!openEditor(*grid));
        QVERIFY(!(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable));
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QCOMPARE(grid->row(), 3);

        // The program may put the cursor on the header row: no cell is current.
        grid->setRow(0);
        QVERIFY(!grid->currentIndex().isValid());
        grid->setRow(9);  // out of range: ignored
        QCOMPARE(grid->row(), 0);
        grid->setRow(5);
        QCOMPARE(grid->currentIndex(), grid->model()->index(4, 1));
        grid->setRows(3);  // removing rows pulls the cursor back
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));
    }

    // The program's moves do not scroll, setTopRow does, and so does every
    // key that moves the cursor: its row comes into view.
    void keysScrollTheCursorIntoView()
    {
        Grid grid;
        grid.setCols(3);
        grid.resize(300, 120);
        grid.show();
        grid.setRows(200);
        grid.setTopRow(50);
        grid.setRow(150);
        QCOMPARE(grid.rowAt(0), 49);
        grid.setFocus();
        for (auto [key, modifier] : {std::pair{Qt::Key_Down, Qt::NoModifier},
                                     {Qt::Key_Home, Qt::ControlModifier},
                                     {Qt::Key_PageDown, Qt::NoModifier},
                                     {Qt::Key_End, Qt::ControlModifier}}) {
            QTest::keyClick(&grid, key, modifier);
            QVERIFY(grid.viewport()->rect().intersects(grid.visualRect(grid.currentIndex())));
        }
        QCOMPARE(grid.row(), 199);
    }

    // The editor opens on the highlighted cell, wherever keys moved it.
    void beforeEditChoosesTheEditor()
    {
        auto grid = editorGrid();
        QList<int> asked;
        bool cancel = false;
        connect(grid.get(), &Grid::beforeEdit, grid.get(), [&](int, int col, bool *no) {
            asked << col;
            *no = cancel;
            grid->setComboList(col == 2 ? QStringLiteral("1|2|12") : QString());
            grid->setEditMaxLength(8);
        });
        // Nothing but editCell opens an editor.
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(*grid, 3, 1));
        QTest::keyClick(grid.get(), Qt::Key_Up);
        QTest::keyClick(grid.get(), Qt::Key_F2);
        QVERIFY(!openEditor(*grid));

        grid->editCell();
        auto *line = qobject_cast<QLineEdit *>(openEditor(*grid));
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("abcdefghij"));  // replaces the text
        QTest::keyClick(line, Qt::Key_Return);
        QCoreApplication::processEvents();  // Enter commits through a queued call
        QCOMPARE(cellText(*grid, 2, 1), QStringLiteral("abcdefgh"));

        // An untouched editor does not write back a text its limit cut.
        grid->setTextMatrix(2, 1, QStringLiteral("a longer name"));
        grid->editCell();
        grid->finishEditing();
        QCOMPARE(cellText(*grid, 2, 1), QStringLiteral("a longer name"));

        // A list offers picks only and writes a pick at once.
        grid->setTextMatrix(2, 2, QStringLiteral("2"));
        QTest::keyClick(grid.get(), Qt::Key_Right);
        grid->editCell();
        auto *combo = qobject_cast<QComboBox *>(openEditor(*grid));
        QVERIFY(combo && !combo->isEditable());
        QCOMPARE(combo->count(), 3);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(cellText(*grid, 2, 2), QStringLiteral("12"));

        cancel = true;
        grid->editCell();
        QVERIFY(!openEditor(*grid));
        QCOMPARE(asked, QList<int>({1, 1, 2, 2}));
    }

    void rightPressLeavesTheCursor()
    {
        auto grid = editorGrid();
        QSignalSpy clicked(grid.get(), &Grid::gridClicked);
        QSignalSpy pressed(grid.get(), &Grid::mouseDown);
        int rowAtClick = -1;
        connect(grid.get(), &Grid::gridClicked, grid.get(), [&] { rowAtClick = grid->row(); });
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(*grid, 3, 2));
        QCOMPARE(rowAtClick, 3);

        const QPoint at = cellCenter(*grid, 5, 3);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::ShiftModifier, at);
        QCOMPARE(grid->row(), 3);
        QCOMPARE(clicked.count(), 1);
        const QPoint inGrid = grid->viewport()->mapTo(grid.get(), at);
        QCOMPARE(pressed.last(), QVariantList({2, 1, inGrid.x(), inGrid.y()}));
        QCOMPARE(pressed.first().first().toInt(), 1);
    }
};

SPINLOG_TEST(GridTest)
#include "tst_grid.moc"
