// The dated copies taken at each exit: which the rule keeps, a week of exits
// as the user makes them, a disk too full for one, and the restore, whole or
// not at all at each of its steps.

#include "app/backup_restore.h"
#include "app/mdb.h"
#include "data/record_stores.h"
#include "data/snapshots.h"
#include "data_support.h"
#include "session/solve_session.h"
#include "support/history_world.h"
#include "support/test_main.h"

using namespace spinlog;
using namespace spinlog::test;

namespace {

QDate day(const QString &text)
{
    return QDate::fromString(text, "yyyyMMdd");
}

QStringList backupNames(const TempAppFolder &folder)
{
    return QDir(folder.file("Backup")).entryList(QDir::Files, QDir::Name);
}

}  // namespace

class SnapshotsTest : public QObject {
    Q_OBJECT
private slots:
    void retention_data()
    {
        QTest::addColumn<QString>("dates");  // the daily snapshots there
        QTest::addColumn<QString>("kept");
        QTest::newRow("fewer than seven") << "20260105 20260107"
                                          << "20260105 20260107";
        // 2026-01-05 is a Monday: ten days in a row keep the last seven.
        QTest::newRow("ten days in a row")
            << "20260105 20260106 20260107 20260108 20260109 20260110 20260111 20260112 20260113 "
               "20260114"
            << "20260108 20260109 20260110 20260111 20260112 20260113 20260114";
        // Days that have one, not calendar days; then the newest of each
        // older week (not its Monday), eight weeks in all.
        QTest::newRow("a busy week after sparse ones")
            << "20250801 20250802 20250901 20250908 20250915 20250922 20250929 20251006 20251013 "
               "20251020 20251027 20251103 20251104 20251105 20251106 20251107 20251108 20251109 "
               "20251110"
            << "20250922 20250929 20251006 20251013 20251020 20251027 20251104 20251105 20251106 "
               "20251107 20251108 20251109 20251110";
        QTest::newRow("more than eight weeks")
            << "20250901 20250908 20250915 20250922 20250929 20251006 20251013 20251020 20251027 "
               "20251103"
            << "20250915 20250922 20250929 20251006 20251013 20251020 20251027 20251103";
        // An ISO week across the new year is one week: its newest stays.
        QTest::newRow("a week across the new year")
            << "20251201 20251208 20251215 20251222 20251229 20260101 20260104 20260105 20260112 "
               "20260119 20260126"
            << "20251208 20251215 20251222 20251229 20260101 20260104 20260105 20260112 20260119 "
               "20260126";
        // Today's copy and those dated after it stay; the rule starts from today.
        QTest::newRow("a clock set back")
            << "20010720 20010721 20010722 20010723 20010724 20010725 20010726 20010727 20010728 "
               "20010729 20010730 20010731 20250901 20250908"
            << "20010722 20010725 20010726 20010727 20010728 20010729 20010730 20010731 20250901 "
               "20250908";
    }
    void retention()
    {
        QFETCH(QString, dates);
        std::vector<QDate> there;
        for (const QString &d : dates.split(' ')) there.push_back(day(d));
        QStringList kept;
        // Today is the newest but where the clock was set back.
        const QDate today = QTest::currentDataTag() == QString("a clock set back")
                                ? day("20010731")
                                : *std::max_element(there.begin(), there.end());
        for (const QDate &d : snapshotDatesKept(there, today)) kept << d.toString("yyyyMMdd");
        QTEST(kept.join(' '), "kept");
    }

    // Exits over three weeks, two on one day: the folder holds what the rule
    // keeps, and a day's copy is its last exit's file.
    void exitsOverThreeWeeks()
    {
        HistoryWorld w;
        const QStringList exits{"20260101", "20260102", "20260103", "20260103", "20260105",
                                "20260108", "20260112", "20260113", "20260114", "20260115",
                                "20260116", "20260117", "20260118"};
        int series = 0;
        for (const QString &exit : exits) {
            if (!w.program().records)
                QVERIFY(Fun_MDBOpen(w.program(), w.folder.file("Spinlog.mdb")));
            addSeries(w.db(), {exit, "1", {"10.00"}, "10.00"});
            ++series;
            w.world.clock.now = QDateTime(day(exit), QTime(18, 0));
            QVERIFY(closeAndCompact(w.program()));
        }
        QCOMPARE(backupNames(w.folder),
                 QString("Spinlog-20260103.mdb Spinlog-20260108.mdb Spinlog-20260112.mdb "
                         "Spinlog-20260113.mdb Spinlog-20260114.mdb Spinlog-20260115.mdb "
                         "Spinlog-20260116.mdb Spinlog-20260117.mdb Spinlog-20260118.mdb")
                     .split(' '));
        QCOMPARE(countSavedSeries(w.folder.file("Backup/Spinlog-20260103.mdb")), 4);
        QCOMPARE(countSavedSeries(w.folder.file("Backup/Spinlog-20260118.mdb")), series);
        QVERIFY(w.prompts().boxes.empty());
    }

    // An exit with the clock years behind the snapshots there (a dead
    // battery): its own copy, the only one of the current data, stays.
    void anExitWithTheClockSetBack()
    {
        HistoryWorld w;
        QVERIFY(QDir().mkdir(w.folder.file("Backup")));
        for (int d = 0; d < 58; ++d)
            w.folder.write(QDate(2025, 9, 1).addDays(d).toString("'Backup/Spinlog-'yyyyMMdd'.mdb'"),
                           "older");
        addSeries(w.db(), {"2001/07/31 18:00:00", "1", {"10.00"}, "10.00"});
        w.world.clock.now = QDateTime(day("20010731"), QTime(18, 0));
        QVERIFY(closeAndCompact(w.program()));
        QCOMPARE(countSavedSeries(w.folder.file("Backup/Spinlog-20010731.mdb")), 1);
        QCOMPARE(backupNames(w.folder).size(), 59);
    }

