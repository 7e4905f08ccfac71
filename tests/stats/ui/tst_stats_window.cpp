// The statistics window as the history changes under it: a save, the series
// under way, a delete, another type.

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

class StatsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheHistory()
    {
        HistoryWorld w;
        w.seedThree();
        SeriesUnderWay underWay{"1", {}};
        frmStats window({w.history(), w.program().records->types, w.program().reporter,
                         w.world.clock, [&underWay] { return underWay; }},
                        {1});
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

        w.history().add(seriesOfAttempts("2007/05/04 09:00:00", "1",
                                         std::vector<Attempt>(5, {1200, Penalty::None}), false));
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

    // Solves all of one time: the histogram's time ticks are a hundredth
    // apart at the finest (never 10, 10.002, 10.004), its count ticks whole.
    void histogramOfEqualSolves()
    {
        HistoryWorld w;
        addSeries(w.db(), {"2007/05/01 08:00:00", "2", QStringList(5, "10.00"), "10.00"});
        frmStats window(
            {w.history(), w.program().records->types, w.program().reporter, w.world.clock,
             [] {
                 return SeriesUnderWay{"2", {}};
             }},
            {2});
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
