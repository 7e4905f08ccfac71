// The chart's numbers: the trend, the running bests, the thinning of dense
// points, local date-times.

#include "chart/progress_series.h"
#include "support/test_main.h"

#include <QRandomGenerator>
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
    void trend_data()
    {
        QTest::addColumn<Ints>("averages");
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("mean");
        Ints rising, gap(12, 1000);  // rising: 10.00, 11.00, ... 22.00
        for (int i = 0; i < 13; ++i) rising << 1000 + 100 * i;
        gap << -1 << 2200;
        QTest::newRow("1st: itself") << rising << 0 << 10.0;
        QTest::newRow("11th: eleven") << rising << 10 << 15.0;
        QTest::newRow("12th: window full") << rising << 11 << 15.5;
        QTest::newRow("13th: the 1st drops out") << rising << 12 << 16.5;
        QTest::newRow("a missing average takes no place") << gap << 12 << 11.0;
    }
    void trend()
    {
        QFETCH(Ints, averages);
        QFETCH(int, point);
        QFETCH(double, mean);
        const ProgressLines lines = linesOf(averages);
        QCOMPARE(lines.trend.size(), averages.size() - averages.count(-1));
        QCOMPARE(lines.trend[point], QPointF(lines.averages[point].x(), mean));
    }

    void runningBests_data()
    {
        QTest::addColumn<Ints>("averages");
        QTest::addColumn<Ints>("singles");
        QTest::addColumn<Points>("bestAverage");
        QTest::addColumn<Points>("bestSingle");
        QTest::newRow("better values step down, a tie does not")
            << Ints{2000, 1800, 1800, 1500} << Ints{1500, 1600, 1400, 1400}
            << Points{{0, 20}, {1e3, 20}, {1e3, 18}, {3e3, 18}, {3e3, 15}}
            << Points{{0, 15}, {2e3, 15}, {2e3, 14}, {3e3, 14}};
        QTest::newRow("a missing value resets nothing")
            << Ints{2000, -1, 1900, -1} << Ints{-1, 1500, -1, 1400}
            << Points{{0, 20}, {2e3, 20}, {2e3, 19}, {3e3, 19}}
            << Points{{1e3, 15}, {3e3, 15}, {3e3, 14}};
    }
    void runningBests()
    {
        QFETCH(Ints, averages);
        QFETCH(Ints, singles);
        const ProgressLines lines = linesOf(averages, singles);
        QTEST(lines.bestAverage, "bestAverage");
        QTEST(lines.bestSingle, "bestSingle");
    }

    void reduction_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<ScreenGrid>("grid");
        QTest::addColumn<bool>("thinned");
        QRandomGenerator random(7);
        Points cloud;
        for (int i = 0; i < 20000; ++i) cloud.append({i * 1.0, random.bounded(100.0)});
        QTest::newRow("extremes only") << cloud << ScreenGrid{0, 19999, 300} << true;
        QTest::newRow("with cells") << cloud << ScreenGrid{0, 19999, 300, 0, 100, 200, 3} << true;
        QTest::newRow("zoomed: a neighbour each side")
            << cloud << ScreenGrid{5000.5, 6000.5, 50} << true;
        QTest::newRow("fewer points than columns")
            << cloud.mid(0, 12) << ScreenGrid{0, 11, 800} << false;
    }
    void reduction()
    {
        QFETCH(Points, points);
        QFETCH(ScreenGrid, grid);
        const Points kept = reducePoints(points, grid);
        qsizetype first = 0, last = points.size() - 1;
        while (points[first + 1].x() < grid.xMin) ++first;
        while (points[last - 1].x() > grid.xMax) --last;
        QCOMPARE(kept.first(), points[first]);
        QCOMPARE(kept.last(), points[last]);
        QVERIFY(std::is_sorted(kept.begin(), kept.end(),
                               [](QPointF a, QPointF b) { return a.x() < b.x(); }));
        auto extremes = [&grid](const Points &list) {  // lowest and highest by column
            QMap<int, QPair<double, double>> m;
            for (QPointF p : list) {
                const int c =
                    std::min(int((p.x() - grid.xMin) / (grid.xMax - grid.xMin) * grid.columns),
                             grid.columns - 1);
                const auto v = m.value(c, {p.y(), p.y()});
                if (p.x() >= grid.xMin && p.x() <= grid.xMax)
                    m[c] = {std::min(v.first, p.y()), std::max(v.second, p.y())};
            }
            return m;
        };
        QCOMPARE(extremes(kept), extremes(points));
        QTEST(kept.size() < (last - first + 1) / 2, "thinned");
    }

    // Local date-times, on the days a zone's clocks change too.
    void localDateTimes()
    {
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        ChartData data;
        for (const char *text : {"2021/03/27 12:00:00", "2021/03/28 03:30:00",
                                 "2021/10/31 04:10:00", "2007/02/29 10:00:00", "2007/5/1 10:00:00"})
            data.add(text, 0, 1, 1);
        QList<qint64> expected;
        for (QDateTime t : {QDateTime(QDate(2021, 3, 27), QTime(12, 0)),
                            QDateTime(QDate(2021, 3, 28), QTime(3, 30)),
                            QDateTime(QDate(2021, 10, 31), QTime(4, 10))})
            expected << t.toMSecsSinceEpoch();
        zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
        QList<qint64> read;
        for (const ChartSeries &s : data.series) read << s.ms;
        QCOMPARE(read, expected);  // and the impossible day and the short form refused
    }
};

SPINLOG_TEST(ProgressSeriesTest)
#include "tst_progress_series.moc"
