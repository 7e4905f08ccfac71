#include "chart/axis_ticks.h"
#include "chart/listed_series.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QDateTime>
#include <QTest>

Q_DECLARE_METATYPE(spinlog::ScreenGrid)

using namespace spinlog;
using Ints = QList<int>;
using Points = QList<QPointF>;

// The local time zone while alive.
struct Zone {
    explicit Zone(const char *zone) : old(qgetenv("TZ")) { qputenv("TZ", zone); }
    ~Zone() { old.isNull() ? qunsetenv("TZ") : qputenv("TZ", old); }
    QByteArray old;
};

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

    // Running bests as step lines, each from its own values: down where a
    // strictly better one comes; a tie or a missing value changes nothing.
    void runningBests_data()
    {
        QTest::addColumn<Ints>("averages");
        QTest::addColumn<Ints>("singles");
        QTest::addColumn<QString>("bestAverage");  // x:y, x in seconds
        QTest::addColumn<QString>("bestSingle");
        QTest::newRow("better, tie, better")
            << Ints{2000, 1800, 1800, 1500} << Ints{1500, 1600, 1400, 1400}
            << "0:20 1:20 1:18 3:18 3:15"
            << "0:15 2:15 2:14 3:14";
        QTest::newRow("missing values")
            << Ints{2000, -1, 1900, -1} << Ints{-1, 1500, -1, 1400} << "0:20 2:20 2:19 3:19"
            << "1:15 3:15 3:14";
        QTest::newRow("singles far below the averages")
            << Ints{3000, 2500, 2600} << Ints{900, 1200, 800} << "0:30 1:30 1:25 2:25"
            << "0:9 2:9 2:8";
    }
    void runningBests()
    {
        QFETCH(Ints, averages);
        QFETCH(Ints, singles);
        const auto text = [](const Points &points) {
            QStringList xy;
            for (QPointF p : points) xy << QString("%1:%2").arg(p.x() / 1000).arg(p.y());
            return xy.join(' ');
        };
        const ProgressLines lines = linesOf(averages, singles);
        QTEST(text(lines.bestAverage), "bestAverage");
        QTEST(text(lines.bestSingle), "bestSingle");
    }

    // What the chart cannot draw it leaves out and names: a date it cannot
    // place, a DNF average (no point, no trend input); a DNF single is no best.
    void leftOut()
    {
        test::HistoryWorld w;
        for (const test::SeriesRow &row :
             {test::SeriesRow{"2007/05/01 10:00:00", "1", {"DNF", "DNF", "DNF"}, "DNF"},
              {"2007/05/02 10:00:00", "1", {"12.00", "13.00", "14.00"}, "13.00"},
              {"2007/05/03 10:00:00", "1", {"9.00", "DNF", "DNF"}, "DNF"},
              {"2007/5/4 10:00:00", "1", {"8.00"}, "8.00"}})
            test::addSeries(w.db(), row);
        const ListedSeries listed =
            listedSeries(w.program().records->historyChart, TypeFilter(TypeId("1")));
        QCOMPARE(listed.countText(), "3件（日時を読めない1件、DNFの平均2件は表示していません）");
        const ProgressLines lines = progressLines(listed.data.series);
        QStringList ys;
        for (const Points &line : {lines.averages, lines.trend, lines.bestSingle}) {
            for (QPointF p : line) ys << QString::number(p.y());
            ys << "|";
        }
        QCOMPARE(ys.join(' '), "13 | 13 | 12 12 9 |");
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
        ChartData data;
        {
            const Zone berlin("Europe/Berlin");
            for (const char *text :
                 {"2021/03/27 12:00:00", "2021/03/28 03:30:00", "2021/10/31 04:10:00",
                  "2007/02/29 10:00:00", "2007/5/1 10:00:00"})
                data.add(text, 0, 1, 1);
        }
        QList<qint64> read;
        for (const ChartSeries &s : data.series) read << s.ms;
        QCOMPARE(read, (QList<qint64>{1616842800000, 1616895000000, 1635649800000}));
    }

    // The time axis: the finest step that fits, its first tick rounded down
    // to the step's unit (a week from its Monday) and skipped before the
    // start, the end included.
    void timeAxis_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("most");
        QTest::addColumn<QString>("ticks");  // the first one's moment, then the labels
        // clang-format off
        const std::tuple<const char *, const char *, const char *, int, const char *> rows[] = {
            {"10 minutes", "2007/05/01 21:03:09", "2007/05/01 22:00:00", 6, "2007/05/01 21:10:00|"
             "05/01 21:10|05/01 21:20|05/01 21:30|05/01 21:40|05/01 21:50|05/01 22:00"},
            {"3 hours over midnight", "2007/05/01 20:30:00", "2007/05/02 02:10:00", 3,
             "2007/05/01 21:00:00|05/01 21:00|05/02 00:00"},
            {"days", "2007/05/01 12:00:00", "2007/05/05 00:00:00", 5,
             "2007/05/02 00:00:00|2007/05/02|2007/05/03|2007/05/04|2007/05/05"},
            {"weeks from Monday", "2007/05/03 10:00:00", "2007/06/10 00:00:00", 6,
             "2007/05/07 00:00:00|2007/05/07|2007/05/14|2007/05/21|2007/05/28|2007/06/04"},
            {"months over a year's end", "2007/11/15 10:00:00", "2008/03/01 00:00:00", 4,
             "2007/12/01 00:00:00|2007/12|2008/01|2008/02|2008/03"},
            {"quarters", "2007/02/10 00:00:00", "2008/02/10 00:00:00", 5,
             "2007/04/01 00:00:00|2007/04|2007/07|2007/10|2008/01"},
            {"5 years", "2003/06/01 00:00:00", "2015/01/01 00:00:00", 3,
             "2005/01/01 00:00:00|2005|2010|2015"},
            {"never more than 10 years", "1990/01/01 00:00:00", "2060/01/01 00:00:00", 2,
             "1990/01/01 00:00:00|1990|2000|2010|2020|2030|2040|2050|2060"}};
        // clang-format on
        for (const auto &[name, from, to, most, ticks] : rows)
            QTest::newRow(name) << QString(from) << QString(to) << most << QString(ticks);
    }
    void timeAxis()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, most);
        const Zone tokyo("Asia/Tokyo");
        const auto ms = [](const QString &text) {
            return double(QDateTime::fromString(text, "yyyy/MM/dd HH:mm:ss").toMSecsSinceEpoch());
        };
        const Ticks ticks = timeTicks(ms(from), ms(to), most);
        QStringList shown{ticks.empty() ? QString()
                                        : QDateTime::fromMSecsSinceEpoch(qint64(ticks[0].first))
                                              .toString("yyyy/MM/dd HH:mm:ss")};
        for (const auto &tick : ticks) shown << tick.second;
        QTEST(shown.join('|'), "ticks");
    }

    // The value axis widened to whole steps of 1, 2 or 5 times a power of ten
    // hundredths, labelled as times.
    void valueAxis_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("most");
        QTest::addColumn<QString>("axis");  // low, high: the labels
        QTest::newRow("50") << 9.5 << 12.3 << 6
                            << "9.5 12.5: 9.50 10.00 10.50 11.00 11.50 12.00 12.50";
        QTest::newRow("2000") << 58.0 << 125.0 << 4
                              << "40 140: 40.00 1:00.00 1:20.00 1:40.00 2:00.00 2:20.00";
        QTest::newRow("10") << 0.0 << 0.3 << 3 << "0 0.3: 0.00 0.10 0.20 0.30";
        QTest::newRow("no span") << 5.0 << 5.0 << 4 << "5 5: 5.00";
    }
    void valueAxis()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, most);
        const ValueAxis axis = spinlog::valueAxis(low, high, most);
        QStringList labels;
        for (const auto &tick : axis.ticks) labels << tick.second;
        QTEST(QString("%1 %2: ").arg(axis.low).arg(axis.high) + labels.join(' '), "axis");
    }
};

SPINLOG_TEST(ProgressSeriesTest)
#include "tst_progress_series.moc"
