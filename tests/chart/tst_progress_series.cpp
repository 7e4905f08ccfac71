// The chart's numbers: the trend, the running bests, the thinning of dense
// points, local date-times, and the series read for a type filter.

#include "chart/chart_query.h"
#include "chart/progress_series.h"
#include "data/database.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(spinlog::ScreenGrid)

using namespace spinlog;
using namespace spinlog::test;

namespace {

using Ints = QList<int>;

// Series i at i seconds past the epoch; -1 is a missing time.
std::vector<ChartSeries> seriesOf(const Ints &averages, const Ints &singles = {})
{
    std::vector<ChartSeries> series;
    for (int i = 0; i < averages.size(); ++i)
        series.push_back({i * 1000LL, 0, averages[i], singles.value(i, kNoTime)});
    return series;
}

// Step corners as (series index, seconds).
QList<QPointF> steps(std::initializer_list<std::pair<int, double>> corners)
{
    QList<QPointF> points;
    for (auto [i, seconds] : corners) points.append({i * 1000.0, seconds});
    return points;
}

}  // namespace

class ProgressSeriesTest : public QObject {
    Q_OBJECT
private slots:
    void trend_data()
    {
        QTest::addColumn<Ints>("averages");
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("mean");
        Ints rising;  // 10.00, 11.00, ... 23.00
        for (int i = 0; i < 14; ++i) rising << 1000 + 100 * i;
        QTest::newRow("1st: itself") << rising << 0 << 10.0;
        QTest::newRow("2nd: mean of two") << rising << 1 << 10.5;
        QTest::newRow("11th: mean of eleven") << rising << 10 << 15.0;
        QTest::newRow("12th: window full") << rising << 11 << 15.5;
        QTest::newRow("13th: the 1st drops out") << rising << 12 << 16.5;
        QTest::newRow("14th") << rising << 13 << 17.5;
        Ints gap(12, 1000);
        gap << -1 << 2200;
        QTest::newRow("a missing average takes no place") << gap << 12 << 11.0;
        QTest::newRow("hundredths stay exact") << Ints{1001, 1002} << 1 << 10.015;
    }
    void trend()
    {
        QFETCH(Ints, averages);
        QFETCH(int, point);
        QFETCH(double, mean);
        const ProgressLines lines = progressLines(seriesOf(averages));
        QCOMPARE(lines.trend.size(), averages.size() - averages.count(-1));
        QCOMPARE(lines.trend.size(), lines.averages.size());
        QCOMPARE(lines.trend[point].y(), mean);
        QCOMPARE(lines.trend[point].x(), lines.averages[point].x());
    }

    void runningBests_data()
    {
        QTest::addColumn<Ints>("averages");
        QTest::addColumn<Ints>("singles");
        QTest::addColumn<QList<QPointF>>("bestAverage");
        QTest::addColumn<QList<QPointF>>("bestSingle");
        QTest::newRow("better values step down")
            << Ints{2000, 1800, 1900, 1500} << Ints{1500, 1600, 1400, 1400}
            << steps({{0, 20}, {1, 20}, {1, 18}, {3, 18}, {3, 15}})
            << steps({{0, 15}, {2, 15}, {2, 14}, {3, 14}});
        QTest::newRow("a tie is no new best")
            << Ints{2000, 2000, 2000} << Ints{900, 900, 900} << steps({{0, 20}, {2, 20}})
            << steps({{0, 9}, {2, 9}});
        QTest::newRow("a missing value resets nothing")
            << Ints{2000, -1, 1900, -1} << Ints{-1, 1500, -1, 1400}
            << steps({{0, 20}, {2, 20}, {2, 19}, {3, 19}}) << steps({{1, 15}, {3, 15}, {3, 14}});
        QTest::newRow("none at all")
            << Ints{-1, -1} << Ints{-1, -1} << QList<QPointF>{} << QList<QPointF>{};
    }
    void runningBests()
    {
        QFETCH(Ints, averages);
        QFETCH(Ints, singles);
        const ProgressLines lines = progressLines(seriesOf(averages, singles));
        QTEST(lines.bestAverage, "bestAverage");
        QTEST(lines.bestSingle, "bestSingle");
    }

