// Each solve's own row beside its series: what an older copy of the program
// does to T_Time (its penalty, its delete, its save, its compaction) between
// a save and a read, after which the solves are still with their series or
// gone with them; the stored form of a scramble.

#include "data/compaction.h"
#include "data/history_writer.h"
#include "data/scramble_code.h"
#include "data/solve_table.h"
#include "session/series_rules.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// A 5-solve series of type 1 timed from `first` (ms), a solve a minute, each
// with its own scramble.
SeriesRecord timed(const char *date, std::int64_t raw, std::int64_t first)
{
    SeriesRecord r =
        seriesOfAttempts(date, TypeId("1"), std::vector<Attempt>(5, {raw, Penalty::None}),
                         AverageRule::LeaveOutBestWorst);
    for (int i = 0; i < 5; ++i) {
        r.details[std::size_t(i)].moment = first + i * 60'000;
        r.details[std::size_t(i)].scramble = QStringLiteral("R U%1").arg(raw + i);
    }
    return r;
}

// Every solve the statistics read, in the order read: hundredths@moment.
QStringList counted(RecordStores &records)
{
    QStringList solves;
    records.historySolves.all([&](const CountedSolve &solve) {
        solves << QString("%1@%2").arg(solve.counted->hundredths).arg(solve.moment);
    });
    return solves;
}

}  // namespace

class SolveTableTest : public QObject {
    Q_OBJECT
private slots:
    void olderCopysStatementsBetweenASaveAndARead()
    {
        HistoryWorld w;
        const std::int64_t t = 1'700'000'000'000;
        w.history().add(timed("2023/11/15 07:17:20", 1000, t));
        w.history().add(timed("2023/11/15 08:17:20", 2000, t + 3'600'000));
        // An older copy's penalty: its own statement writes the texts and tokens.
        w.db().execute(
            "update T_Time set Time2='22.00+', AveTime='20.00', Solves='2000 2000+ "
            "2000 2000 2000' where rowid=2");
        QCOMPARE(w.history().series(2).details[1].scramble, "R U2001");
        QCOMPARE(counted(*w.program().records).at(6), QString("2200@%1").arg(t + 3'660'000));
        QCOMPARE(counted(*w.program().records).size(), 10);
        // An older copy's delete takes the series' solves along.
        w.db().execute("delete from T_Time where rowid=1");
        QCOMPARE(countRows(w.db(), "", "T_Solve"), 5);
        // An older copy's save: no solves of its own; counted by its texts at
        // its DateTime, local time.
        addSeries(w.db(), {"2023/11/16 09:00:00", "1", {"30.00", "31.00", "DNF"}, "DNF"});
        const qint64 older = QDateTime(QDate(2023, 11, 16), QTime(9, 0)).toMSecsSinceEpoch();
        // Read first, as they were mostly done before any with solves.
        QCOMPARE(counted(*w.program().records).mid(0, 4),
                 QStringList({QString("3000@%1").arg(older), QString("3100@%1").arg(older),
                              QString("999999999@%1").arg(older),
                              QString("2000@%1").arg(t + 3'600'000)}));

        // The exit's compaction (the export an older copy runs too) may number
        // T_Time's rows anew, as here: the solves find their series by its
        // key all the same.
        w.program().records.reset();
        QCOMPARE(compactDatabaseFile(w.folder.file("Spinlog.mdb")).failed,
                 CompactOutcome::Failed::Nothing);
        w.program().records =
            std::make_unique<RecordStores>(Database::open(w.folder.file("Spinlog.mdb")));
        w.db().execute("update T_Time set rowid = rowid + 10");
        QCOMPARE(rowsOf(w.db(), "select rowid, SeriesKey from T_Time order by rowid"),
                 QStringList({"12|2", "13|NULL"}));
        const SeriesRecord kept = w.history().series(12);
        QCOMPARE(kept.details[4].scramble + kept.times[1], "R U200422.00+");
        QCOMPARE(kept.details[4].moment, t + 3'840'000);

        // The newest series deleted the older copy's way: its key may come
        // again, and the series saved under it has its own solves alone.
        w.db().execute("delete from T_Time where DateTime='2023/11/15 08:17:20'");
        w.history().add(timed("2023/11/17 10:00:00", 3000, t + 7'200'000));
        QCOMPARE(rowsOf(w.db(), "select SolveID / 16, count(*) from T_Solve group by 1"),
                 QStringList("1|5"));
        QCOMPARE(w.history().series(14).details[0].scramble, "R U3000");
    }

