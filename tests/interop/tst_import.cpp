// Imports into a real database: the round trip through csTimer's and Twisty
// Timer's files with every field of every solve, in any time zone; the merge
// that never replaces and finds each solve stored already; the one
// transaction made to fail at each step, the undo, and the command line's
// refusals that change nothing.

#include "app/interop_command.h"
#include "data/record_stores.h"
#include "interop/history_export.h"
#include "interop/history_importer.h"
#include "session/series_rules.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QTest>
#include <QTextStream>
#include <ctime>

using namespace spinlog;
using namespace spinlog::test;

namespace {

const char *const kRows =
    "select DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, Time6, AveTime, BestTimeNo, "
    "WorstTimeNo, Solves from T_Time order by rowid";

std::unique_ptr<RecordStores> openStores(const TempAppFolder &folder)
{
    return std::make_unique<RecordStores>(Database::open(folder.file("Spinlog.mdb")));
}

// A history with +2, DNF and the blindfolded type's every-solve average.
void seed(HistoryWriter &history)
{
    const auto add = [&](const char *date, const char *type, const QString &tokens, bool every) {
        std::vector<Attempt> solves;
        for (const QString &token : tokens.split(' ')) solves.push_back(*attemptFromToken(token));
        history.add(
            seriesOfAttempts(date, TypeId(type), solves,
                             every ? AverageRule::CountBestWorst : AverageRule::LeaveOutBestWorst));
    };
    add("2023/11/14 22:13:20", "1", "1234 1000+ 900D 1502 1199", false);
    add("2023/11/15 08:00:00", "5", "6543 0D 5900", true);
    add("2023/11/16 09:00:00", "1", "1100 1200 1300 1400 1500+", false);
}

HistoryImport importOf(const QString &path, RecordStores &stores)
{
    return HistoryImporter(stores.history, stores.types).plan(path);
}

// The process's local time zone while it lives.
struct Zone {
    explicit Zone(const char *zone) : old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~Zone()
    {
        old.isNull() ? qunsetenv("TZ") : qputenv("TZ", old);
        tzset();
    }
    QByteArray old;
};

// Solves as csTimer keeps them: every penalty, a comment with quotes, a line
// end and Japanese, phases, a time in thousandths; seven into the 5-solve
// type leave two without a series. Two series of the blindfolded type (three
// solves) end at the two 01:30 of New York's autumn day whose clock goes
// back, an hour apart.
const QByteArray kEveryField =
    "{\"session1\":[[[0,12340],\"R U R' U'\",\"\",1699150000],"
    "[[2000,10000],\"F2 U\",\"ok \\\"quoted\\\" \\u65e5\\u672c\\nline 2\",1699150060],"
    "[[-1,9000],\"B\",\"DNF after pop\",1699150120],"
    "[[0,15020,7000,3000],\"L2\",\"multi-phase\",1699150180],"
    "[[0,11999],\"D'\",\"\",1699150240],"
    "[[0,13000],\"U\",\"\",1699150300],[[0,14000],\"R\",\"last\",1699150360]],"
    "\"session2\":[[[0,65430],\"Rw U\",\"\",1699162140],[[-1,70000],\"F\",\"\",1699162170],"
    "[[0,59000],\"B'\",\"01:30 EDT\",1699162200],[[0,61000],\"U\",\"\",1699165740],"
    "[[0,62000],\"D\",\"\",1699165770],[[2000,63000],\"L\",\"01:30 EST\",1699165800]],"
    "\"properties\":{\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"3x3x3\\\"},"
    "\\\"2\\\":{\\\"name\\\":\\\"3x3x3\\u76ee\\u96a0\\u3057\\\"}}\"}}";

}  // namespace

class ImportTest : public QObject {
    Q_OBJECT
private slots:
    void roundTripThroughCsTimer()
    {
        TempAppFolder from, to;
        QStringList saved;
        {
            auto stores = openStores(from);
            seed(stores->history);
            saved = rowsOf(stores->database(), kRows);
            // A solve whose text reads as no time: the series is left out whole.
            addSeries(stores->database(), {"2023/11/17 10:00:00", "1", {"10.00", "1O.00"}, "-"});
            const ExportTally tally =
                exportCsTimer(stores->historyExport, stores->types, {}, from.file("export.txt"));
            QCOMPARE(tally.skipped, 1);
            QCOMPARE(tally.series, 3);
            QCOMPARE(tally.sessions, 2);
        }
        auto stores = openStores(to);
        for (int round = 1; round <= 2; ++round) {
            HistoryImport import = importOf(from.file("export.txt"), *stores);
            QCOMPARE(import.looseCount(), 0);
            const std::optional<ImportTally> tally =
                import.run(stores->history, QString("mark %1").arg(round), {});
            // The second time every solve is there already.
            QCOMPARE(tally->added, round == 1 ? 3 : 0);
            QCOMPARE(tally->duplicates, round == 1 ? 0 : 13);
            QCOMPARE(rowsOf(stores->database(), kRows), saved);
        }
    }

