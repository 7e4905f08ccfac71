// The grid as its two users drive it: a small editable table with a fixed
// column, and a long read-only list filled row by row.

#include "support/test_main.h"
#include "widgets/grid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using spinlog::Grid;

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
            grid.setRows(grid.rows() + 1);
            grid.setTextMatrix(grid.rows() - 1, 2, QString::number(i));
            grid.setCellBackColor(grid.rows() - 1, 1, Qt::black);  // black is a colour
        }
        // A row-by-row fill reaches the view as one insertion, no cell signals.
        QCOMPARE(changed.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid.model()->index(49, 2).data().toString(), QStringLiteral("49"));
        QCOMPARE(grid.cellBackColor(50, 1), QColor(Qt::black));

        // Setting 1 row keeps only the header; new rows start bare.
        grid.setRows(1);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.model()->rowCount(), 0);
        QCOMPARE(grid.textMatrix(0, 1), QStringLiteral("header"));
        grid.setRows(2);
        QCOMPARE(grid.textMatrix(1, 2), QString());
        QVERIFY(!grid.cellBackColor(1, 1).isValid());

        grid.appendRows({"a", "b", "c", "d"});  // the last row left short
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.textMatrix(3, 0), QStringLiteral("d"));
        QCOMPARE(grid.textMatrix(3, 1), QString());
        grid.setCols(4);  // widening keeps what the cells held
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("c"));
    }

    // Any text comes back as it went in, however it is held, and its
    // neighbours keep theirs, also after many rewrites of rows in the middle.
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
        grid.appendRows(QByteArrayView("a1b1a2b2a3b3"), {2, 4, 6, 8, 10, 12}, {0, 0, 0, 1},
                        {0, 0xFF123456});
        for (int i = 0; i < 2000; ++i) grid.setTextMatrix(1 + i % 2, 0, QString::number(i));
        grid.setTextMatrix(2, 1, text);
        QCOMPARE(grid.textMatrix(2, 1), text);
        QCOMPARE(QStringList({grid.textMatrix(1, 0), grid.textMatrix(1, 1), grid.textMatrix(2, 0),
                              grid.textMatrix(3, 1)}),
                 (QStringList{"1998", "b1", "1999", "b3"}));
        QCOMPARE(grid.cellBackColor(2, 1), QColor(0x12, 0x34, 0x56));
        // Past 255 colours, too, each cell keeps its own.
        grid.setRows(301);
        for (int i = 1; i <= 300; ++i) grid.setCellBackColor(i, 1, QColor::fromRgb(QRgb(i)));
        QCOMPARE(grid.cellBackColor(300, 1).rgb(), qRgb(0, 1, 44));
        QCOMPARE(grid.cellBackColor(2, 1).rgb(), qRgb(0, 0, 2));
        grid.appendRows(QByteArrayView("xy"), {1, 2}, {1, 0}, {0, 0xFF654321});
        QCOMPARE(grid.cellBackColor(301, 0), QColor(0x65, 0x43, 0x21));
    }

    void cursorNeverRestsOnTheFixedColumn()
    {
        auto grid = editorGrid();
        grid->setRow(2);
        grid->setCol(1);
        grid->setCol(0);  // refused
        QCOMPARE(grid->text(), QStringLiteral("type 2"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(*grid, 4, 0));
        grid->setFocus();
        QTest::keyClick(grid.get(), Qt::Key_Left);
        QTest::keyClick(grid.get(), Qt::Key_T);  // typing neither searches nor edits
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->col(), 1);
        QVERIFY(!grid->activeEditor());
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

    void topRowWidthsAndAlignments()
    {
        Grid grid;
        grid.setCols(3);
        grid.resize(300, 120);
        grid.show();
        grid.setRows(200);
        grid.setTopRow(50);
        grid.setRow(150);  // moving the cursor does not scroll
        QCOMPARE(grid.topRow(), 50);
        QCOMPARE(grid.rowAt(0), 49);

        grid.setColAlignment(1, Qt::AlignCenter);
        grid.setFixedAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        const auto align = [](const QVariant &v) { return v.value<Qt::Alignment>(); };
        QCOMPARE(align(grid.model()->index(0, 1).data(Qt::TextAlignmentRole)),
                 Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(align(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)),
                 Qt::AlignRight | Qt::AlignVCenter);
    }

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
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(*grid, 2, 1));
        QTest::keyClick(grid.get(), Qt::Key_F2);
        QVERIFY(!grid->activeEditor());

        grid->editCell();
        auto *line = qobject_cast<QLineEdit *>(grid->activeEditor());
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("abcdefghij"));  // replaces the text
        QTest::keyClick(line, Qt::Key_Return);
        QCoreApplication::processEvents();  // Enter commits through a queued call
        QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("abcdefgh"));

        // An untouched editor does not write back a text its limit cut.
        grid->setTextMatrix(2, 1, QStringLiteral("a longer name"));
        grid->editCell();
        grid->finishEditing();
        QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("a longer name"));

        // A list offers picks only and writes a pick at once.
        grid->setCol(2);
        grid->setTextMatrix(2, 2, QStringLiteral("2"));
        grid->editCell();
        auto *combo = qobject_cast<QComboBox *>(grid->activeEditor());
        QVERIFY(combo && !combo->isEditable());
        QCOMPARE(combo->count(), 3);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(grid->textMatrix(2, 2), QStringLiteral("12"));

        cancel = true;
        grid->editCell();
        QVERIFY(!grid->activeEditor());
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