    void skippedWithoutSpace()
    {
        TempAppFolder folder;
        const qint64 size = QFileInfo(folder.file("Spinlog.mdb")).size();
        const SnapshotOutcome outcome =
            takeSnapshot(folder.file("Spinlog.mdb"), day("20260101"),
                         [&](const QString &) { return std::optional<qint64>(2 * size - 1); });
        QCOMPARE(outcome.result, SnapshotOutcome::Result::NoSpace);
        QVERIFY(backupNames(folder).isEmpty());
    }

    // Each step of a restore made to fail leaves the file as it was.
    void restoreIsWholeOrNothing_data()
    {
        QTest::addColumn<int>("failing");   // a RestoreStep, or -1
        QTest::addColumn<bool>("foreign");  // the snapshot is no database of ours
        QTest::newRow("restored") << -1 << false;
        QTest::newRow("no database of ours") << -1 << true;
        QTest::newRow("the check fails") << int(RestoreStep::Check) << false;
        QTest::newRow("keeping the current file fails") << int(RestoreStep::KeepCurrent) << false;
        QTest::newRow("the replacement fails") << int(RestoreStep::Replace) << false;
    }
    void restoreIsWholeOrNothing()
    {
        QFETCH(int, failing);
        QFETCH(bool, foreign);
        TempAppFolder folder;
        const QString database = folder.file("Spinlog.mdb");
        QVERIFY(takeSnapshot(database, day("20260101")).result == SnapshotOutcome::Result::Taken);
        const QString snapshot = folder.file("Backup/Spinlog-20260101.mdb");
        if (foreign)
            folder.write("Backup/Spinlog-20260101.mdb", QByteArray(4096, 'x'));
        {
            auto db = Database::open(database);
            addSeries(*db, {"2026/01/02 10:00:00", "1", {"10.00"}, "10.00"});
        }
        const QByteArray current = folder.read("Spinlog.mdb");
        const QByteArray chosen = folder.read("Backup/Spinlog-20260101.mdb");
        const RestoreOutcome outcome = restoreSnapshot(
            database, snapshot, QDateTime(day("20260102"), QTime(9, 8, 7)), [&](RestoreStep step) {
                if (int(step) == failing)
                    throw SpinlogError("refused");
            });
        const bool restored = failing < 0 && !foreign;
        QCOMPARE(outcome.restored, restored);
        QCOMPARE(folder.read("Spinlog.mdb"), restored ? chosen : current);
        if (restored)
            QCOMPARE(folder.read("Backup/Spinlog-20260102-090807.mdb"), current);
        QCOMPARE(outcome.description.isEmpty(), restored);
    }

    // The menu's restore, chosen and confirmed, is carried out at the exit:
    // the chosen copy is not replaced by that exit's own, the file replaced
    // stays as a copy of its own, and the list shows both. While a solve is
    // timed nothing can be chosen: the exit would be refused.
    void restoreChosenInTheMenu()
    {
        HistoryWorld w;
        w.world.clock.now = QDateTime(day("20260103"), QTime(9, 0));
        QVERIFY(closeAndCompact(w.program()));  // the morning's copy: no series
        QVERIFY(Fun_MDBOpen(w.program(), w.folder.file("Spinlog.mdb")));
        addSeries(w.db(), {"2026/01/03 12:00:00", "1", {"10.00"}, "10.00"});
        auto &session = w.program().session;
        session = std::make_unique<SolveSession>(w.program().settings, w.program().records->series);
        session->showType(puzzleTypeOf("1", {}, "5", "0", true), false);
        session->press(0);
        QVERIFY(!askRestore(w.program(), [](const QStringList &) { return 0; }));
        QCOMPARE(w.prompts().texts(),
                 QStringList{"計測中です、計測を停止してからバックアップを選んでください"});
        session.reset();
        QStringList shown;
        w.prompts().answers = {Answer::Yes};
        QVERIFY(askRestore(w.program(), [&](const QStringList &rows) {
            shown = rows;
            return std::optional<int>(0);
        }));
        QCOMPARE(shown, QStringList{"2026/01/03  記録 0 件"});
        w.world.clock.now = QDateTime(day("20260103"), QTime(18, 0, 5));
        QVERIFY(closeAndCompact(w.program()));
        QCOMPARE(backupNames(w.folder),
                 QStringList({"Spinlog-20260103-180005.mdb", "Spinlog-20260103.mdb"}));
        QCOMPARE(countSavedSeries(w.folder.file("Spinlog.mdb")), 0);
        QCOMPARE(countSavedSeries(w.folder.file("Backup/Spinlog-20260103-180005.mdb")), 1);
        QVERIFY(w.program().restoreFrom.isEmpty());
        // Answered No, nothing is chosen.
        QVERIFY(Fun_MDBOpen(w.program(), w.folder.file("Spinlog.mdb")));
        w.prompts().answers = {Answer::No};
        QVERIFY(!askRestore(w.program(), [](const QStringList &) { return 1; }));
        QVERIFY(w.program().restoreFrom.isEmpty());
        // A copy that cannot be read is refused when chosen, before any exit.
        w.folder.write("Backup/Spinlog-20260102.mdb", QByteArray(4096, 'x'));
        QVERIFY(
            !askRestore(w.program(), [](const QStringList &rows) { return int(rows.size()) - 1; }));
        QCOMPARE(w.prompts().texts().last(),
                 QString("このバックアップは読めません。別のバックアップを選んでください。"));
        QVERIFY(w.program().restoreFrom.isEmpty());
    }
};

SPINLOG_TEST(SnapshotsTest)
#include "tst_snapshots.moc"
