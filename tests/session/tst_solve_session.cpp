// The solve session driven by presses and ticks: the clock after each step,
// the state, solves, colours and average, the sounds at their moments, what
// reaches the store; and a save that must move a series whole or not at all.

#include "base/settings.h"
#include "base/time_values.h"
#include "data/database.h"
#include "data/history_writer.h"
#include "session/solve_session.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QDateTime>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

class MemoryStore : public SeriesStore {
public:
    std::vector<Solve> load() override { return rows; }
    void add(const Solve &solve) override
    {
        if (refuseAdd)
            throw SpinlogError(QStringLiteral("disk full"));
        rows.push_back(solve);
    }
    void update(const Solve &solve) override
    {
        for (Solve &row : rows)
            if (row.no == solve.no)
                row = solve;
    }
    void clear() override { rows.clear(); }
    void save(const SeriesRecord &) override { rows.clear(); }

    std::vector<Solve> rows;
    bool refuseAdd = false;
};

struct Rig {
    Rig(const QByteArray &options, int count, const QString &bestWorst)
        : settings(folder.file(QStringLiteral("Spinlog.ini"))), session(settings, store)
    {
        folder.write(QStringLiteral("Spinlog.ini"), "[Option]\r\n" + options);
        settings.load();
        QObject::connect(&session, &SolveSession::sound,
                         [this] { sounds << QString::number(session.elapsedSeconds()); });
        QObject::connect(&session, &SolveSession::warning, [this] { sounds << "w"; });
        session.showType(puzzleTypeOf("1", {}, QString::number(count), bestWorst, true), false);
    }

    // Steps: P press, +MS the clock moves on, c a countdown tick, tN N running
    // ticks, h and u a start key held down and let go, X@N penalty X (0 none,
    // 2 +2, D DNF) for solve N. Returns the clock after each step; "!" marks
    // a step that threw, "?" a penalty refused.
    QString run(const QString &script)
    {
        QStringList trace;
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            QString mark;
            try {
                if (step == u'P')
                    session.press(now);
                else if (step == u'h')
                    session.holdDown(now);
                else if (step == u'u')
                    session.holdUp(now);
                else if (step.size() >= 3 && step.at(1) == u'@')
                    mark = session.setPenalty(step.mid(2).toInt(),
                                              step.at(0) == u'0'   ? Penalty::None
                                              : step.at(0) == u'2' ? Penalty::PlusTwo
                                                                   : Penalty::Dnf)
                               ? QString()
                               : QStringLiteral("?");
                else if (step.startsWith(u'+'))
                    now += std::llround(step.mid(1).toDouble() * 1e6);
                else if (step == u'c')
                    session.countdownTick(now);
                else
                    for (int i = step.mid(1).toInt(); i > 0; --i) session.runningTick();
            } catch (const SpinlogError &) {
                mark = QStringLiteral("!");
            }
            trace << session.clockText() + mark;
        }
        return trace.join(u' ');
    }

    // State (* with a series under way) | solves | colours | average.
    QString summary() const
    {
        static const char *const kStates[] = {"Idle", "Countdown", "Inspection", "Timing",
                                              "Complete"};
        QStringList solves;
        QString colours;
        for (int no = 1; no <= session.type().length(); ++no) {
            solves << session.solveText(no);
            const std::uint32_t c = session.solveColor(no);
            colours += c == 16744576u ? u'b' : c == 8421631u ? u'w' : c == 14671839u ? u'd' : u'?';
        }
        return QString::fromLatin1(kStates[int(session.state())]) +
               (session.seriesUnderWay() ? QStringLiteral("*") : QString()) + u'|' +
               solves.join(u',') + u'|' + colours + u'|' + session.averageText();
    }

    TempAppFolder folder{false};
    Settings settings;
    MemoryStore store;
    SolveSession session;
    std::int64_t now = 1'000'000'000;
    QStringList sounds;  // the running seconds at each sound
};

const QByteArray kNoWait = "CntDownTm=0\r\nAlarmTm=0\r\n";

}  // namespace

