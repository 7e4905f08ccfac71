#include "chart/progress_series.h"
#include "support/test_main.h"

#include <QTest>

Q_DECLARE_METATYPE(spinlog::ScreenGrid)

using namespace spinlog;
using Ints = QList<int>;
using Points = QList<QPointF>;

// Series i at i seconds; -1 is a missing time.
static ProgressLines linesOf(const Ints &averages, const Ints &singles = {})
{
    std::vector<ChartSeries> series;
    for (int i = 0; i < averages.size(); ++i)
        series.push_back({i * 1000LL, 0, averages[i], singles.value(i, kNoTime)});
    return progressLines(series);
}

class ProgressSeriesTest : public QObject {
    Q_OBJECT
private slots:
    // The mean of the averages there are until the window of 12 is full, then
    // of the last 12; a series without an average takes no place.
    void trend()
    {
        Ints rising, gap(12, 1000);
        for (int i = 0; i < 13; ++i) rising << 1000 + 100 * i;  // 10.00, 11.00, ... 22.00
        gap << -1 << 2200;
        QStringList means;
        for (QPointF p : linesOf(rising).trend) means << QString::number(p.y());
        QCOMPARE(means.join(' '), "10 10.5 11 11.5 12 12.5 13 13.5 14 14.5 15 15.5 16.5");
        const ProgressLines lines = linesOf(gap);
        QCOMPARE(lines.trend.size(), 13);
        QCOMPARE(lines.trend.last(), QPointF(13000, 11));
    }

    // Better values step down, a tie does not; a missing value resets nothing.
    void runningBests()
    {
        ProgressLines lines = linesOf({2000, 1800, 1800, 1500}, {1500, 1600, 1400, 1400});
        QCOMPARE(lines.bestAverage, (Points{{0, 20}, {1e3, 20}, {1e3, 18}, {3e3, 18}, {3e3, 15}}));
        QCOMPARE(lines.bestSingle, (Points{{0, 15}, {2e3, 15}, {2e3, 14}, {3e3, 14}}));
        lines = linesOf({2000, -1, 1900, -1}, {-1, 1500, -1, 1400});
        QCOMPARE(lines.bestAverage, (Points{{0, 20}, {2e3, 20}, {2e3, 19}, {3e3, 19}}));
        QCOMPARE(lines.bestSingle, (Points{{1e3, 15}, {3e3, 15}, {3e3, 14}}));
    }

    void reduction_data()
    {
        QTest::addColumn<ScreenGrid>("grid");
        QTest::addColumn<QString>("kept");  // the x of each point kept
        QTest::newRow("extremes of each column") << ScreenGrid{0, 12, 2} << "0 1 2 5 6 8 10 11";
        QTest::newRow("a neighbour each side of the view") << ScreenGrid{3, 8, 1} << "2 7 9";
        QTest::newRow("a point per cell")
            << ScreenGrid{0, 12, 2, 0, 10, 2, 1} << "0 1 2 5 6 7 8 10 11";
        QTest::newRow("a column each") << ScreenGrid{0, 11, 800} << "0 1 2 3 4 5 6 7 8 9 10 11";
    }
    void reduction()
    {
        QFETCH(ScreenGrid, grid);
        const double ys[] = {5, 1, 9, 4, 7, 3, 6, 2, 8, 5, 0, 4};  // at x = 0, 1, ... 11
        Points points;
        for (int x = 0; x < 12; ++x) points.append({double(x), ys[x]});
        QStringList kept;
        for (QPointF p : reducePoints(points, grid)) kept << QString::number(p.x());
        QTEST(kept.join(' '), "kept");
    }

    // Local date-times, on the days the zone's clocks change too; an
    // impossible day and the short form are refused.
    void localDateTimes()
    {
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        ChartData data;
        for (const char *text : {"2021/03/27 12:00:00", "2021/03/28 03:30:00",
                                 "2021/10/31 04:10:00", "2007/02/29 10:00:00", "2007/5/1 10:00:00"})
            data.add(text, 0, 1, 1);
        zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
        QList<qint64> read;
        for (const ChartSeries &s : data.series) read << s.ms;
        QCOMPARE(read, (QList<qint64>{1616842800000, 1616895000000, 1635649800000}));
    }
};

SPINLOG_TEST(ProgressSeriesTest)
#include "tst_progress_series.moc"