    // A comment on an older copy's series gives its solves rows of their own,
    // dated by the series; the statistics count them as before.
    void aCommentOnAnOlderCopysSeries()
    {
        HistoryWorld w;
        addSeries(w.db(), {"2023/11/16 09:00:00", "1", {"30.00", "31.00+", "29.00"}, "30.00"});
        const QStringList before = counted(*w.program().records);
        w.history().setComment(1, 2, "timer slipped");
        const SeriesRecord r = w.history().series(1);
        QCOMPARE(r.details[1].comment, "timer slipped");
        QCOMPARE(r.attempts[1], Attempt({2900, Penalty::PlusTwo}));
        QCOMPARE(counted(*w.program().records), before);
    }

    // A file of the first builds with solves: each row kept its series' key,
    // a narrower index, a scramble a byte a move. It opens with the counted
    // index in its place; its rows read as before beside the new ones.
    void aFileOfTheFirstSolveRows()
    {
        HistoryWorld w;
        const std::int64_t t = 1'700'000'000'000;
        w.history().add(timed("2023/11/15 07:17:20", 1000, t));
        w.program().records.reset();
        {
            auto db = Database::open(w.folder.file("Spinlog.mdb"));
            db->execute("drop table T_Solve");
            db->execute(
                "create table T_Solve (SolveID INTEGER PRIMARY KEY, SeriesKey INTEGER, TypeID "
                "TEXT, [No] INTEGER, TimeMs INTEGER, Penalty INTEGER, Moment INTEGER, Scramble, "
                "Comment TEXT, Splits TEXT, ImportID TEXT)");
            db->execute("create index T_Solve_TypeID_Moment on T_Solve (TypeID, Moment)");
            // Series 1's first solve a DNF of 12.34; two solves without a series.
            db->execute(
                "insert into T_Solve values (17, 1, '1', 1, 12340, 2, ?, x'8089', '', "
                "'', ''), (33, NULL, '1', NULL, 9000, 0, ?, NULL, 'loose', '', 'i'), "
                "(34, NULL, '1', NULL, 9100, 1, ?, NULL, '', '', 'i')",
                {qlonglong(t), qlonglong(t - 2000), qlonglong(t - 1000)});
        }
        w.program().records =
            std::make_unique<RecordStores>(Database::open(w.folder.file("Spinlog.mdb")));
        QCOMPARE(rowsOf(w.db(),
                        "select name from sqlite_master where tbl_name='T_Solve' and "
                        "type='index'"),
                 QStringList("T_Solve_Counted"));
        const SeriesRecord r = w.history().series(1);
        QCOMPARE(r.attempts[0], Attempt({1234, Penalty::Dnf}));
        QCOMPARE(r.details[0].scramble, "U R");
        QCOMPARE(w.history().looseSolves(TypeFilter()), 2);
        w.history().add(timed("2023/11/15 08:17:20", 2000, t + 3'600'000));
        QCOMPARE(rowsOf(w.db(), "select SeriesKey, [No] from T_Solve where SolveID >= 48"),
                 QStringList({"NULL|1", "NULL|2", "NULL|3", "NULL|4", "NULL|5"}));
        QCOMPARE(w.history().looseSolves(TypeFilter()), 2);
        QCOMPARE(counted(*w.program().records).mid(0, 3),
                 QStringList({QString("900@%1").arg(t - 2000), QString("1110@%1").arg(t - 1000),
                              QString("999999999@%1").arg(t)}));
    }