    // Imported in one time zone, exported in another, the file read back
    // holds the same solves: count, time, penalty, phases, scramble, comment
    // and second, those of an hour a clock repeats too; read again, every
    // solve is one stored already.
    void roundTripKeepsEverySolveWhole_data()
    {
        QTest::addColumn<QByteArray>("importZone");
        QTest::addColumn<QByteArray>("exportZone");
        QTest::addColumn<int>("format");
        QTest::newRow("Tokyo to UTC")
            << QByteArray("Asia/Tokyo") << QByteArray("UTC") << int(ExportFormat::CsTimer);
        QTest::newRow("New York's autumn")
            << QByteArray("America/New_York") << QByteArray("America/New_York")
            << int(ExportFormat::CsTimer);
        QTest::newRow("Twisty Timer")
            << QByteArray("Asia/Tokyo") << QByteArray("UTC") << int(ExportFormat::TwistyTimer);
    }
    void roundTripKeepsEverySolveWhole()
    {
        QFETCH(QByteArray, importZone);
        QFETCH(QByteArray, exportZone);
        QFETCH(int, format);
        TempAppFolder folder;
        folder.write("csTimer.txt", kEveryField);
        auto stores = openStores(folder);
        {
            const Zone zone(importZone.constData());
            HistoryImport import = importOf(folder.file("csTimer.txt"), *stores);
            QCOMPARE(import.seriesCount(), 3);
            QCOMPARE(import.looseCount(), 2);
            QCOMPARE(import.run(stores->history, "mark", {})->loose, 2);
        }
        {
            const Zone zone(exportZone.constData());
            const ExportTally tally = exportHistory(ExportFormat(format), stores->historyExport,
                                                    stores->types, {}, folder.file("out.txt"));
            QCOMPARE(tally.solves, 13);
            QCOMPARE(tally.series, 3);
        }
        const QString original = contentsOf(readHistoryBytes(kEveryField));
        QString written = contentsOf(readHistoryFile(folder.file("out.txt")));
        if (format == int(ExportFormat::TwistyTimer)) {
            // Twisty Timer's puzzle and category name the type.
            QVERIFY(written.startsWith("Twisty Timer: 3x3x3["));
            QVERIFY(written.contains(" 3x3x3 目隠し["));
            written.replace("Twisty Timer: ", "csTimer: ").replace("3x3x3 目隠し", "3x3x3目隠し");
            // It keeps no phases.
            QCOMPARE(written, QString(original).replace("|7000 3000}", "|}"));
        } else {
            QCOMPARE(written, original);
        }
        HistoryImport again = importOf(folder.file("out.txt"), *stores);
        QCOMPARE(again.duplicateCount(), 13);
        QCOMPARE(again.seriesCount() + again.looseCount(), 0);
    }

