// Opening the database at start-up and compacting it at exit. A file that
// cannot be used is refused with the engine's reason, reported once and left
// as it was; the exclusive lock keeps other processes out until released.
// Compaction leaves only a smaller, keyed Spinlog.mdb with the same data, or
// on any failure the database as it was, without temporary files.

#include "app/mdb.h"
#include "data/compaction.h"
#include "data/database.h"
#include "data/record_stores.h"
#include "data_support.h"
#include "support/file_size_limit.h"
#include "support/test_main.h"

using namespace spinlog;
using namespace spinlog::test;

class MdbTest : public QObject {
    Q_OBJECT

private slots:
    void refusesUnusableFiles_data()
    {
        QTest::addColumn<QString>("description");
        const QString foreign = "file is encrypted or is not a database";
        QTest::newRow("missing") << "unable to open database file";
        QTest::newRow("garbage") << foreign;
        QTest::newRow("wrong key") << foreign;
        QTest::newRow("missing table") << "no such table: W_Time";
    }
    void refusesUnusableFiles()
    {
        QFETCH(QString, description);
        const QString kind = QTest::currentDataTag();
        TempAppFolder folder(false);
        const QString path = folder.file("Spinlog.mdb");
        if (kind == "garbage") {
            folder.write("Spinlog.mdb", QByteArray(4096, 'x'));
        } else if (kind != "missing") {
            const QByteArray key = kind == "wrong key" ? "other" : "wubd";
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &db);
            sqlite3_key(db, key.constData(), int(key.size()));
            sqlite3_exec(db, "create table T_Time (a); create table MT_Type (a);", 0, 0, 0);
            sqlite3_close(db);
        }
        const QByteArray before = folder.read("Spinlog.mdb");

