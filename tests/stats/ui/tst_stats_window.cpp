// The statistics window as the history changes under it: a save, the series
// under way, a delete, another type, a type renamed; what its pictures show.

#include "session/series_rules.h"
#include "stats/ui/stats_window.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QAreaSeries>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineSeries>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace spinlog;
using namespace spinlog::test;

namespace {

struct Window : StatsWindow {
    Window(HistoryWorld &w, const SeriesUnderWay &underWay)
        : StatsWindow({w.program().records->history, w.program().records->historySolves,
                       w.program().records->types, w.program().reporter, w.world.clock,
                       [&underWay] { return underWay; }},
                      TypeFilter(TypeId("1")))
    {
    }
};

// The histogram's bars added up: every timed solve it shows.
double histogramTotal(const StatsWindow &window)
{
    QChart *histogram = window.findChild<QChartView *>("chartHistogram")->chart();
    const QLineSeries *top = static_cast<QAreaSeries *>(histogram->series().at(0))->upperSeries();
    double total = 0;
    // (from, 0), then each bin's two corners, then (to, 0).
    for (int i = 1; i + 1 < top->count(); i += 2) total += top->at(i).y();
    return total;
}

// The day bars as painted: how many stand along the plot's base line.
int dayBars(const StatsWindow &window)
{
    QWidget *days = window.findChild<QWidget *>("chartDays");
    const QImage image = days->grab().toImage();
    const QColor bar(0x2f, 0x6f, 0xc0);
    int bars = 0;
    bool inBar = false;
    for (int x = 0; x < image.width(); ++x) {
        bool here = false;
        for (int y = image.height() / 2; y < image.height() && !here; ++y)
            here = image.pixelColor(x, y) == bar;
        bars += here && !inBar;
        inBar = here;
    }
    return bars;
}

}  // namespace

class StatsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheHistory()
    {
        HistoryWorld w;
        w.seedThree();
        SeriesUnderWay underWay{TypeId("1"), {}};
        Window window(w, underWay);
        window.show();
        const auto *table = window.findChild<QTableWidget *>("tblFigures");
        // Solves, then the current ao5 with its best and where that ends.
        const auto shown = [table] {
            return QStringList{table->item(0, 0)->text(), table->item(8, 0)->text(),
                               table->item(8, 1)->text(), table->item(8, 2)->text()}
                .join(' ');
        };
        // Type 1: 20.00 18.50 22.10 19.00 21.00, then 17.00 16.00 19.50 18.00
        // 15.20; the last five are the best.
        QCOMPARE(shown(), "10 17.00 17.00 2007/05/03 12:30:45");
        QCOMPARE(table->item(2, 0)->text(), "18.63");
        QChart *histogram = window.findChild<QChartView *>("chartHistogram")->chart();
        const auto *bars = static_cast<QAreaSeries *>(histogram->series().at(0));
        QVERIFY(bars->upperSeries()->count() >= 4);
        QCOMPARE(histogram->series().at(1)->name() + ' ' + histogram->series().at(2)->name(),
                 "平均 18.63 最速 15.20");

        w.history().add(seriesOfAttempts("2007/05/04 09:00:00", TypeId("1"),
                                         std::vector<Attempt>(5, {1200, Penalty::None}),
                                         AverageRule::LeaveOutBestWorst));
        QTRY_COMPARE(shown(), "15 12.00 12.00 2007/05/04 09:00:00");
        underWay.times = QStringList{"DNF", "DNF"};
        window.underWayChanged();
        QTRY_COMPARE(shown(), "17 DNF 12.00 2007/05/04 09:00:00");
        window.findChild<QCheckBox *>("chkUnderWay")->setChecked(false);
        QCOMPARE(shown(), "15 12.00 12.00 2007/05/04 09:00:00");

        // A delete reads everything again.
        w.history().remove(rowsOf(w.db(), "select max(rowid) from T_Time").first().toLongLong());
        QTRY_COMPARE(shown(), "10 17.00 17.00 2007/05/03 12:30:45");
        window.findChild<QComboBox *>("cmbType")->setCurrentIndex(2);
        QCOMPARE(shown(), "5 5.00 5.00 2007/05/02 08:00:00");
    }

    // With the series under way counted in, its solves are in the histogram
    // and in the solves of its day too, not only in the figures.
    void theSeriesUnderWayInThePictures()
    {
        HistoryWorld w;
        w.seedThree();
        w.world.clock.now = QDateTime(QDate(2007, 5, 4), QTime(9, 0));
        SeriesUnderWay underWay{TypeId("1"), {"19.00", "21.50"}};
        Window window(w, underWay);
        window.resize(1000, 700);
        window.show();
        QCOMPARE(histogramTotal(window), 12.0);  // type 1's ten saved, two under way
        QCOMPARE(dayBars(window), 3);            // 05/01, 05/03 and today, 05/04
        window.findChild<QCheckBox *>("chkUnderWay")->setChecked(false);
        QCOMPARE(histogramTotal(window), 10.0);
        QCOMPARE(dayBars(window), 2);
    }

    // Each save reads only its own solves (five rows); one done before those
    // held reads everything again: the three series an older copy saved (a
    // row each) and the 25 solves saved since.
    void readsOnlyWhatChanged()
    {
        HistoryWorld w;
        w.seedThree();
        SeriesUnderWay underWay{TypeId("1"), {}};
        Window window(w, underWay);
        const HistorySolves &solves = w.program().records->historySolves;
        QCOMPARE(solves.rowsRead(), 3);
        for (int save = 0; save < 4; ++save) {
            w.history().add(seriesOfAttempts(QString("2007/05/1%1 09:00:00").arg(save), TypeId("1"),
                                             std::vector<Attempt>(5, {1200, Penalty::None}),
                                             AverageRule::LeaveOutBestWorst));
            QTRY_COMPARE(solves.rowsRead(), 3 + 5 * (save + 1));
        }
        // One saved before the others: its place is among them.
        w.history().add(seriesOfAttempts("2007/05/02 09:00:00", TypeId("1"),
                                         std::vector<Attempt>(5, {1100, Penalty::None}),
                                         AverageRule::LeaveOutBestWorst));
        QTRY_COMPARE(solves.rowsRead(), 23 + 5 + 3 + 25);
        const auto *table = window.findChild<QTableWidget *>("tblFigures");
        QCOMPARE(table->item(0, 0)->text(), "35");
        QCOMPARE(table->item(8, 0)->text(), "12.00");  // the current ao5: the last done
    }

    // A type renamed in the options shows under its new name at once, the
    // same type still chosen.
    void aRenameShowsAtOnce()
    {
        HistoryWorld w;
        w.seedThree();
        SeriesUnderWay underWay{TypeId("1"), {}};
        Window window(w, underWay);
        auto *types = window.findChild<QComboBox *>("cmbType");
        types->setCurrentIndex(2);
        std::vector<PuzzleType> renamed = w.program().records->types.all();
        renamed[1].name = "2x2x2 OH";
        w.program().records->types.rewrite(renamed);
        QCOMPARE(types->itemText(2), "2x2x2 OH");
        QCOMPARE(types->currentIndex(), 2);
        QCOMPARE(window.findChild<QTableWidget *>("tblFigures")->item(0, 0)->text(), "5");
    }

    // Solves all of one time: the histogram's time ticks are a hundredth
    // apart at the finest (never 10, 10.002, 10.004), its count ticks whole.
    void histogramOfEqualSolves()
    {
        HistoryWorld w;
        addSeries(w.db(), {"2007/05/01 08:00:00", "2", QStringList(5, "10.00"), "10.00"});
        const SeriesUnderWay underWay{TypeId("2"), {}};
        RecordStores &r = *w.program().records;
        StatsWindow window({r.history, r.historySolves, r.types, w.program().reporter,
                            w.world.clock, [&underWay] { return underWay; }},
                           TypeFilter(TypeId("2")));
        window.show();
        QChart *histogram = window.findChild<QChartView *>("chartHistogram")->chart();
        for (const auto &[orientation, finest] :
             {std::pair(Qt::Horizontal, 0.01), std::pair(Qt::Vertical, 1.0)}) {
            const auto *axis = static_cast<QValueAxis *>(histogram->axes(orientation).at(0));
            const double step = (axis->max() - axis->min()) / (axis->tickCount() - 1);
            QVERIFY2(step > finest * 0.999, qPrintable(QString::number(step)));
            QVERIFY(std::abs(std::remainder(axis->min(), step)) < 1e-9);
        }
    }
};

SPINLOG_TEST(StatsWindowTest)
#include "tst_stats_window.moc"
