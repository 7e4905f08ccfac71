// Best and worst, the average on whole hundredths, the saved row: no window.

#include "data/database.h"
#include "main_window/series_rules.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

std::vector<Solve> series(std::initializer_list<std::int64_t> hundredths)
{
    std::vector<Solve> solves;
    int no = 0;
    for (std::int64_t h : hundredths) solves.push_back(Solve{++no, h, QString()});
    return solves;
}

}  // namespace

class SeriesRulesTest : public QObject {
    Q_OBJECT
private slots:
    void bestAndWorstWithTies()
    {
        auto marks = bestAndWorst(series({1000, 1000, 1000, 1000, 1000}));
        QCOMPARE(marks.best, 1);
        QCOMPARE(marks.worst, 5);
        marks = bestAndWorst(series({1200, 1000, 1300, 1000, 1300}));
        QCOMPARE(marks.best, 2);
        QCOMPARE(marks.worst, 5);
        marks = bestAndWorst(series({987}));
        QCOMPARE(marks.best, 1);
        QCOMPARE(marks.worst, 1);
        // Rows may come in any order; numbers decide ties, not positions.
        std::vector<Solve> shuffled{{3, 500, {}}, {1, 500, {}}, {2, 700, {}}, {4, 700, {}}};
        marks = bestAndWorst(shuffled);
        QCOMPARE(marks.best, 1);
        QCOMPARE(marks.worst, 4);
        QCOMPARE(bestAndWorst({}).best, 0);
    }

    void average_data()
    {
        QTest::addColumn<std::vector<Solve>>("solves");
        QTest::addColumn<bool>("includeAll");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("best and worst out")
            << series({1000, 1000, 1200, 1100, 1300}) << false << qint64(1100);
        QTest::newRow("half goes down to even") << series({1000, 1025}) << true << qint64(1012);
        QTest::newRow("half goes up to even") << series({1000, 1027}) << true << qint64(1014);
        QTest::newRow("a third") << series({1000, 1000, 1001}) << true << qint64(1000);
        QTest::newRow("two thirds") << series({1000, 1001, 1001}) << true << qint64(1001);
        QTest::newRow("over an hour") << series({360000, 360100, 720050}) << true << qint64(480050);
        // A type table edited by hand: too few solves to leave two out.
        QTest::newRow("two solves, best and worst out")
            << series({1000, 1025}) << false << qint64(1012);
        QTest::newRow("one solve, best and worst out") << series({987}) << false << qint64(987);
    }
    void average()
    {
        QFETCH(std::vector<Solve>, solves);
        QFETCH(bool, includeAll);
        QFETCH(qint64, expected);
        QCOMPARE(averageHundredths(solves, includeAll, bestAndWorst(solves)), expected);
    }

    void averageOfNothingFails()
    {
        QVERIFY_THROWS_EXCEPTION(SpinlogError, averageHundredths({}, true, {}));
    }

    void recordOfASeries()
    {
        std::array<QString, 12> labels;
        labels[0] = QStringLiteral("12.00");
        labels[1] = QStringLiteral("1:05.43");
        labels[2] = QStringLiteral("9.87");
        const std::vector<Solve> solves{{1, 1200, QStringLiteral("12.00")},
                                        {2, 6543, QStringLiteral("1:05.43")},
                                        {3, 987, QStringLiteral("9.87")}};
        const SeriesRecord r =
            seriesRecord(QDateTime(QDate(2007, 5, 12), QTime(14, 3, 9)), QStringLiteral("5"),
                         labels, QStringLiteral("1:05.40"), solves);
        QCOMPARE(r.dateTime, QStringLiteral("2007/05/12 14:03:09"));
        QCOMPARE(r.typeId, QStringLiteral("5"));
        QCOMPARE(r.times[1], QStringLiteral("1:05.43"));
        QCOMPARE(r.times[3], QStringLiteral("-"));
        QCOMPARE(r.times[11], QStringLiteral("-"));
        QCOMPARE(r.aveHundredths, 6540);
        QCOMPARE(r.bestNo, 3);
        QCOMPARE(r.bestTime, QStringLiteral("9.87"));
        QCOMPARE(r.bestHundredths, 987);
        QCOMPARE(r.worstNo, 2);
        QCOMPARE(r.worstHundredths, 6543);
    }

    void savingMovesTheSeriesIntoTheHistory()
    {
        TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        db->execute(
            QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (1,'9.87',9.87)"));
        SeriesRecord r;
        r.dateTime = QStringLiteral("2007/05/12 14:03:09");
        r.typeId = QStringLiteral("1");
        r.times.fill(QStringLiteral("-"));
        r.times[0] = r.aveTime = r.bestTime = r.worstTime = QStringLiteral("9.87");
        r.aveHundredths = r.bestHundredths = r.worstHundredths = 987;
        r.bestNo = r.worstNo = 1;
        saveSeries(*db, r);
        {
            Recordset rs(*db, QStringLiteral("select * from T_Time"));
            QVERIFY(!rs.eof());
            QCOMPARE(rs.text(QStringLiteral("DateTime")), r.dateTime);
            QCOMPARE(rs.text(QStringLiteral("Time1")), QStringLiteral("9.87"));
            QCOMPARE(rs.text(QStringLiteral("Time12")), QStringLiteral("-"));
            QCOMPARE(rs.field(QStringLiteral("AveTimeSS")).toDouble(), 9.87);
            QCOMPARE(rs.field(QStringLiteral("BestTimeNo")).toInt(), 1);
            QCOMPARE(rs.field(QStringLiteral("WorstTimeSS")).toDouble(), 9.87);
            rs.moveNext();
            QVERIFY(rs.eof());
        }
        QVERIFY(readSeries(*db).empty());

        // A failed history write leaves the series where it was.
        db->execute(
            QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (1,'9.87',9.87)"));
        db->execute(QStringLiteral("drop table T_Time"));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, saveSeries(*db, r));
        QCOMPARE(readSeries(*db).size(), size_t(1));
    }

    void workTableRowsOutsideTheLabelsFail()
    {
        TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        db->execute(
            QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (13,'9.87',9.87)"));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, readSeries(*db));
    }
};
SPINLOG_TEST(SeriesRulesTest)

#include "tst_series_rules.moc"
