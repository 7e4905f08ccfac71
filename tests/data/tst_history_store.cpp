// The history against a real database: the list's orders, rows and marks,
// the best values, failures (the history window's tests delete); what the
// writer's changes say, and the history's order of series.

#include "base/errors.h"
#include "data/history_list.h"
#include "data_support.h"
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
    std::vector<std::uint8_t> marks;
    std::vector<std::int64_t> ids;
    void clear() override
    {
        ++clears;
        texts.clear();
        marks.clear();
        ids.clear();
    }
    void appendRows(const HistoryRows &rows) override
    {
        ++batches;
        ids.insert(ids.end(), rows.ids.begin(), rows.ids.end());
        std::uint32_t from = 0;
        for (std::uint32_t end : rows.ends) {
            texts << QString::fromUtf8(rows.text.data() + from, end - from);
            from = end;
        }
        marks.insert(marks.end(), rows.marks.begin(), rows.marks.end());
    }
    int rows() const { return int(texts.size() / kHistoryCols); }
    QString text(int row, int col) const { return texts.at(row * kHistoryCols + col); }
};

const HistoryList &listOf(HistoryWorld &w)
{
    return w.program().records->historyList;
}

TypeFilter typeOf(const char *id)
{
    return TypeFilter(TypeId(id));
}

QString fillError(HistoryWorld &w, RecordingSink &sink)
{
    return failure([&] { listOf(w).list({}, HistoryOrder::DateAscending, sink); });
}

}  // namespace

