// The figures over every solve: against a plain reference that sorts every
// window, on random lists with DNFs handed in a series at a time and looked
// at between series; and hand-worked lists for the edges.

#include "stats/solve_figures.h"
#include "support/test_main.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <numeric>

using namespace spinlog;

namespace {

std::int64_t nearestEven(long double value)
{
    return std::int64_t(std::nearbyint(value));
}

// Means and averages: an exact half goes up.
std::int64_t halfUp(long double value)
{
    return std::int64_t(std::floor(value + 0.5L));
}

QString counted(std::int64_t sum, int n)
{
    return sum == INT64_MAX ? QStringLiteral("DNF") : QString::number(halfUp((long double)sum / n));
}

QString number(const std::optional<std::int64_t> &value)
{
    return value ? QString::number(*value) : QStringLiteral("-");
}

QString number(const std::optional<Counted> &value)
{
    return !value       ? QStringLiteral("-")
           : value->dnf ? QStringLiteral("DNF")
                        : QString::number(value->hundredths);
}

QString described(const Figures &f)
{
    QStringList s{QString::number(f.solves), QString::number(f.dnfs), number(f.mean),
                  number(f.deviation),       number(f.best),          number(f.worst),
                  number(f.median)};
    for (const AverageFigure &a : f.averages)
        s << number(a.current) + '/' + number(a.best) + '@' + QString::number(a.bestLast);
    return s.join(' ');
}

// Every figure the plain way: the timed solves sorted, each window of N
// copied and sorted; the best is the first of the least, known by its last
// solve's place.
QString reference(const std::vector<SolveValue> &solves)
{
    std::vector<SolveValue> timed;
    std::copy_if(solves.begin(), solves.end(), std::back_inserter(timed),
                 [](SolveValue v) { return v < kDnfValue; });
    std::sort(timed.begin(), timed.end());
    const auto n = std::int64_t(timed.size());
    QStringList s{QString::number(solves.size()), QString::number(solves.size() - timed.size())};
    if (n == 0) {
        s += QStringList(5, "-");
    } else {
        const long double mean = std::accumulate(timed.begin(), timed.end(), 0.0L) / n;
        long double squares = 0;
        for (SolveValue v : timed) squares += (v - mean) * (v - mean);
        s << QString::number(halfUp(mean))
          << (n > 1 ? QString::number(nearestEven(std::sqrt(squares / (n - 1)))) : "-")
          << QString::number(timed.front()) << QString::number(timed.back())
          << QString::number(n % 2 ? timed[n / 2]
                                   : halfUp((timed[n / 2 - 1] + timed[n / 2]) / 2.0L));
    }
    for (const AverageKind &kind : kAverageKinds) {
        std::int64_t best = 0, current = 0, bestSeries = -1;
        for (std::size_t end = kind.solves; end <= solves.size(); ++end) {
            std::vector<SolveValue> window(solves.begin() + std::ptrdiff_t(end) - kind.solves,
                                           solves.begin() + std::ptrdiff_t(end));
            std::sort(window.begin(), window.end());
            const auto dnfs = std::count(window.begin(), window.end(), kDnfValue);
            current = dnfs > kind.trimmed
                          ? INT64_MAX
                          : std::accumulate(window.begin() + kind.trimmed,
                                            window.end() - kind.trimmed, std::int64_t(0));
            if (bestSeries == -1 || current < best) {
                best = current;
                bestSeries = std::int64_t(end - 1);
            }
        }
        const int n = kind.solves - 2 * kind.trimmed;
        s << (bestSeries == -1 ? QString("-/-@-1")
                               : counted(current, n) + '/' + counted(best, n) + '@' +
                                     QString::number(bestSeries));
    }
    return s.join(' ');
}

}  // namespace