class SolveSessionTest : public QObject {
    Q_OBJECT
private slots:
    void presses_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("bestWorst");
        QTest::addColumn<QString>("stored");  // W_Time before: "no:time" ...
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("sounds");
        const auto row = [](const char *name, const char *options, int count, const char *bw,
                            const char *stored, const char *script, const char *clock,
                            const char *summary, const char *sounds) {
            QTest::newRow(name) << QByteArray(options) << count << QString(bw) << QString(stored)
                                << QString(script) << QString(clock) << QString(summary)
                                << QString(sounds);
        };
        const char *noWait = kNoWait.constData();
        // clang-format off
        row("countdown 3, timed from the tick that shows 0", "CntDownTm=3\r\nAlarmTm=0\r\n", 5,
            "0", "", "P c c c +1234 P", "3 2 1 0 0 1.23", "Idle*|1.23,,,,|bdddd|", "0");
        row("countdown 0 starts at once; the clock keeps its text until a tick", noWait, 5, "0",
            "", "P t1 +1500 P", "0 1 1 1.50", "Idle*|1.50,,,,|bdddd|", "0");
        row("a negative countdown counts as none", "CntDownTm=-7\r\n", 5, "0",
            "", "P", "-7", "Timing|,,,,|ddddd|", "0");
        row("cancelled countdown keeps the series under way", "CntDownTm=2\r\nAlarmTm=0\r\n", 5,
            "0", "", "P c c +1000 P P c P", "2 1 0 0 1.00 2 1 2", "Idle*|1.00,,,,|bdddd|", "0");
        row("alarm 30 at 30, 60, 90", "CntDownTm=0\r\nAlarmTm=30\r\n", 5, "0",
            "", "P t29 t1 t59 t1", "0 29 30 1:29 1:30", "Timing|,,,,|ddddd|", "0 30 60 90");
        row("alarm 2.5 rounds half to even: 2", "CntDownTm=0\r\nAlarmTm=2.5\r\n", 5, "0",
            "", "P t5", "0 5", "Timing|,,,,|ddddd|", "0 2 4");
        row("alarm 00 never sounds", "CntDownTm=0\r\nAlarmTm=00\r\n", 5, "0",
            "", "P t5", "0 5", "Timing|,,,,|ddddd|", "0");
        row("alarm too large fails the tick after the display moved on",
            "CntDownTm=0\r\nAlarmTm=40000\r\n", 5, "0", "", "P t1", "0 1!", "Timing|,,,,|ddddd|",
            "0");
        row("9.996 s shows 10.00, 0.004 s 0.00", noWait, 5, "0",
            "", "P +9996 P P +4 P", "0 0 10.00 10.00 10.00 0.00", "Idle*|10.00,0.00,,,|wbddd|",
            "0 0");
        row("a hair under 9.995 s is 9.99; minutes and hours", noWait, 5, "0",
            "", "P +9994.999999 P P +65430 P P +3725504 P",
            "0 0 9.99 9.99 9.99 1:05.43 1:05.43 1:05.43 1:02:05.50",
            "Idle*|9.99,1:05.43,1:02:05.50,,|bdwdd|", "0 0 0");
        row("ties: the first is best, the last worst", noWait, 3, "0",
            "", "P +10000 P P +10000 P P +10000 P",
            "0 0 10.00 10.00 10.00 10.00 10.00 10.00 10.00",
            "Complete*|10.00,10.00,10.00|bdw|10.00", "0 0 0");
        row("three solves leave out best and worst", noWait, 3, "0",
            "1:10.00 2:11.00", "P +15000 P", "0 0 15.00", "Complete*|10.00,11.00,15.00|bdw|11.00",
            "0");
        row("three solves all counted", noWait, 3, "1",
            "1:10.00 2:11.00", "P +15000 P", "0 0 15.00", "Complete*|10.00,11.00,15.00|bdw|12.00",
            "0");
        row("two solves left out by a hand-edited table: all count", noWait, 2, "0",
            "1:10.00", "P +12000 P", "0 0 12.00", "Complete*|10.00,12.00|bw|11.00", "0");
        row("restored, unfinished: the next solve is number 4", noWait, 5, "0",
            "1:12.00 2:10.00 3:13.50", "P +11000 P", "0 0 11.00",
            "Idle*|12.00,10.00,13.50,11.00,|dbwdd|", "0");
        row("restored, complete: presses do nothing", noWait, 3, "0",
            "1:12.00 2:10.00 3:1:00.00", "P", "0", "Complete*|12.00,10.00,1:00.00|dbw|12.00", "");
        // Penalties on a series of 10 to 14 s, best and worst left out unless said.
        const char *five = "1:10.00 2:11.00 3:12.00 4:13.00";
        row("+2 on the first", noWait, 5, "0", five, "P +14000 P 2@1", "0 0 14.00 14.00",
            "Complete*|12.00+,11.00,12.00,13.00,14.00|dbddw|12.33", "0");
        row("+2 ties the slowest: the later is worst", noWait, 5, "0", five, "P +14000 P 2@3",
            "0 0 14.00 14.00", "Complete*|10.00,11.00,14.00+,13.00,14.00|bdddw|12.67", "0");
        row("+2 on the fourth makes it worst", noWait, 5, "0", five, "P +14000 P 2@4",
            "0 0 14.00 14.00", "Complete*|10.00,11.00,12.00,15.00+,14.00|bddwd|12.33", "0");
        row("+2 on the last, the clock follows", noWait, 5, "0", five, "P +14000 P 2@5",
            "0 0 14.00 16.00+", "Complete*|10.00,11.00,12.00,13.00,16.00+|bdddw|12.00", "0");
        row("a DNF is the worst, left out", noWait, 5, "0", five, "P +14000 P D@1",
            "0 0 14.00 14.00", "Complete*|DNF,11.00,12.00,13.00,14.00|wbddd|13.00", "0");
        row("two DNFs: the average is a DNF, the later worst", noWait, 5, "0", five,
            "P +14000 P D@2 D@4", "0 0 14.00 14.00 14.00",
            "Complete*|10.00,DNF,12.00,DNF,14.00|bddwd|DNF", "0");
        row("every solve counted: one DNF is a DNF average", noWait, 5, "1", five,
            "P +14000 P D@5", "0 0 14.00 DNF", "Complete*|10.00,11.00,12.00,13.00,DNF|bdddw|DNF",
            "0");
        row("a +2 average to the even hundredth", noWait, 2, "1", "1:10.00",
            "P +10250 P 2@1", "0 0 10.25 10.25", "Complete*|12.00+,10.25|wb|11.12", "0");
        row("taken back, the solve is as measured", noWait, 5, "0", five,
            "P +14000 P D@2 0@2", "0 0 14.00 14.00 14.00",
            "Complete*|10.00,11.00,12.00,13.00,14.00|bdddw|12.00", "0");
        row("a penalty under way, none while the clock runs or for no solve", noWait, 5, "0",
            "1:10.00", "2@1 P 2@1 +3000 P 2@3", "0 0 0? 0 3.00 3.00?",
            "Idle*|12.00+,3.00,,,|wbddd|", "0");
        // The competition's inspection: 15 s, calls at 8 and 12, +2 after 15, DNF after 17.
        const char *wca = "CntDownTm=0\r\nAlarmTm=0\r\nInspection=1\r\n";
        row("inspection, started at 14.9 s", wca, 5, "0", "", "P c c +14900 P +5000 P",
            "15 14 13 13 13 13 5.00", "Idle*|5.00,,,,|bdddd|", "0");
        row("inspection, started at 15.1 s: +2", wca, 5, "0", "", "P +15100 P +5000 P",
            "15 15 15 15 7.00+", "Idle*|7.00+,,,,|bdddd|", "0");
        row("inspection, started at 16.9 s: +2", wca, 5, "0", "", "P +16900 P +5000 P",
            "15 15 15 15 7.00+", "Idle*|7.00+,,,,|bdddd|", "0");
        row("inspection, started at 17.1 s: DNF", wca, 5, "0", "", "P +17100 P +5000 P",
            "15 15 15 15 DNF", "Idle*|DNF,,,,|bdddd|", "0");
        row("inspection's display and calls", wca, 5, "0", "",
            "P c c c c c c c c c c c c c c c c c", "15 14 13 12 11 10 9 8 7 6 5 4 3 2 1 +2 +2 DNF",
            "Inspection|,,,,|ddddd|", "w w");
        // Hold to start: held 0.3 s at least, then let go.
        const char *hold = "CntDownTm=0\r\nAlarmTm=0\r\nHoldToStart=1\r\n";
        row("held 0.29 s starts nothing", hold, 5, "0", "", "h +290 u", "0 0 0",
            "Idle|,,,,|ddddd|", "");
        row("held 0.31 s starts at the release", hold, 5, "0", "", "h +310 u +2000 P",
            "0 0 0 0 2.00", "Idle*|2.00,,,,|bdddd|", "0");
        row("without the option a hold is nothing", noWait, 5, "0", "", "h +310 u", "0 0 0",
            "Idle|,,,,|ddddd|", "");
        // clang-format on
    }

    void presses()
    {
        QFETCH(QByteArray, options);
        QFETCH(int, count);
        QFETCH(QString, bestWorst);
        QFETCH(QString, stored);
        QFETCH(QString, script);
        Rig rig(options, count, bestWorst);
        for (const QString &row : stored.split(u' ', Qt::SkipEmptyParts)) {
            const QString time = row.section(u':', 1);
            rig.store.rows.push_back({row.section(u':', 0, 0).toInt(),
                                      *hundredthsFromSecondsText(timeChangeS(time)),
                                      time,
                                      *attemptFromText(time),
                                      {}});
        }
        rig.session.restore();
        QTEST(rig.run(script), "clock");
        QTEST(rig.summary(), "summary");
        QTEST(rig.sounds.join(u' '), "sounds");
        // The store holds exactly the solves shown.
        QStringList shown, held;
        for (const Solve &s : rig.session.solves()) shown << s.time;
        for (const Solve &s : rig.store.rows) held << s.time;
        QCOMPARE(held, shown);
    }

    // A stored count that is no whole number from 1 to 12, or no type row,
    // makes a type that cannot be timed: a press starts nothing and stores
    // nothing, and the message names the type and what is stored.
    void storedCountsThatCannotBeTimed()
    {
        const QStringList usable{"1", "12", " 5 ", "5.0"};
        const QStringList refused{"0", "-1", "", "2147483648", "13", "99", "x", "2.5"};
        for (const QString &count : usable + refused) {
            Rig rig(kNoWait, 5, "0");
            const PuzzleType type = puzzleTypeOf("2", "2x2x2", count, "0", true);
            rig.session.showType(type, false);
            const PressResult result = rig.session.press(rig.now);
            QCOMPARE(result == PressResult::Refused, refused.contains(count));
            QCOMPARE(type.timeable(), usable.contains(count));
            QCOMPARE(rig.session.state() == SessionState::Timing, usable.contains(count));
            rig.session.press(rig.now + 1'000'000'000);
            QCOMPARE(rig.store.rows.size(), std::size_t(usable.contains(count) ? 1 : 0));
        }
        QVERIFY(!missingType(TypeId("4"), "5x5x5").timeable());
        QVERIFY(unusableTypeText(puzzleTypeOf("1", "3x3x3", "13", "0", true))
                    .startsWith("タイプ「3x3x3」の回数(13)"));
    }

    void aSolveTheStoreRefusesIsNotShown()
    {
        Rig rig(kNoWait, 5, QStringLiteral("0"));
        rig.store.refuseAdd = true;
        QCOMPARE(rig.run(QStringLiteral("P +5000 P")), QStringLiteral("0 0 5.00!"));
        QCOMPARE(rig.summary(), QStringLiteral("Idle|,,,,|ddddd|"));
    }

    // Solves come back from W_Time as they went in, also those whose seconds
    // no binary fraction holds exactly (12.34 x 100 is 1233.9999...).
    void storedSolvesComeBackExactly()
    {
        TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        HistoryWriter history(*db);
        DatabaseSeriesStore store(*db, history);
        const QList<std::int64_t> stored{1234, 29, 57, 113, 1005, 6543, 99999, 0, 1, 4999};
        for (int i = 0; i < stored.size(); ++i)
            store.add({i + 1, stored[i], displayForm(stored[i]), {stored[i], Penalty::None}, {}});
        QList<std::int64_t> back;
        for (const Solve &s : store.load()) back << s.hundredths;
        QCOMPARE(back, stored);
    }

    // A solve keeps the moment of its stop and the scramble shown as it
    // began, through a penalty and a comment, a kill before the save (the
    // next run finds them in W_Time) and the save into T_Solve.
    void solvesKeepTheirMomentAndScramble()
    {
        TempAppFolder folder;
        folder.write(QStringLiteral("Spinlog.ini"), "[Option]\r\n" + kNoWait);
        FakeClock clock;
        QString shown = QStringLiteral("R U R'");
        const auto run = [&](const std::function<void(SolveSession &, HistoryWriter &)> &act) {
            auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
            HistoryWriter history(*db);
            DatabaseSeriesStore store(*db, history);
            Settings settings(folder.file(QStringLiteral("Spinlog.ini")));
            settings.load();
            SolveSession session(settings, store);
            session.setWallClock(&clock);
            session.setScrambleShown([&] { return shown; });
            session.showType(puzzleTypeOf("1", {}, "2", "0", false), false);
            session.restore();
            act(session, history);
        };
        const qint64 stopped = clock.now.addSecs(15).toMSecsSinceEpoch();
        run([&](SolveSession &session, HistoryWriter &) {
            session.press(0);
            shown = QStringLiteral("F2");  // the next scramble comes while it runs
            clock.now = clock.now.addSecs(15);
            session.press(12'340'000'000);
            QVERIFY(session.setPenalty(1, Penalty::PlusTwo));
            QVERIFY(session.setComment(1, QStringLiteral("pop")));
        });  // killed here: never saved
        run([&](SolveSession &session, HistoryWriter &history) {
            QCOMPARE(session.solveText(1), QStringLiteral("14.34+"));
            const SolveDetails &first = session.solves().front().details;
            QCOMPARE(first.moment, stopped);
            QCOMPARE(first.scramble + '/' + first.comment, QStringLiteral("R U R'/pop"));
            session.press(0);  // started with F2
            clock.now = clock.now.addSecs(40);
            session.press(9'870'000'000);
            session.save(clock.now);
            const SeriesRecord saved = history.series(1);
            QCOMPARE(saved.attempts[0], Attempt({1234, Penalty::PlusTwo}));
            QCOMPARE(saved.details[0].moment, stopped);
            QCOMPARE(saved.details[0].scramble + '/' + saved.details[0].comment,
                     QStringLiteral("R U R'/pop"));
            QCOMPARE(saved.details[1].scramble, QStringLiteral("F2"));
            QCOMPARE(saved.details[1].moment, clock.now.toMSecsSinceEpoch());
            QCOMPARE(saved.details[1].rawMs, 9870);
        });
    }

    // The series moves into the history whole, with its solves' rows, or
    // stays where it was, when any statement of the save fails.
    void saveIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::newRow("nothing fails") << "";
        QTest::newRow("the history row") << "before insert on T_Time";
        QTest::newRow("the second solve's row") << "before insert on T_Solve when new.[No] = 2";
        QTest::newRow("emptying the work table") << "before delete on W_Time";
    }

    void saveIsAllOrNothing()
    {
        QFETCH(QString, failing);
        TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        HistoryWriter history(*db);
        DatabaseSeriesStore store(*db, history);
        Settings settings(folder.file(QStringLiteral("Spinlog.ini")));
        folder.write(QStringLiteral("Spinlog.ini"), "[Option]\r\n" + kNoWait);
        settings.load();
        SolveSession session(settings, store);
        session.showType(puzzleTypeOf("5", {}, "2", "1", true), true);
        for (std::int64_t ns : {62'500'000'000LL, 9'870'000'000LL}) {
            session.press(0);
            session.press(ns);
        }
        if (!failing.isEmpty())
            db->execute(QStringLiteral("create trigger refuse ") + failing +
                        QStringLiteral(" begin select raise(abort, 'refused'); end"));
        const auto count = [&](const char *table) {
            Recordset rs(*db, QStringLiteral("select count(*) as n from ") + table);
            return rs.field(QStringLiteral("n")).toInt();
        };
        bool saved = true;
        try {
            session.save(QDateTime(QDate(2007, 5, 12), QTime(14, 3, 9)));
        } catch (const SpinlogError &) {
            saved = false;
        }
        QCOMPARE(saved, failing.isEmpty());
        QCOMPARE(count("T_Time") + count("W_Time") / 2, 1);
        QCOMPARE(count("T_Solve"), saved ? 2 : 0);
        QCOMPARE(session.state(), saved ? SessionState::Idle : SessionState::Complete);
        if (saved) {
            Recordset rs(*db, QStringLiteral("select * from T_Time"));
            QStringList row;
            for (int i = 0; i < rs.fieldCount(); ++i)
                row << (rs.field(i).isNull() ? QStringLiteral("NULL") : rs.text(i));
            // No import mark: the stopwatch saved it; its solves' key, their
            // raw times in their rows alone.
            QCOMPARE(row.join(u'|'), QStringLiteral("2007/05/12 14:03:09|5|1:02.50|9.87|-|-|-|-|-|-"
                                                    "|-|-|-|-|36.18|36.18|2|9.87|9.87|1|1:02.50|"
                                                    "62.5|NULL|NULL|1"));
            // Without a wall clock the solves are dated by the save.
            const qint64 moment =
                QDateTime(QDate(2007, 5, 12), QTime(14, 3, 9)).toMSecsSinceEpoch();
            QCOMPARE(rowsOf(*db,
                            "select SolveID, TypeID, [No], TimeMs, Penalty, "
                            "Moment - " +
                                QString::number(moment) + " from T_Solve"),
                     QStringList({"17|5|1|62500|0|0", "18|5|2|9870|0|0"}));
        }
    }
};
SPINLOG_TEST(SolveSessionTest)

#include "tst_solve_session.moc"