    // 12 solves into the 5-solve type make two series, the last two solves
    // are kept without a series and listed; the undo takes exactly those
    // away and leaves what was there, an earlier import with a later mark
    // too (the clock was set back between).
    void twelveSolvesIntoTheFiveSolveType()
    {
        TempAppFolder folder;
        folder.write("twelve.txt", twelveSolves("3x3x3"));
        folder.write("other.txt", twelveSolves("Megaminx"));
        auto stores = openStores(folder);
        seed(stores->history);
        HistoryImport earlier = importOf(folder.file("other.txt"), *stores);
        earlier.choose(0, 1);
        const QString earlierMark = importMark(QDateTime(QDate(2026, 10, 25), QTime(2, 50)));
        QVERIFY(earlier.run(stores->history, earlierMark, {})->added > 0);
        const QStringList before = rowsOf(stores->database(), kRows);
        HistoryImport import = importOf(folder.file("twelve.txt"), *stores);
        QCOMPARE(import.seriesCount(), 2);
        QCOMPARE(import.looseCount(), 2);
        QVERIFY(importSummary(import).contains("記録に入らない回: " + dateTimeText(1700000011'000) +
                                               " 11.10"));
        import.choose(0, -1);  // left out: every solve is not imported
        QVERIFY(importSummary(import).endsWith("取り込まない回 12 回\n"));
        import.choose(0, 0);
        QVERIFY(import.run(stores->history,
                           importMark(QDateTime(QDate(2026, 10, 25), QTime(2, 10))), {}));
        const QStringList after = rowsOf(stores->database(), kRows);
        QCOMPARE(after.mid(0, before.size()), before);  // nothing there changed
        QCOMPARE(after.size(), before.size() + 2);
        // Dated by its last solve; the average by the type's rule (best and worst out).
        QVERIFY(after[before.size()].startsWith(dateTimeText(1700000004'000) +
                                                "|1|10.00|10.10|10.20|10.30|10.40|-|"
                                                "10.20|1|5|"));
        HistoryImporter importer(stores->history, stores->types);
        QCOMPARE(importer.lastImport()->series, 2);
        QCOMPARE(importer.lastImport()->loose, 2);
        const int solvesBefore = countRows(stores->database(), "", "T_Solve");
        QCOMPARE(importer.undo(*importer.lastImport()), 2);
        QCOMPARE(rowsOf(stores->database(), kRows), before);
        QCOMPARE(countRows(stores->database(), "", "T_Solve"), solvesBefore - 12);
        QCOMPARE(importer.lastImport()->id, earlierMark);
    }

    // The transaction made to fail at each step, and cancelled: nothing kept.
    void allOrNothing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<int>("cancelAt");  // the progress answers "cancel" from this count
        QTest::newRow("the first series refused") << "before insert on T_Time" << -1;
        QTest::newRow("the second series refused")
            << "before insert on T_Time when (select count(*) from T_Time) >= 1" << -1;
        QTest::newRow("cancelled at the end") << "" << 2;
        QTest::newRow("cancelled at once") << "" << 0;
    }
    void allOrNothing()
    {
        QFETCH(QString, trigger);
        QFETCH(int, cancelAt);
        TempAppFolder folder;
        folder.write("twelve.txt", twelveSolves("3x3x3"));
        auto stores = openStores(folder);
        if (!trigger.isEmpty())
            stores->database().execute("create trigger refuse " + trigger +
                                       " begin select raise(abort, 'refused'); end");
        HistoryImport import = importOf(folder.file("twelve.txt"), *stores);
        bool failed = false;
        try {
            const auto tally = import.run(stores->history, "mark", [&](int done, int) {
                return cancelAt < 0 || done < cancelAt;
            });
            QVERIFY(!tally);
        } catch (const SpinlogError &e) {
            failed = e.description().contains("refused");
        }
        QCOMPARE(failed, !trigger.isEmpty());
        QCOMPARE(countRows(stores->database()), 0);
    }

    // Each refusal: one line on the error output, status 2, nothing changed.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("running");  // the program holds the database
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QString file = "FOLDER/twelve.txt";
        QTest::newRow("import") << QStringList{"--import", file} << false << 0 << "";
        QTest::newRow("import into a type given")
            << QStringList{"--import", "FOLDER/other.txt", "--type", "3"} << false << 0 << "";
        QTest::newRow("export of nothing")
            << QStringList{"--export-cstimer", "FOLDER/out.txt", "2x2x2"} << false << 2
            << "spinlog: 出力データがありません";
        QTest::newRow("missing file") << QStringList{"--import", "FOLDER/none.txt"} << false << 2
                                      << "spinlog: none.txt: ファイルがありません。";
        QTest::newRow("wrong format") << QStringList{"--import", "FOLDER/Spinlog.ini"} << false << 2
                                      << "spinlog: Spinlog.ini: csTimer、Twisty Timer、Spinlog "
                                         "のどの形式のファイルでもありませ"
                                         "ん。";
        QTest::newRow("no type of the session's name")
            << QStringList{"--import", "FOLDER/other.txt"} << false << 2
            << "spinlog: セッション「Megaminx」と同じ名前のタイプがありません。--type "
               "で取り込むタイプを指定してください。";
        QTest::newRow("unknown type") << QStringList{"--import", file, "--type", "9x9x9"} << false
                                      << 2 << "spinlog: タイプ「9x9x9」はありません。";
        QTest::newRow("export of an unknown type")
            << QStringList{"--export-cstimer", "FOLDER/out.txt", "9x9x9"} << false << 2
            << "spinlog: タイプ「9x9x9」はありません（3x3x3/2x2x2/4x4x4/5x5x5/3x3x3目隠し）。";
        QTest::newRow("database in use")
            << QStringList{"--import", file} << true << 2
            << "spinlog: データベースが使用中です（Spinlog が起動中です）。";
        QTest::newRow("a file and nothing else") << QStringList{"--import"} << false << 2
                                                 << "spinlog: --import ファイル [--type タイプ] "
                                                    "の形で指定してください。";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, running);
        TempAppFolder folder;
        // As csTimer writes them, with its empty sessions of no type's name.
        QByteArray twelve = twelveSolves("3x3x3");
        folder.write("twelve.txt", twelve.insert(1, "\"session2\":[],\"session3\":[],"));
        folder.write("other.txt", twelveSolves("Megaminx"));
        folder.write("Spinlog.ini", "[Main]\r\n");
        for (QString &arg : args) arg.replace("FOLDER", folder.path());
        // Opened once as the program would have: its columns and indexes added.
        Database::open(folder.file("Spinlog.mdb"));
        std::unique_ptr<Database> held;
        if (running)
            held = Database::open(folder.file("Spinlog.mdb"));
        const QByteArray before = folder.read("Spinlog.mdb");
        QString out, err;
        QTextStream output(&out), errors(&err);
        QTEST(runInteropCommand(args, folder.path(), output, errors), "status");
        errors.flush();
        QTEST(err.section('\n', 0, 0), "error");
        QCOMPARE(err.count('\n'), err.isEmpty() ? 0 : 1);
        if (!err.isEmpty()) {
            held.reset();
            QCOMPARE(folder.read("Spinlog.mdb"), before);
        }
    }
};

SPINLOG_TEST(ImportTest)
#include "tst_import.moc"
