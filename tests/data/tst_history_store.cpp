// The history store against a real database: the list's orders, rows and
// colours, the best values, failures (the history window's tests delete).

#include "base/errors.h"
#include "data/history_store.h"
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
    std::vector<std::uint32_t> colours;
    std::vector<std::int64_t> ids;
    void clear() override
    {
        ++clears;
        texts.clear();
        colours.clear();
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
        for (std::uint8_t colour : rows.colours) colours.push_back(rows.palette.at(colour));
    }
    int rows() const { return int(texts.size() / kHistoryCols); }
    QString text(int row, int col) const { return texts.at(row * kHistoryCols + col); }
};

const ListColours kColours{14671839, 16744576, 8421631};

QString fillError(HistoryWorld &w, RecordingSink &sink)
{
    return failure([&] { w.history().list({0}, HistoryOrder::DateAscending, kColours, sink); });
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
            w.history().list({type}, HistoryOrder(order), kColours, sink);
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
        QCOMPARE(Recordset(w.db(), "select count(*) from sqlite_master").text(0), "10");
        QCOMPARE(listed(), expected);
    }

    // Least as the engine sorts (no value, numbers, texts), of equals the
    // first saved; the unlisted type counts; a shown text without a value fails.
    void bestValues()
    {
        HistoryWorld w;
        QCOMPARE(w.history().bests({0}).bestTime, "-");
        w.seedThree();
        addSeries(w.db(), {"2007/05/04 10:00:00", "9", {"4.20"}, "4.20"});
        addSeries(w.db(), {"2007/05/05 10:00:00", "1", {"18.50", "9.99"}, "15.20"});
        QCOMPARE(w.history().bests({1}).bestTime, "9.99");
        QCOMPARE(w.history().bests({1}).bestAverage, "15.20");
        QCOMPARE(w.history().bests({3}).bestAverage, "-");
        w.db().execute("update T_Time set BestTime='first' where TypeID='2'");
        QCOMPARE(w.history().bests({0}).bestTime, "first");
        QCOMPARE(w.history().bests({0}).bestAverage, "4.20");
        w.db().execute("update T_Time set BestTimeSS='text' where TypeID='2'");
        QCOMPARE(w.history().bests({0}).bestTime, "4.20");
        w.db().execute("update T_Time set BestTimeSS=NULL, BestTime='none' where TypeID='1'");
        QCOMPARE(w.history().bests({0}).bestTime, "none");
        w.db().execute("update T_Time set BestTime=NULL");
        QVERIFY_THROWS_EXCEPTION(SpinlogError, w.history().bests({0}));
    }

    void rowTextsAndColours()
    {
        HistoryWorld w;
        // Given as 0x00BBGGRR, handed over as 0xFFRRGGBB.
        const ListColours colours{255, 16711680, 65280};
        const std::uint32_t red = 0xFFFF0000, blue = 0xFF0000FF, green = 0xFF00FF00;
        // Saved with best solve 3 and worst solve 5; then a one-solve series.
        addSeries(w.db(), {"2007/05/01 10:00:00",
                           "5",
                           {"12.00", "13.00", "10.00", "12.50", "1:05.43"},
                           "12.50",
                           3,
                           5});
        addSeries(w.db(), {"2007/05/02 10:00:00", "1", {"9.87"}, "9.87"});
        RecordingSink sink;
        QCOMPARE(w.history().list({0}, HistoryOrder::DateAscending, colours, sink), 2);
        QCOMPARE(sink.texts.mid(0, 3),
                 (QStringList{"2007/05/01 10:00:00", "3x3x3目隠し", "12.00"}));
        QCOMPARE(sink.texts.mid(6, 3), (QStringList{"1:05.43", "-", "-"}));
        QCOMPARE(sink.text(0, 14), "12.50");
        const std::uint32_t none = 0, white = 0xFFFFFFFF;
        const std::vector<std::uint32_t> first(sink.colours.begin(), sink.colours.begin() + 15);
        QCOMPARE(first,
                 (std::vector<std::uint32_t>{none, none, red, red, blue, red, green, white, white,
                                             white, white, white, white, white, none}));
        QCOMPARE(sink.colours[15 + 2], blue);  // a single solve: best wins over worst
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
        QCOMPARE(w.history().list({0}, HistoryOrder::DateAscending, kColours, sink), 5000);
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
        // A filter without a position never means every record.
        QVERIFY_THROWS_EXCEPTION(SpinlogError, w.history().removeListed({-1}));
    }
};

SPINLOG_TEST(HistoryStoreTest)
#include "tst_history_store.moc"