    void scrambleStoredForm_data()
    {
        QTest::addColumn<QString>("scramble");
        QTest::addColumn<bool>("coded");
        QTest::addColumn<int>("bytes");  // of the stored blob; 0: not checked
        // Outer turns alone and with two-layer turns are packed three moves
        // to 13 or 16 bits, with one or two moves left over or none.
        const QString outer = "R U2 F' D B2 L R' U F2 D' B L2 U' D2 F R2 B' L' D U B2 R'";
        const QString wide =
            "Rw U2 Fw' D Bw2 L Rw' Uw F2 Dw' B Lw2 Uw' Dw2 Fw R2 Bw2 L' Dw Bw U' Bw2";
        for (int moves : {5, 6, 7, 20, 21, 22}) {
            const QString o = outer.section(' ', 0, moves - 1);
            QTest::addRow("%d outer turns", moves)
                << o << true << 1 + ((moves / 3) * 13 + QList{0, 5, 9}[moves % 3] + 7) / 8;
            const QString w = wide.section(' ', 0, moves - 1);
            QTest::addRow("%d wide turns", moves)
                << w << true << 1 + ((moves / 3) * 16 + QList{0, 6, 11}[moves % 3] + 7) / 8;
        }
        QTest::newRow("2x2x2") << "R U' F2 R' U F' R2 U2 F R'" << true << 7;
        QTest::newRow("four moves: a byte each") << "R U F B2" << true << 4;
        QTest::newRow("big cubes") << "3Rw2 Uw' Fw 3Bw Lw2 x y2 z'" << true << 8;
        QTest::newRow("pyraminx tips") << "U' R L B u r' l b'" << true << 8;
        QTest::newRow("megaminx") << "R++ D-- R-- D++ U'" << true << 5;
        // Every move of the table a byte (packed ones aside), and near
        // misses as they are.
        QStringList every;
        for (const char *turn : {"U",  "D",  "L",   "R",   "F",   "B",   "Uw",  "Dw",  "Lw", "Rw",
                                 "Fw", "Bw", "3Uw", "3Dw", "3Lw", "3Rw", "3Fw", "3Bw", "u",  "d",
                                 "l",  "r",  "f",   "b",   "x",   "y",   "z",   "M",   "E",  "S"})
            every << turn << QString(turn) + "'" << QString(turn) + "2";
        every << "R++"
              << "R--"
              << "D++"
              << "D--"
              << "/";
        QTest::newRow("every move") << every.join(' ') << true << 95;
        QTest::newRow("near misses") << "R3 U2' 4Rw x3 Rw++ D+ R U F B L D" << true << 28;
        QTest::newRow("moves among others") << "R (1,0)/ U F" << true << 0;
        QTest::newRow("square-1") << "(1,0)/ (-3,2)/ (0,-1)/" << false << 0;
        QTest::newRow("clock") << "UR5+ DR2- DL3+ UL" << false << 0;
        QTest::newRow("two spaces") << "R U F  B D L R U" << true << 0;
        QTest::newRow("a leading space and a line end") << " R U\nR' F2 B" << true << 0;
        QTest::newRow("beyond ASCII") << "R U 右" << false << 0;
        QTest::newRow("one move") << "R" << false << 0;
    }
    void scrambleStoredForm()
    {
        QFETCH(QString, scramble);
        QFETCH(bool, coded);
        QFETCH(int, bytes);
        const QVariant stored = storedScramble(scramble);
        QCOMPARE(stored.typeId() == QMetaType::QByteArray, coded);
        if (bytes > 0)
            QCOMPARE(stored.toByteArray().size(), bytes);
        QCOMPARE(coded ? scrambleFromCode(stored.toByteArray()) : stored.toString(), scramble);
        QVERIFY(storedScramble(QString()).isNull());
    }
    // A damaged blob reads without reading past its end: an unknown byte is
    // "?", missing bits are zeros.
    void damagedScrambleCodes()
    {
        QCOMPARE(scrambleFromCode(QByteArray("\x80\xDF\xFE", 3)), QString("U ? ?"));
        QCOMPARE(scrambleFromCode(QByteArray("\x80(1,0)\x83", 7)), QString("U(1,0)D"));
        QCOMPARE(scrambleFromCode(QByteArray("\xE0\xFF\xFF", 3)).count(' '), 2);
        QCOMPARE(scrambleFromCode(QByteArray("\xE4", 1)), QString("U"));
    }
};

SPINLOG_TEST(SolveTableTest)
#include "tst_solve_table.moc"
