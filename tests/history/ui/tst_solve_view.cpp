// A saved series' solves as the history window shows them: a double click
// on its row opens them, each with its time, penalty, the moment it was done
// in local time, its scramble and comment; a penalty chosen and a comment
// written there are stored, and the comment is there after a restart.

#include "history/history_edits.h"
#include "history/ui/history_window.h"
#include "history/ui/solve_view.h"
#include "session/series_rules.h"
#include "support/history_world.h"
#include "support/test_main.h"
#include "widgets/grid.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// A series the stopwatch saved: its solves a minute apart, a scramble each.
void saveTimed(HistoryWriter &history, const QDateTime &last)
{
    SeriesRecord r = seriesOfAttempts(last.toString("yyyy/MM/dd HH:mm:ss"), TypeId("1"),
                                      {{1234, Penalty::None},
                                       {1100, Penalty::None},
                                       {1300, Penalty::None},
                                       {1250, Penalty::None},
                                       {1500, Penalty::None}},
                                      AverageRule::LeaveOutBestWorst);
    for (int i = 0; i < 5; ++i) {
        r.details[std::size_t(i)].moment = last.addSecs(60 * (i - 4)).toMSecsSinceEpoch();
        r.details[std::size_t(i)].scramble = QString("R U F%1 D B L").arg(i + 1);
    }
    history.add(r);
}

// Each row of the view: its cells, the penalty as its list shows it.
QStringList rowsOf(const SolveView &view)
{
    const auto *table = view.findChild<QTableWidget *>("tblSolves");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->cellWidget(r, c)
                          ? qobject_cast<QComboBox *>(table->cellWidget(r, c))->currentText()
                          : table->item(r, c)->text());
        rows << cells.join('|');
    }
    return rows;
}

HistoryWindowParts partsOf(HistoryWorld &w)
{
    RecordStores &r = *w.program().records;
    return {r.history, r.historyList,        r.historyChart, r.historyExport,
            r.types,   w.program().settings, w.prompts(),    w.program().reporter};
}

}  // namespace

class SolveViewTest : public QObject {
    Q_OBJECT
private slots:
    void solvesOfASavedSeries()
    {
        HistoryWorld w;
        const QDateTime last(QDate(2023, 11, 14), QTime(22, 13, 20));
        saveTimed(w.history(), last);
        RecordStores &r = *w.program().records;
        HistoryEdits edits(r.history, r.historyList, r.types);
        SolveView view({r.history, edits, w.prompts(), w.program().reporter}, 1);
        QCOMPARE(rowsOf(view), QStringList({"1|12.34|なし|2023/11/14 22:09:20|R U F1 D B L|",
                                            "2|11.00|なし|2023/11/14 22:10:20|R U F2 D B L|",
                                            "3|13.00|なし|2023/11/14 22:11:20|R U F3 D B L|",
                                            "4|12.50|なし|2023/11/14 22:12:20|R U F4 D B L|",
                                            "5|15.00|なし|2023/11/14 22:13:20|R U F5 D B L|"}));
        // A penalty chosen in its row: the series' texts and average follow.
        view.findChild<QComboBox *>("cmbPenalty3")->setCurrentIndex(2);
        QCOMPARE(rowsOf(view)[2], "3|DNF|DNF|2023/11/14 22:11:20|R U F3 D B L|");
        QCOMPARE(w.history().series(1).aveTime, "13.28");
        // A comment on the current row, with the button; a double click on another.
        auto *table = view.findChild<QTableWidget *>("tblSolves");
        table->setCurrentCell(1, 0);
        w.prompts().inputs = {QString("cross on D"), QString("")};
        view.findChild<QPushButton *>("cmdComment")->click();
        QCOMPARE(rowsOf(view)[1], "2|11.00|なし|2023/11/14 22:10:20|R U F2 D B L|cross on D");
        QCOMPARE(w.prompts().inputShown.last(), "");
        table->setCurrentCell(1, 5);
        view.writeComment();
        QCOMPARE(rowsOf(view)[1].section('|', 5), "");
        w.prompts().inputs = {QString("again")};
        view.writeComment();
        // Closed and opened again: the comment is in the file.
        w.program().records.reset();
        w.program().records =
            std::make_unique<RecordStores>(Database::open(w.folder.file("Spinlog.mdb")));
        QCOMPARE(w.history().series(1).details[1].comment, "again");
    }

    // An older copy's series: its solves dated by the series; a comment
    // given all the same.
    void anOlderCopysSeriesAndTheWindowsDoubleClick()
    {
        HistoryWorld w;
        w.seedThree();
        frmView history(partsOf(w));
        history.show();
        auto *grid = history.findChild<Grid *>("vsFlex");
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto *view = qobject_cast<SolveView *>(QApplication::activeModalWidget());
            if (!view)
                return;
            shown = rowsOf(*view);
            w.prompts().inputs = {QString("slow start")};
            view->writeComment();
            shown << rowsOf(*view).first().section('|', 5);
            view->reject();
        });
        grid->setRow(1);
        const QRect cell = grid->visualRect(grid->model()->index(0, 3));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(
            shown,
            QStringList({"1|20.00|なし|2007/05/01 21:03:09||", "2|18.50|なし|2007/05/01 21:03:09||",
                         "3|22.10|なし|2007/05/01 21:03:09||", "4|19.00|なし|2007/05/01 21:03:09||",
                         "5|21.00|なし|2007/05/01 21:03:09||", "slow start"}));
    }
};

SPINLOG_TEST(SolveViewTest)
#include "tst_solve_view.moc"