    void reduction_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<ScreenGrid>("grid");
        QTest::addColumn<bool>("thinned");
        QRandomGenerator random(7);
        QList<QPointF> cloud, ties, sparse;
        for (int i = 0; i < 20000; ++i) cloud.append({i * 1.0, random.bounded(100.0)});
        for (int i = 0; i < 3000; ++i) ties.append({i / 10 * 1.0, i % 10 < 5 ? 5.0 : 9.0});
        for (int i = 0; i < 12; ++i) sparse.append({i * 100.0, random.bounded(100.0)});
        QTest::newRow("cloud, extremes only") << cloud << ScreenGrid{0, 19999, 300} << true;
        QTest::newRow("cloud with cells")
            << cloud << ScreenGrid{0, 19999, 300, 0, 100, 200, 3} << true;
        QTest::newRow("zoomed: a neighbour each side")
            << cloud << ScreenGrid{5000.5, 6000.5, 50} << true;
        QTest::newRow("equal values in a column") << ties << ScreenGrid{0, 299, 30} << true;
        QTest::newRow("fewer points than columns") << sparse << ScreenGrid{0, 1100, 800} << false;
        QTest::newRow("one column") << sparse << ScreenGrid{0, 1100, 1} << true;
    }
    void reduction()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(ScreenGrid, grid);
        const QList<QPointF> kept = reducePoints(points, grid);
        // In range, plus the nearest point on either side.
        qsizetype first = 0, last = points.size() - 1;
        while (first + 1 < points.size() && points[first + 1].x() < grid.xMin) ++first;
        while (last > 0 && points[last - 1].x() > grid.xMax) --last;
        QCOMPARE(kept.first(), points[first]);
        QCOMPARE(kept.last(), points[last]);
        // A subsequence of the input, so the order by x holds.
        qsizetype at = first;
        for (const QPointF &p : kept) {
            while (at <= last && points[at] != p) ++at;
            QVERIFY2(at <= last, "a point not in the input, or out of order");
        }
        // Every column's lowest and highest value survives.
        auto extremes = [&grid](const QList<QPointF> &list) {
            QMap<int, std::pair<double, double>> lowHigh;
            for (const QPointF &p : list) {
                if (p.x() < grid.xMin || p.x() > grid.xMax)
                    continue;
                const int column =
                    std::clamp(int((p.x() - grid.xMin) / (grid.xMax - grid.xMin) * grid.columns), 0,
                               grid.columns - 1);
                const auto at = lowHigh.find(column);
                if (at == lowHigh.end())
                    lowHigh.insert(column, {p.y(), p.y()});
                else
                    *at = {std::min(at->first, p.y()), std::max(at->second, p.y())};
            }
            return lowHigh;
        };
        QCOMPARE(extremes(kept), extremes(points));
        QFETCH(bool, thinned);
        QCOMPARE(kept.size() < (last - first + 1) / 2, thinned);
    }

    void localDateTimes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QDateTime>("when");  // invalid: refused
        const QDateTime none;
        QTest::newRow("ordinary") << QByteArray("2007/05/01 21:03:09")
                                  << QDateTime(QDate(2007, 5, 1), QTime(21, 3, 9));
        QTest::newRow("leap day") << QByteArray("2008/02/29 23:59:59")
                                  << QDateTime(QDate(2008, 2, 29), QTime(23, 59, 59));
        QTest::newRow("clocks go forward, after")
            << QByteArray("2021/03/28 03:30:00") << QDateTime(QDate(2021, 3, 28), QTime(3, 30));
        QTest::newRow("clocks go back, after")
            << QByteArray("2021/10/31 04:10:00") << QDateTime(QDate(2021, 10, 31), QTime(4, 10));
        QTest::newRow("no such day") << QByteArray("2007/02/29 10:00:00") << none;
        QTest::newRow("hour 24") << QByteArray("2007/05/01 24:00:00") << none;
        QTest::newRow("second 60") << QByteArray("2007/05/01 10:00:60") << none;
        QTest::newRow("unpadded") << QByteArray("2007/5/1 10:00:00") << none;
        QTest::newRow("dashes") << QByteArray("2007-05-01 10:00:00") << none;
        QTest::newRow("empty") << QByteArray() << none;
    }
    void localDateTimes()
    {
        QFETCH(QByteArray, text);
        QFETCH(QDateTime, when);
        const std::optional<QByteArray> zone =
            qEnvironmentVariableIsSet("TZ") ? std::optional(qgetenv("TZ")) : std::nullopt;
        qputenv("TZ", "Europe/Berlin");  // a zone whose clocks change
        ChartData data;
        // Another day first, so the day read is not the one cached.
        data.add("2021/03/27 12:00:00", 0, 1, 1);
        const bool added = data.add(text, 0, 1000, std::nullopt);
        const qint64 expected = QDateTime(when.date(), when.time()).toMSecsSinceEpoch();
        const qint64 ms = data.series.back().ms;
        zone ? qputenv("TZ", *zone) : qunsetenv("TZ");
        QCOMPARE(added, when.isValid());
        if (added)
            QCOMPARE(ms, expected);
    }

    // The rows the history list shows for a filter, in date order.
    void listedForFilter()
    {
        TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        const char *rows[][4] = {{"2007/05/03 12:00:00", "1", "17.00", "15.2"},
                                 {"2007/05/01 21:03:09", "1", "20.00", "18.5"},
                                 {"2007/05/02 08:00:00", "2", nullptr, "4.2"},
                                 {"2007/05/02 09:00:00", "9", "3.00", "3"},
                                 {"someday", "2", "5.00", "4.5"}};
        for (auto &r : rows)
            db->execute(
                "insert into T_Time (DateTime, TypeID, AveTimeSS, BestTimeSS) "
                "values (?, ?, ?, ?)",
                {r[0], r[1], r[2] ? QVariant(QString(r[2]).toDouble()) : QVariant(),
                 QString(r[3]).toDouble()});
        const ListedSeries all = listedSeries(*db, 0);
        QCOMPARE(all.unplaced, 1);
        QCOMPARE(all.data.series.size(), std::size_t(3));
        const ChartSeries &a = all.data.series[0], &b = all.data.series[1], &c = all.data.series[2];
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(a.ms).toString("yyyy/MM/dd HH:mm:ss"),
                 "2007/05/01 21:03:09");
        QCOMPARE(QList<int>({a.average, a.bestSingle, b.average, b.bestSingle, c.average}),
                 QList<int>({2000, 1850, kNoTime, 420, 1700}));
        QCOMPARE(all.data.typeNames.value(b.type), "2x2x2");
        const ListedSeries two = listedSeries(*db, 2);
        QCOMPARE(two.data.series.size(), std::size_t(1));
        QCOMPARE(two.data.series[0].bestSingle, 420);
    }
};

SPINLOG_TEST(ProgressSeriesTest)
#include "tst_progress_series.moc"