class HistoryStoreTest : public QObject {
    Q_OBJECT
private slots:
    // Equals come by their type's row in MT_Type, then in saving order: with
    // the indexes, without them (an older file), and once it has gained them.
    // A DNF average (g) is slower than every time.
    void listOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<bool>("typesReordered");
        QTest::addColumn<QString>("expected");
        const char *const orders[] = {"date up", "date down", "average up", "average down"};
        const QStringList all{"b d c a e g", "g e c a b d", "c a e b d g", "g b d c a e"};
        const QStringList reordered{"d b a c e g", "g e a c d b", "a e c d b g", "g d b a e c"};
        const QStringList type2{"a e", "e a", "a e", "a e"};
        for (int o = 0; o < kHistoryOrders; ++o) {
            QTest::addRow("all types, %s", orders[o]) << 0 << o << false << all[o];
            QTest::addRow("type rows 3 2 1, %s", orders[o]) << 0 << o << true << reordered[o];
            QTest::addRow("type 2, %s", orders[o]) << 2 << o << false << type2[o];
            QTest::addRow("type 2, type rows 3 2 1, %s", orders[o]) << 2 << o << true << type2[o];
        }
    }
    void listOrder()
    {
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(bool, typesReordered);
        QFETCH(QString, expected);
        HistoryWorld w;
        // Label, day, type, average.
        for (const QString &s : QString("a2210 b1112 c2110 d1312 e3210 f2905 g41DNF").split(' '))
            addSeries(w.db(), {"2007/05/0" + s.mid(1, 1), s.mid(2, 1), {s.left(1)}, s.mid(3)});
        if (typesReordered)
            w.db().execute(
                "update MT_Type set TypeID=case TypeID when '1' then '3' "
                "when '3' then '1' else TypeID end");
        const auto listed = [&] {
            RecordingSink sink;
            const TypeFilter filter =
                type ? TypeFilter(TypeId(QString::number(type))) : TypeFilter();
            listOf(w).list(filter, HistoryOrder(order), sink);
            QStringList labels;
            for (int r = 0; r < sink.rows(); ++r) labels << sink.text(r, 2);
            return labels.join(' ');
        };
        QCOMPARE(listed(), expected);
        dropAddedIndexes(w.db());
        QCOMPARE(listed(), expected);
        // The older file gains them again at its next opening.
        w.program().records.reset();
        w.program().records =
            std::make_unique<RecordStores>(Database::open(w.folder.file("Spinlog.mdb")));
        QCOMPARE(Recordset(w.db(), "select count(*) from sqlite_master").text(0), "16");
        QCOMPARE(listed(), expected);
    }

    // Least as the engine sorts (no value, numbers, texts), of equals the
    // first saved; the unlisted type counts; a shown text without a value fails.
    void bestValues()
    {
        HistoryWorld w;
        const HistoryList &list = listOf(w);
        QCOMPARE(list.bests({}).bestTime, "-");
        w.seedThree();
        addSeries(w.db(), {"2007/05/04 10:00:00", "9", {"4.20"}, "4.20"});
        addSeries(w.db(), {"2007/05/05 10:00:00", "1", {"18.50", "9.99"}, "15.20"});
        QCOMPARE(list.bests(typeOf("1")).bestTime, "9.99");
        QCOMPARE(list.bests(typeOf("1")).bestAverage, "15.20");
        QCOMPARE(list.bests(typeOf("3")).bestAverage, "-");
        w.db().execute("update T_Time set BestTime='first' where TypeID='2'");
        QCOMPARE(list.bests({}).bestTime, "first");
        QCOMPARE(list.bests({}).bestAverage, "4.20");
        w.db().execute("update T_Time set BestTimeSS='text' where TypeID='2'");
        QCOMPARE(list.bests({}).bestTime, "4.20");
        w.db().execute("update T_Time set BestTimeSS=NULL, BestTime='none' where TypeID='1'");
        QCOMPARE(list.bests({}).bestTime, "none");
        w.db().execute("update T_Time set BestTime=NULL");
        QVERIFY_THROWS_EXCEPTION(SpinlogError, list.bests({}));
    }

    void rowTextsAndMarks()
    {
        HistoryWorld w;
        const std::uint8_t solve = HistoryRows::Solve, best = HistoryRows::Best,
                           worst = HistoryRows::Worst, none = HistoryRows::None,
                           missing = HistoryRows::MissingSolve;
        // Saved with best solve 3 and worst solve 5; then a one-solve series.
        addSeries(w.db(), {"2007/05/01 10:00:00",
                           "5",
                           {"12.00", "13.00", "10.00", "12.50", "1:05.43"},
                           "12.50",
                           3,
                           5});
        addSeries(w.db(), {"2007/05/02 10:00:00", "1", {"9.87"}, "9.87"});
        RecordingSink sink;
        QCOMPARE(listOf(w).list({}, HistoryOrder::DateAscending, sink), 2);
        QCOMPARE(sink.texts.mid(0, 3),
                 (QStringList{"2007/05/01 10:00:00", "3x3x3目隠し", "12.00"}));
        QCOMPARE(sink.texts.mid(6, 3), (QStringList{"1:05.43", "-", "-"}));
        QCOMPARE(sink.text(0, 14), "12.50");
        const std::vector<std::uint8_t> first(sink.marks.begin(), sink.marks.begin() + 15);
        QCOMPARE(first, (std::vector<std::uint8_t>{none, none, solve, solve, best, solve, worst,
                                                   missing, missing, missing, missing, missing,
                                                   missing, missing, none}));
        QCOMPARE(sink.marks[15 + 2], best);  // a single solve: best wins over worst
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
        QCOMPARE(listOf(w).list({}, HistoryOrder::DateAscending, sink), 5000);
        QVERIFY(sink.batches > 1);
        QCOMPARE(sink.rows(), 5000);
        QCOMPARE(sink.text(4999, 0), "2007/05/01 00004999");
        QCOMPARE(sink.text(4999, 2), "10.00");
        QCOMPARE(sink.ids.size(), std::size_t(5000));
    }

    void failures()
    {
        HistoryWorld w;
        w.seedThree();
        // A shown field without a value: the rows before it, and the part of
        // its own row already read, have reached the sink.
        w.db().execute("update T_Time set BestTimeNo=NULL where TypeID='2'");
        RecordingSink sink;
        QCOMPARE(fillError(w, sink), describe::invalidNull());
        QCOMPARE(sink.rows(), 2);
        QCOMPARE(sink.text(1, 14), "5.00");
        // Even at the first field of the first row: that row is there, empty.
        w.db().execute("update T_Time set DateTime=NULL where TypeID='1'");
        RecordingSink first;
        QCOMPARE(fillError(w, first), describe::invalidNull());
        QCOMPARE(first.texts, QStringList(kHistoryCols, QString()));
        // A statement the engine refuses leaves the old rows alone.
        w.db().execute("alter table T_Time rename to T_Away");
        RecordingSink untouched;
        QVERIFY(fillError(w, untouched) != "(no failure)");
        QCOMPARE(untouched.clears, 0);
        // A list without an entry never means every type.
        const TypeChoices choices({puzzleTypeOf("1", "3x3x3", "5", "0", true)},
                                  TypeChoices::everyType());
        QVERIFY_THROWS_EXCEPTION(SpinlogError, choices.filterAt(-1));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, choices.filterAt(2));
        QVERIFY(choices.filterAt(0).all() && choices.filterAt(1) == typeOf("1"));
    }

    // Each change says its kind, its type and its rows, so a listener reads
    // only what it shows.
    void changesSayWhatChanged()
    {
        HistoryWorld w;
        std::vector<HistoryChange> said;
        QObject::connect(&w.history(), &HistoryWriter::changed,
                         [&said](const HistoryChange &change) { said.push_back(change); });
        const auto series = [](const char *type) {
            SeriesRecord r;
            r.dateTime = "2007/05/01 10:00:00";
            r.typeId = TypeId(type);
            r.times.fill("-");
            r.times[0] = r.aveTime = r.bestTime = r.worstTime = "10.00";
            r.bestNo = r.worstNo = 1;
            return r;
        };
        w.history().add(series("2"));
        w.history().add(series("3"));
        const std::int64_t second =
            rowsOf(w.db(), "select max(rowid) from T_Time").first().toLongLong();
        w.history().update(second, series("3"));
        w.history().remove(second);
        w.history().removeListed(typeOf("2"));
        using Kind = HistoryChange::Kind;
        QCOMPARE(said.size(), std::size_t(5));
        QVERIFY(said[0].kind == Kind::Added && said[0].types == typeOf("2"));
        QCOMPARE(said[1].rows, std::vector<std::int64_t>{second});
        QVERIFY(said[2].kind == Kind::Edited && said[2].concerns(TypeId("3")) &&
                !said[2].concerns(TypeId("2")));
        QVERIFY(said[3].kind == Kind::Removed && said[3].types == typeOf("3") &&
                said[3].rows == std::vector<std::int64_t>{second});
        QVERIFY(said[4].kind == Kind::Removed && said[4].rows.empty() &&
                said[4].types == typeOf("2"));
    }
};

SPINLOG_TEST(HistoryStoreTest)
#include "tst_history_store.moc"
