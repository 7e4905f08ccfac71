// The history list's statements and fill, against a real database and
// without any window.

#include "app/errors.h"
#include "history/history_query.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Keeps what the fill hands over, as the grid would.
struct RecordingSink : HistorySink {
    int clears = 0, batches = 0;
    QStringList texts;
    std::vector<std::uint32_t> colours;
    void clear() override
    {
        ++clears;
        texts.clear();
        colours.clear();
    }
    void appendRows(const QStringList &t, const std::vector<std::uint32_t> &c) override
    {
        ++batches;
        texts << t;
        colours.insert(colours.end(), c.begin(), c.end());
    }
    int rows() const { return int(texts.size() / kHistoryCols); }
    QString text(int row, int col) const { return texts.at(row * kHistoryCols + col); }
};

QString fillError(HistoryWorld &w, int type, int order, RecordingSink &sink)
{
    try {
        fillHistory(w.db(), historyListQuery(type, order), w.program().settings, sink);
    } catch (const SpinlogError &e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

class HistoryQueryTest : public QObject {
    Q_OBJECT
private slots:
    void statements()
    {
        const QString base =
            "select DateTime, TypeNm, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, "
            "Time9, Time10, Time11, Time12, AveTime, BestTimeNo, WorstTimeNo "
            "from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID ";
        QCOMPARE(historyListQuery(0, 0).sql, base + " order by DateTime");
        QCOMPARE(historyListQuery(0, 1).sql, base + " order by DateTime desc");
        QCOMPARE(historyListQuery(0, 2).sql, base + " order by AveTimeSS");
        QCOMPARE(historyListQuery(2, 3).sql, base + "and T_Time.TypeID=? order by AveTimeSS desc");
        QCOMPARE(historyListQuery(2, 3).values, QVariantList{"2"});
        QVERIFY(historyListQuery(0, 0).values.isEmpty());
        QCOMPARE(historyListQuery(1, 4).sql, base + "and T_Time.TypeID=? order by ");
        QCOMPARE(deleteRecordStatement("2007/05/01 21:03:09").sql,
                 "delete from T_Time where DateTime=?");
        QCOMPARE(deleteListedStatement(0).sql, "delete from T_Time");
        QCOMPARE(deleteListedStatement(3).sql, "delete from T_Time where TypeID=?");
        QCOMPARE(deleteListedStatement(3).values, QVariantList{"3"});
        // A list without a position must never mean "every record".
        QVERIFY_THROWS_EXCEPTION(SpinlogError, deleteListedStatement(-1));
    }

    // Least as the engine sorts (no value, numbers, texts), of equals the
    // first saved; the unlisted type counts; a shown text without a value fails.
    void bestValues()
    {
        HistoryWorld w;
        QCOMPARE(historyBests(w.db(), 0).bestTime, "-");
        w.seedThree();
        addSeries(w.db(), {"2007/05/04 10:00:00", "9", {"4.20"}, "4.20"});
        addSeries(w.db(), {"2007/05/05 10:00:00", "1", {"18.50", "9.99"}, "15.20"});
        QCOMPARE(historyBests(w.db(), 1).bestTime, "9.99");
        QCOMPARE(historyBests(w.db(), 1).bestAverage, "15.20");
        QCOMPARE(historyBests(w.db(), 3).bestAverage, "-");
        w.db().execute("update T_Time set BestTime='first' where TypeID='2'");
        QCOMPARE(historyBests(w.db(), 0).bestTime, "first");
        QCOMPARE(historyBests(w.db(), 0).bestAverage, "4.20");
        w.db().execute("update T_Time set BestTimeSS='text' where TypeID='2'");
        QCOMPARE(historyBests(w.db(), 0).bestTime, "4.20");
        w.db().execute("update T_Time set BestTimeSS=NULL, BestTime='none' where TypeID='1'");
        QCOMPARE(historyBests(w.db(), 0).bestTime, "none");
        w.db().execute("update T_Time set BestTime=NULL");
        QVERIFY_THROWS_EXCEPTION(SpinlogError, historyBests(w.db(), 0));
    }

    void rowTextsAndColours()
    {
        HistoryWorld w;
        w.program().settings.store(Setting::DefColor, "100");
        w.program().settings.store(Setting::BestColor, "200");
        w.program().settings.store(Setting::WorstColor, "300");
        // Saved with best solve 3 and worst solve 5; then a one-solve series.
        addSeries(w.db(), {"2007/05/01 10:00:00",
                           "5",
                           {"12.00", "13.00", "10.00", "12.50", "1:05.43"},
                           "12.50",
                           3,
                           5});
        addSeries(w.db(), {"2007/05/02 10:00:00", "1", {"9.87"}, "9.87"});
        RecordingSink sink;
        QCOMPARE(fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink), 2);
        QCOMPARE(sink.texts.mid(0, 3),
                 (QStringList{"2007/05/01 10:00:00", "3x3x3目隠し", "12.00"}));
        QCOMPARE(sink.texts.mid(6, 3), (QStringList{"1:05.43", "-", "-"}));
        QCOMPARE(sink.text(0, 14), "12.50");
        const std::uint32_t none = kNoColour, white = kMissingSolveColour;
        const std::vector<std::uint32_t> first(sink.colours.begin(), sink.colours.begin() + 15);
        QCOMPARE(first,
                 (std::vector<std::uint32_t>{none, none, 100, 100, 200, 100, 300, white, white,
                                             white, white, white, white, white, none}));
        QCOMPARE(sink.colours[15 + 2], 200u);  // a single solve: best wins over worst
    }

    // Many rows arrive in several batches, none lost at the seams.
    void batchesKeepEveryRow()
    {
        HistoryWorld w;
        Transaction t(w.db());
        for (int i = 0; i < 5000; ++i)
            addSeries(w.db(), {QString::asprintf("2007/05/01 %08d", i), "1", {"10.00"}, "10.00"});
        t.commit();
        RecordingSink sink;
        QCOMPARE(fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink), 5000);
        QVERIFY(sink.batches > 1);
        QCOMPARE(sink.rows(), 5000);
        QCOMPARE(sink.text(4999, 0), "2007/05/01 00004999");
        QCOMPARE(sink.text(4999, 2), "10.00");
    }

    void failures()
    {
        HistoryWorld w;
        w.seedThree();
        // A shown field without a value: the rows before it, and the part of
        // its own row already read, have reached the sink.
        w.db().execute("update T_Time set BestTimeNo=NULL where TypeID='2'");
        RecordingSink sink;
        QCOMPARE(fillError(w, 0, 0, sink), describe::invalidNull());
        QCOMPARE(sink.rows(), 2);
        QCOMPARE(sink.text(1, 14), "5.00");
        // A text the engine refuses leaves the old rows alone.
        RecordingSink untouched;
        QVERIFY(fillError(w, 0, 9, untouched) != "(no error)");
        QCOMPARE(untouched.clears, 0);
    }
};

SPINLOG_TEST(HistoryQueryTest)
#include "tst_history_query.moc"