class SolveFiguresTest : public QObject {
    Q_OBJECT
private slots:
    void againstThePlainWay_data()
    {
        QTest::addColumn<int>("solves");
        QTest::addColumn<int>("dnfPercent");
        QTest::addColumn<int>("spread");  // hundredths above 5.00; small: many ties
        QTest::newRow("a few") << 40 << 10 << 3000;
        QTest::newRow("many DNFs") << 400 << 35 << 2000;
        QTest::newRow("ties") << 1500 << 4 << 20;
        QTest::newRow("long, up to an hour") << 2600 << 3 << 360000;
        QTest::newRow("no DNF") << 1300 << 0 << 1500;
    }
    void againstThePlainWay()
    {
        QFETCH(int, solves);
        QFETCH(int, dnfPercent);
        QFETCH(int, spread);
        QRandomGenerator random{quint32(solves)};
        FigureAccumulator figures;
        std::vector<SolveValue> all;
        std::size_t look = 0;
        while (int(all.size()) < solves) {
            std::vector<SolveValue> one(1 + random.bounded(12));
            for (SolveValue &v : one)
                v = int(random.bounded(100)) < dnfPercent
                        ? kDnfValue
                        : 500 + SolveValue(random.bounded(spread));
            figures.add(one, std::int64_t(all.size()));
            all.insert(all.end(), one.begin(), one.end());
            // Looked at now and then, as the window does after a save.
            if (all.size() >= look || int(all.size()) >= solves) {
                look = all.size() + std::size_t(std::max(solves / 5, 7)) + random.bounded(12);
                QCOMPARE(described(figures.figures()), reference(all));
                const Histogram h = figures.histogram();
                const std::int64_t timed = figures.figures().solves - figures.figures().dnfs;
                QCOMPARE(std::accumulate(h.counts.begin(), h.counts.end(), h.beyond), timed);
                QVERIFY(h.counts.size() <= 60);
            }
        }
    }

    // Hand-worked lists: the figures' lines as the command line prints them.
    void edges_data()
    {
        QTest::addColumn<QString>("solves");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("exactly five")
            << "10.00 11.00 12.00 13.00 14.00"
            << QStringList{"ao5\t12.00\t12.00", "mo3\t13.00\t11.00", "ao12\t-\t-", "中央値\t12.00",
                           "標準偏差\t1.58"};
        QTest::newRow("one DNF in an ao5")
            << "10.00 DNF 12.00 13.00 14.00"
            << QStringList{"ao5\t13.00\t13.00", "mo3\t13.00\t13.00", "DNF\t1", "最遅\t14.00"};
        QTest::newRow("two DNFs in an ao5")
            << "DNF 11.00 12.00 DNF 14.00" << QStringList{"ao5\tDNF\tDNF", "平均\t12.33"};
        QTest::newRow("ties") << "12.00 12.00 12.00 12.00 12.00 12.00"
                              << QStringList{"ao5\t12.00\t12.00", "中央値\t12.00",
                                             "標準偏差\t0.00"};
        QTest::newRow("ao12 with one DNF")
            << "10.00 11.00 12.00 13.00 14.00 15.00 16.00 17.00 18.00 19.00 20.00 DNF"
            << QStringList{"ao12\t15.50\t15.50", "ao5\t19.00\t12.00"};
        QTest::newRow("ao12 with its slowest two DNF")
            << "10.00 11.00 12.00 13.00 14.00 15.00 16.00 17.00 18.00 19.00 DNF DNF"
            << QStringList{"ao12\tDNF\tDNF"};
        // Exact halves of a hundredth go up, as the competition rules round.
        QTest::newRow("a +2 as shown, a half up")
            << "1.00 1.01+" << QStringList{"平均\t1.01", "中央値\t1.01", "最遅\t1.01", "mo3\t-\t-"};
        QTest::newRow("ao12 of an exact half")
            << "9.00 10.00 10.00 10.00 10.00 10.00 10.00 10.00 10.00 10.00 10.05 11.00"
            << QStringList{"ao12\t10.01\t10.01", "中央値\t10.00"};
        QTest::newRow("ao50 of an exact half")
            << (QStringList(3, "19.00") + QStringList(42, "20.00") + QStringList(2, "20.11") +
                QStringList(3, "21.00"))
                   .join(' ')
            << QStringList{"ao50\t20.01\t20.01", "平均\t20.00"};
        QTest::newRow("only DNFs")
            << "DNF DNF DNF" << QStringList{"平均\t-",     "最速\tDNF",     "最遅\tDNF",
                                            "標準偏差\t-", "mo3\tDNF\tDNF", "解答数\t3"};
        QTest::newRow("minutes") << "1:05.43 1:00.00 59.99"
                                 << QStringList{"最遅\t1:05.43", "平均\t1:01.81",
                                                "mo3\t1:01.81\t1:01.81"};
    }
    void edges()
    {
        QFETCH(QString, solves);
        QFETCH(QStringList, lines);
        std::vector<SolveValue> values;
        for (const QString &text : solves.split(' ')) {
            const std::optional<Counted> c = countedFromText(text);
            QVERIFY(c);
            values.push_back(SolveValue(c->hundredths));
        }
        FigureAccumulator figures;
        figures.add(values);
        QStringList shown;
        for (const QStringList &line : figureLines(figures.figures())) shown << line.join('\t');
        for (const QString &line : lines)
            if (!shown.contains(line))
                QFAIL(qPrintable(line + " is not in:\n" + shown.join('\n')));
    }
};

SPINLOG_TEST(SolveFiguresTest)
#include "tst_solve_figures.moc"
