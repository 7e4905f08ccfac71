// Best and worst, the average on whole hundredths, saving: no window.

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
    for (std::int64_t h : hundredths) solves.push_back(Solve{int(solves.size()) + 1, h, QString()});
    return solves;
}

}  // namespace

class SeriesRulesTest : public QObject {
    Q_OBJECT
private slots:
    void bestAndWorstWithTies()
    {
        auto marks = [](const std::vector<Solve> &s) {
            const BestWorst m = bestAndWorst(s);
            return std::pair{m.best, m.worst};
        };
        QCOMPARE(marks(series({1000, 1000, 1000, 1000, 1000})), std::pair(1, 5));
        QCOMPARE(marks(series({987})), std::pair(1, 1));
        // Numbers decide ties, not the order the rows come in.
        QCOMPARE(marks({{3, 500, {}}, {1, 500, {}}, {4, 700, {}}, {2, 700, {}}}), std::pair(1, 4));
    }

    void average()
    {
        // Exact halves go to the even hundredth; with fewer than three solves
        // (a type table edited by hand) none can be left out.
        for (auto [solves, all, expected] :
             {std::tuple{series({1000, 1000, 1200, 1100, 1300}), false, 1100},
              {series({1000, 1025}), true, 1012},
              {series({1000, 1027}), true, 1014},
              {series({1000, 1001, 1001}), true, 1001},
              {series({1000, 1025}), false, 1012},
              {series({987}), false, 987}})
            QCOMPARE(averageHundredths(solves, all, bestAndWorst(solves)), expected);
    }

    void aFailedSaveLeavesTheSeriesWhereItWas()
    {
        TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        db->execute(QStringLiteral("insert into W_Time values (1, '9.87', 9.87)"));
        const SeriesRecord r = seriesRecord(QDateTime::currentDateTime(), "1", {"9.87"},
                                            QStringLiteral("9.87"), readSeries(*db));
        db->execute(QStringLiteral("alter table T_Time rename to T_Away"));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, saveSeries(*db, r));
        QCOMPARE(readSeries(*db).size(), size_t(1));
        // Only twelve solve labels exist.
        db->execute(QStringLiteral("insert into W_Time values (13, '9.87', 9.87)"));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, readSeries(*db));
    }
};
SPINLOG_TEST(SeriesRulesTest)

#include "tst_series_rules.moc"