        FakeWorld world(folder.path());
        QVERIFY(!Fun_MDBOpen(world.program, path));
        QVERIFY(!world.program.records);
        QCOMPARE(world.prompts.texts(),
                 QStringList{"データベースオープンエラー\r\n" + description});
        QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
        QCOMPARE(logEntries(folder), QStringList{"[mdlCommon]-[Fun_MDBOpen] " + description});
        // Neither made up nor changed (a write lock on an empty file would give it a header).
        QCOMPARE(QFile::exists(path), kind != "missing");
        QCOMPARE(folder.read("Spinlog.mdb"), before);
    }

    void exclusiveAgainstOtherProcesses()
    {
        TempAppFolder folder;
        const QString path = folder.file("Spinlog.mdb");
        FakeWorld world(folder.path());
        {
            SqlShell other(path, kHoldLock);
            QVERIFY(!Fun_MDBOpen(world.program, path));
            QCOMPARE(world.prompts.texts(),
                     QStringList{"データベースオープンエラー\r\ndatabase is locked"});
        }
        QVERIFY(Fun_MDBOpen(world.program, path));
        // Readers are kept out too, so the lock must be more than a shared one.
        QVERIFY(SqlShell(path, "select count(*) from MT_Type;\n")
                    .output.contains("database is locked"));
        QCOMPARE(failure([&] { Database::open(path); }), "database is locked");

        world.program.records.reset();
        QCOMPARE(Recordset(*Database::open(path), "select count(*) from MT_Type").text(0), "5");
    }

    void compactsAndKeepsData_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::newRow("file") << false;
        // The link stays and the file it points at is compacted in its own folder.
        QTest::newRow("link") << true;
    }
    void compactsAndKeepsData()
    {
        QFETCH(bool, linked);
        TempAppFolder folder;
        const QString name = linked ? "data/%1real.mdb" : "%1Spinlog.mdb";
        const QString file = folder.file(name.arg(""));
        if (linked) {
            QVERIFY(QDir(folder.path()).mkdir("data"));
            QVERIFY(QFile::rename(folder.file("Spinlog.mdb"), file));
            QVERIFY(QFile::link("data/real.mdb", folder.file("Spinlog.mdb")));
        }
        {
            auto db = Database::open(folder.file("Spinlog.mdb"));
            Transaction transaction(*db);
            for (int i = 0; i < 500; ++i)
                db->execute("insert into T_Time (Time1) values (?)", {QString(200, 'x')});
            db->execute("delete from T_Time");
            db->execute("insert into T_Time (DateTime, AveTimeSS) values (?,?)",
                        {"2007/05/01 21:03:09", 65.43});
            transaction.commit();
        }
        const qint64 sizeBefore = QFileInfo(file).size();
        const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;  // 0640
        QVERIFY(QFile::setPermissions(file, shared));
        // Left over from an exit that ended abruptly.
        folder.write(name.arg("BK"), "an old backup");
        folder.write(name.arg("COM"), "a half-written copy");

        FakeWorld world(folder.path());
        QVERIFY(Fun_MDBOpen(world.program, folder.file("Spinlog.mdb")));
        QVERIFY(closeAndCompact(world.program));
        QVERIFY(world.prompts.boxes.empty());
        QVERIFY(!world.program.records);
        const QFileInfo info(file);
        QCOMPARE(QDir(info.path()).entryList(QDir::Files), QStringList(info.fileName()));
        QCOMPARE(QFileInfo(folder.file("Spinlog.mdb")).isSymLink(), linked);
        QVERIFY(QFileInfo(file).size() < sizeBefore / 4);
        QCOMPARE(QFile::permissions(file) & 0x7077, shared);

        // Every index and trigger comes along (read before an opening could
        // add any).
        QCOMPARE(SqlShell(folder.file("Spinlog.mdb"),
                          "select type, count(*) from sqlite_master where type in "
                          "('index', 'trigger') group by type;")
                     .output,
                 "index|10\ntrigger|2\ndone\n");
        auto db = Database::open(folder.file("Spinlog.mdb"));
        Recordset rs(*db, "select count(*), DateTime, AveTimeSS from T_Time");
        QCOMPARE(rs.text(0) + " " + rs.text(1) + " " + rs.text(2), "1 2007/05/01 21:03:09 65.43");
    }

    void deletedOrReplacedFileIsNotCompactedOver_data()
    {
        QTest::addColumn<bool>("replaced");  // by an older copy, or else deleted
        QTest::addColumn<int>("taken");      // recoveries of that second already there
        QTest::newRow("deleted") << false << 0;
        QTest::newRow("replaced") << true << 0;
        QTest::newRow("its name and the next taken") << false << 2;
    }
    void deletedOrReplacedFileIsNotCompactedOver()
    {
        QFETCH(bool, replaced);
        QFETCH(int, taken);
        TempAppFolder folder;
        const QString path = folder.file("Spinlog.mdb");
        const QByteArray older = folder.read("Spinlog.mdb");
        FakeWorld world(folder.path());
        QVERIFY(Fun_MDBOpen(world.program, path));
        world.program.records->database().execute(
            "insert into T_Time (DateTime, AveTimeSS) values (?,?)",
            {"2007/05/01 21:03:09", 65.43});
        QVERIFY(QFile::remove(path));
        if (replaced)
            folder.write("Spinlog.mdb", older);

        const QString stem = folder.file("Spinlog-recovered-20070501-210309");
        const QStringList names{stem + ".mdb", stem + "-2.mdb", stem + "-3.mdb"};
        for (int i = 0; i < taken; ++i)
            folder.write(QFileInfo(names[i]).fileName(),
                         "an older recovery " + QByteArray::number(i));

        QVERIFY(!closeAndCompact(world.program));
        QVERIFY(!world.program.records);
        const QString saved = names[taken];
        for (int i = 0; i < taken; ++i)
            QCOMPARE(folder.read(QFileInfo(names[i]).fileName()),
                     "an older recovery " + QByteArray::number(i));
        const QString moved =
            "データベースファイルが移動または置き換えられたため、"
            "開いていた内容を次のファイルに保存しました";
        QCOMPARE(world.prompts.texts(), QStringList{moved + "\r\n" + saved});
        QCOMPARE(logEntries(folder), QStringList{"[mdlCommon]-[Fun_MDBCompact]-[ErrMoved] " +
                                                 moved + "\u3000" + saved});
        QCOMPARE(folderEntries(folder).size(), (replaced ? 2 : 1) + taken);
        QCOMPARE(folder.read("Spinlog.mdb"), replaced ? older : QByteArray());
        QCOMPARE(Recordset(*Database::open(saved), "select AveTimeSS from T_Time").text(0),
                 "65.43");
    }

    // A recovery the disk cannot hold: reported, and nothing of it is left
    // (no copy that looks whole, no journal), the older recovery untouched.
    void failedRecoveryLeavesNothing()
    {
        TempAppFolder folder;
        FakeWorld world(folder.path());
        QVERIFY(Fun_MDBOpen(world.program, folder.file("Spinlog.mdb")));
        Database &db = world.program.records->database();
        Transaction t(db);
        for (int i = 0; i < 2000; ++i)
            db.execute("insert into T_Time (Time1) values (?)", {QString(400, 'x')});
        t.commit();
        QVERIFY(QFile::remove(folder.file("Spinlog.mdb")));
        folder.write("Spinlog-recovered-20070501-210309.mdb", "older");
        {
            FileSizeLimit full(64 * 1024);
            QVERIFY(!closeAndCompact(world.program));
        }
        QCOMPARE(world.prompts.texts().size(), 1);
        QVERIFY(world.prompts.texts()[0].startsWith("MDB最適化エラー[Recover]\r\n"));
        QCOMPARE(folderEntries(folder), QStringList{"Spinlog-recovered-20070501-210309.mdb"});
        QCOMPARE(folder.read("Spinlog-recovered-20070501-210309.mdb"), "older");
    }

    // Each step of the compaction made to fail, the copy made or already in
    // place: the database is as it was, and nothing else is left.
    void failureLeavesTheDatabaseAsItWas_data()
    {
        QTest::addColumn<CompactStep>("failing");
        QTest::addColumn<CompactOutcome::Failed>("outcome");
        QTest::newRow("backup") << CompactStep::Backup << CompactOutcome::Failed::Backup;
        QTest::newRow("replace") << CompactStep::Replace << CompactOutcome::Failed::Compact;
        QTest::newRow("drop backup") << CompactStep::DropBackup << CompactOutcome::Failed::Compact;
    }
    void failureLeavesTheDatabaseAsItWas()
    {
        QFETCH(CompactStep, failing);
        TempAppFolder folder;
        Database::open(folder.file("Spinlog.mdb"))->execute("insert into W_Time ([No]) values (1)");
        const QByteArray before = folder.read("Spinlog.mdb");
        const CompactOutcome outcome =
            compactDatabaseFile(folder.file("Spinlog.mdb"), [&](CompactStep step) {
                if (step == failing)
                    throw SpinlogError("refused");
            });
        QTEST(outcome.failed, "outcome");
        QCOMPARE(outcome.description, "refused");
        QCOMPARE(folder.read("Spinlog.mdb"), before);
        QCOMPARE(folderEntries(folder), QStringList{"Spinlog.mdb"});
    }

    // The backup stays until the compacted copy has taken the database's place.
    void backupGoesLast()
    {
        TempAppFolder folder;
        Database::open(folder.file("Spinlog.mdb"));  // as a run leaves it, indexes added
        const QByteArray before = folder.read("Spinlog.mdb");
        QStringList seen;
        const auto look = [&](CompactStep step) {
            seen << QString::number(int(step)) + ":" + folderEntries(folder).join(",") +
                        (folder.read("Spinlog.mdb") == before ? " old" : " new");
        };
        QCOMPARE(compactDatabaseFile(folder.file("Spinlog.mdb"), look).failed,
                 CompactOutcome::Failed::Nothing);
        QCOMPARE(seen,
                 QStringList({"0:Spinlog.mdb old", "1:BKSpinlog.mdb,COMSpinlog.mdb,Spinlog.mdb old",
                              "2:BKSpinlog.mdb,Spinlog.mdb new"}));
    }

    // What a killed run leaves goes at the next start, and nothing else: a
    // name one character off, a recovery's journal with its copy, another
    // folder's files all stay.
    void leftoversOfAKilledRun()
    {
        TempAppFolder folder(false);
        TempAppFolder elsewhere(false);
        const QStringList ours{"BKdata.db.1z141z3", "BKdata.db.spinlog-k3a", "COMdata.db-journal",
                               "data.db.spinlog-k3a"};  // a restore's copy
        const QStringList settings{"Spinlog.ini.spinlog-k3a",
                                   "Spinlog-recovered-20070501-210309.mdb-journal"};
        const QStringList kept{"data.db",
                               "BKdata.db",
                               "BKdata.db.12345678",
                               "BKdata.db.ABC",
                               "COMdata.db",
                               "data.db.1z141z3",
                               "Spinlog.ini.spinlog-k3a",  // the settings are not beside the data
                               "Spinlog-recovered-20070501-210309.mdb-journal"};
        for (const QString &name : ours + kept) elsewhere.write(name, "x");
        const QStringList keptHere{
            "Spinlog.ini",
            "Spinlog.ini.bak",
            "Spinlog.ini.spinlog-x.y",
            "Spinlog-recovered-20070501-210309-2.mdb",
            "Spinlog-recovered-20070501-210309-2.mdb-journal",  // with its copy
            "BKSpinlog.mdb.spinlog-k3a"};                       // the data lie elsewhere
        for (const QString &name : settings + keptHere) folder.write(name, "x");
        QVERIFY(QFile::link(elsewhere.file("data.db"), folder.file("Spinlog.mdb")));
        // A snapshot's copy in Backup/ goes, the snapshots stay.
        QVERIFY(QDir(elsewhere.path()).mkdir("Backup"));
        for (const char *name : {"Spinlog-20260101.mdb.spinlog-k3a", "Spinlog-20260101.mdb",
                                 "Spinlog-20260102-101010.mdb", "Other.mdb.spinlog-k3a"})
            elsewhere.write(QString("Backup/") + name, "x");

        removeLeftovers(folder.file("Spinlog.mdb"), "Spinlog.ini");
        QCOMPARE(QDir(elsewhere.file("Backup")).entryList(QDir::Files, QDir::Name),
                 QStringList({"Other.mdb.spinlog-k3a", "Spinlog-20260101.mdb",
                              "Spinlog-20260102-101010.mdb"}));
        const auto sorted = [](QStringList names) {
            names.sort();
            return names.join(' ');
        };
        QCOMPARE(sorted(folderEntries(folder)), sorted(keptHere + QStringList{"Spinlog.mdb"}));
        QCOMPARE(sorted(folderEntries(elsewhere)), sorted(kept + QStringList{"Backup"}));
    }

    // A file that will not open at exit: its own report, then the compaction's.
    void unopenableAtExit()
    {
        TempAppFolder folder;
        folder.write("Spinlog.mdb", QByteArray(3000, 'Z'));
        FakeWorld world(folder.path());
        QVERIFY(!Fun_MDBCompact(world.program));
        const QString why = "file is encrypted or is not a database";
        QCOMPARE(world.prompts.texts(),
                 QStringList({"データベースオープンエラー\r\n" + why, "MDB最適化失敗。"}));
        QCOMPARE(logEntries(folder),
                 QStringList({"[mdlCommon]-[Fun_MDBOpen] " + why,
                              "[mdlCommon]-[Fun_MDBCompact]-[ErrCompact] MDB最適化失敗。"}));
        QCOMPARE(folder.read("Spinlog.mdb"), QByteArray(3000, 'Z'));
        QCOMPARE(folderEntries(folder), QStringList{"Spinlog.mdb"});
    }
};

SPINLOG_TEST(MdbTest)
#include "tst_mdb.moc"
