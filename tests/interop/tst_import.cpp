// Imports into a real database: the round trip through csTimer's and Twisty
// Timer's files with every field of every solve, in any time zone; the merge
// that never replaces and finds each solve stored already; the one
// transaction made to fail at each step, the undo, and the command line's
// refusals that change nothing.

#include "app/interop_command.h"
#include "base/encoding.h"
#include "data/record_stores.h"
#include "data/type_tables.h"
#include "interop/history_export.h"
#include "interop/history_importer.h"
#include "session/series_rules.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QFileInfo>
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
            const ExportTally tally = exportCsTimer(stores->historyExport, stores->types, {},
                                                    from.file("export.txt"), from.path());
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
            const ExportTally tally =
                exportHistory(ExportFormat(format), stores->historyExport, stores->types, {},
                              folder.file("out.txt"), folder.path());
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

    // A history an older copy saved (no solve rows) is written as that copy
    // wrote it, byte for byte: each solve dated by its series.
    void anOlderCopysHistoryExportsAsBefore()
    {
        const Zone zone("UTC");
        HistoryWorld w;
        addSeries(w.db(), {"2007/05/01 21:03:09", "1", {"20.00", "18.50+", "DNF"}, "DNF"});
        addSeries(w.db(), {"2007/05/02 08:00:00", "2", {"5.10", "4.20"}, "4.65"});
        RecordStores &r = *w.program().records;
        exportCsTimer(r.historyExport, r.types, {}, w.folder.file("out.txt"), w.folder.path());
        QCOMPARE(w.folder.read("out.txt"),
                 "{\"session1\":[[[0,20000],\"\",\"\",1178053389],[[2000,16500],\"\",\"\","
                 "1178053389],[[-1,0],\"\",\"\",1178053389]],\"session2\":[[[0,5100],\"\",\"\","
                 "1178092800],[[0,4200],\"\",\"\",1178092800]],\"properties\":{\"sessionN\":2,"
                 "\"session\":1,\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"3x3x3\\\","
                 "\\\"opt\\\":{},\\\"rank\\\":1,\\\"stat\\\":[3,1,19250],\\\"date\\\":["
                 "1178053389,1178053389]},\\\"2\\\":{\\\"name\\\":\\\"2x2x2\\\",\\\"opt"
                 "\\\":{},\\\"rank\\\":2,\\\"stat\\\":[2,0,4650],\\\"date\\\":[1178092800,"
                 "1178092800]}}\"}}");
    }

    // A solve is a duplicate when one of its type, moment (within the
    // file's second), raw time and penalty is stored; two alike in one file
    // are both added. An older copy's series is found by its texts.
    void duplicatesAreSolvesStoredBefore()
    {
        HistoryWorld w;
        // The stopwatch's solve at 22:13:20.750; csTimer keeps its second.
        SeriesRecord timed = seriesOfAttempts("2023/11/14 22:13:21", TypeId("5"),
                                              std::vector<Attempt>(3, {6000, Penalty::None}),
                                              AverageRule::CountBestWorst);
        for (int i = 0; i < 3; ++i) timed.details[std::size_t(i)].moment = 1700000000'750 + i;
        w.history().add(timed);
        addSeries(
            w.db(),
            {dateTimeText(1700000100'000), "5", {"1:10.00", "1:11.00", "1:12.00"}, "1:11.00"});
        const QByteArray blind =
            "{\"session1\":[[[0,60000],\"\",\"\",1700000000],[[0,60000],\"\",\"\",1700000000],"
            "[[0,70000],\"\",\"\",1700000060],[[0,71000],\"\",\"\",1700000080],"
            "[[0,72000],\"\",\"\",1700000100],[[0,60000],\"\",\"\",1700000200],"
            "[[0,1000],\"\",\"\",1700000300],[[0,1000],\"\",\"\",1700000300]],"
            "\"properties\":{\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"3x3x3"
            "\\u76ee\\u96a0\\u3057\\\"}}\"}}";
        w.folder.write("blind.txt", blind);
        HistoryImport import = importOf(w.folder.file("blind.txt"), *w.program().records);
        // Held: 60.00 twice in the stopwatch's second; the older copy's
        // series of 1:10, 1:11, 1:12. Not held: 60.00 in another second,
        // and the two alike of 1.00.
        QCOMPARE(import.duplicateCount(), 2 + 3);
        QCOMPARE(import.seriesCount(), 1);
        QCOMPARE(import.looseCount(), 0);
        QCOMPARE(import.run(w.history(), "mark", {})->added, 1);
        const SeriesRecord added = w.history().series(3);
        QCOMPARE(added.times[0] + ' ' + added.times[1] + ' ' + added.times[2], "1:00.00 1.00 1.00");
    }

    // A csTimer file of the oldest kind, its solves without a date: the
    // preview says how many; they take the file's time, a millisecond apart.
    void undatedSolvesTakeTheFilesTime()
    {
        HistoryWorld w;
        w.folder.write("old.txt",
                       "{\"session1\":[[[0,9000],\"R\",\"\"],[[0,9100],\"U\",\"a\"],"
                       "[[0,9200],\"F\",\"\"]],\"properties\":{\"sessionData\":\"{"
                       "\\\"1\\\":{\\\"name\\\":\\\"3x3x3\\u76ee\\u96a0"
                       "\\u3057\\\"}}\"}}");
        const qint64 written =
            QFileInfo(w.folder.file("old.txt")).lastModified().toMSecsSinceEpoch();
        HistoryImport import = importOf(w.folder.file("old.txt"), *w.program().records);
        QVERIFY(importSummary(import).endsWith("日時のない回 3 回はファイルの日時で記録します\n"));
        QVERIFY(import.run(w.history(), "mark", {}));
        const SeriesRecord r = w.history().series(1);
        QCOMPARE(r.details[0].moment, written);
        QCOMPARE(r.details[2].moment, written + 2);
        QCOMPARE(r.details[1].scramble + r.details[1].comment, "Ua");
        QCOMPARE(r.dateTime, dateTimeText(written + 2));
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

    // An import of 20 000 solves into a smaller history sets the indexes
    // aside and makes them again: afterwards, and after a failure at its
    // end, the file has every one as it had; the list reads as before.
    void aLargeImportMakesTheIndexesAgain()
    {
        TempAppFolder folder;
        QByteArray solves;
        for (int i = 0; i < 20000; ++i)
            solves += (i ? "," : "") + QByteArray("[[0,") + QByteArray::number(9000 + i % 997) +
                      "],\"R U\",\"\"," + QByteArray::number(1600000000 + i) + "]";
        folder.write("large.txt", "{\"session1\":[" + solves +
                                      "],\"properties\":{\"sessionData\":\"{\\\"1\\\":{"
                                      "\\\"name\\\":\\\"3x3x3\\\"}}\"}}");
        auto stores = openStores(folder);
        const char *indexes =
            "select name, sql from sqlite_master where type='index' order by name";
        const QStringList before = rowsOf(stores->database(), indexes);
        QCOMPARE(before.size(), 10);
        HistoryImport import = importOf(folder.file("large.txt"), *stores);
        stores->database().execute(
            "create trigger refuse before insert on T_Solve when "
            "new.SolveID > 64000 begin select raise(abort, 'full'); end");
        QVERIFY_THROWS_EXCEPTION(SpinlogError, import.run(stores->history, "mark", {}));
        QCOMPARE(rowsOf(stores->database(), indexes), before);
        stores->database().execute("drop trigger refuse");
        QCOMPARE(import.run(stores->history, "mark", {})->added, 4000);
        QCOMPARE(rowsOf(stores->database(), indexes), before);
        QCOMPARE(rowsOf(stores->database(),
                        "select count(*) from T_Time indexed by "
                        "T_Time_AveTimeSS where AveTimeSS > 0"),
                 QStringList("4000"));
    }

    // The transaction made to fail at each step, and cancelled: nothing
    // kept, neither series nor solves nor the type the session was to make.
    void allOrNothing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<int>("cancelAt");  // the progress answers "cancel" from this count
        QTest::newRow("the new type refused") << "before insert on MT_TypeExtra" << -1;
        QTest::newRow("the first series refused") << "before insert on T_Time" << -1;
        QTest::newRow("the second series refused")
            << "before insert on T_Time when (select count(*) from T_Time) >= 1" << -1;
        QTest::newRow("a solve of a series refused")
            << "before insert on T_Solve when new.[No] = 4" << -1;
        QTest::newRow("a solve without a series refused")
            << "before insert on T_Solve when new.[No] is null" << -1;
        QTest::newRow("cancelled at the end") << "" << 2;
        QTest::newRow("cancelled at once") << "" << 0;
    }
    void allOrNothing()
    {
        QFETCH(QString, trigger);
        QFETCH(int, cancelAt);
        TempAppFolder folder;
        folder.write("twelve.txt", twelveSolves("Skewb"));
        auto stores = openStores(folder);
        makeExtraTypeTable(stores->database());
        if (!trigger.isEmpty())
            stores->database().execute("create trigger refuse " + trigger +
                                       " begin select raise(abort, 'refused'); end");
        HistoryImporter importer(stores->history, stores->types);
        HistoryImport import = importer.plan(folder.file("twelve.txt"));
        importer.newTypesForTheRest(import);
        bool failed = false;
        try {
            const auto tally =
                importer.run(import, QDateTime::currentDateTime(),
                             [&](int done, int) { return cancelAt < 0 || done < cancelAt; });
            QVERIFY(!tally);
        } catch (const SpinlogError &e) {
            failed = e.description().contains("refused");
        }
        QCOMPARE(failed, !trigger.isEmpty());
        QCOMPARE(countRows(stores->database()), 0);
        QCOMPARE(countRows(stores->database(), "", "T_Solve"), 0);
        QCOMPARE(stores->types.all().size(), std::size_t(5));
    }

    // A file that holds a series twice adds it twice, as its preview says:
    // only what was stored before is a duplicate (counted in solves). A 1-solve type given a
    // Spinlog CSV with the same DNF at the same second in two rows, and
    // csTimer's same five solves at one second, twice.
    void aSeriesTwiceInOneFile()
    {
        TempAppFolder folder;
        const QString rest = ",-,-,-,-,-,-,-,-,-,-,-,";
        folder.write("twice.csv", toCp932("日時,タイプ,1,2,3,4,5,6,7,8,9,10,11,12,平均\r\n"
                                          "2023/11/14 22:13:20,4x4x4,DNF" +
                                          rest +
                                          "DNF\r\n"
                                          "2023/11/14 22:13:20,4x4x4,DNF" +
                                          rest +
                                          "DNF\r\n"
                                          "2023/11/14 22:13:21,4x4x4,12.00" +
                                          rest + "12.00\r\n"));
        QByteArray five;
        for (int i = 0; i < 10; ++i)
            five += (i ? "," : "") + QByteArray("[[0,") + QByteArray::number(10000 + i % 5 * 100) +
                    "],\"\",\"\",1700000000]";
        folder.write("twice.txt", "{\"session1\":[" + five +
                                      "],\"properties\":{\"sessionData\":\"{\\\"1\\\":{"
                                      "\\\"name\\\":\\\"3x3x3\\\"}}\"}}");
        auto stores = openStores(folder);
        stores->database().execute("update MT_Type set TypeCnt=1 where TypeID='3'");
        for (const auto &[file, series, solves] :
             {std::tuple("twice.csv", 3, 3), std::tuple("twice.txt", 2, 10)}) {
            for (int round = 0; round < 2; ++round) {
                HistoryImport import = importOf(folder.file(file), *stores);
                import.countDuplicates(stores->history);
                const int duplicates = round == 0 ? 0 : solves;
                QCOMPARE(import.seriesCount(), round == 0 ? series : 0);
                QCOMPARE(import.sessions().at(0).duplicates, duplicates);
                const std::optional<ImportTally> tally =
                    import.run(stores->history, importMark(QDateTime::currentDateTime()), {});
                QCOMPARE(std::pair(tally->added, tally->duplicates),
                         std::pair(round == 0 ? series : 0, duplicates));
            }
        }
        QCOMPARE(countRows(stores->database()), 5);
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
        QTest::newRow("Twisty Timer's backup of nothing")
            << QStringList{"--export-twisty", "FOLDER/out.txt"} << false << 2
            << "spinlog: 出力データがありません";
        QTest::newRow("Twisty Timer's backup, nothing after it")
            << QStringList{"--export-twisty"} << false << 2
            << "spinlog: --export-twisty ファイル [タイプ] の形で指定してください。";
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
               "で取り込むタイプを指定するか、--new-types で新しいタイプとして取り込んでください。";
        QTest::newRow("sessions of no type's name as new types")
            << QStringList{"--import", "FOLDER/other.txt", "--new-types"} << false << 0 << "";
        QTest::newRow("new types and one type given")
            << QStringList{"--import", "FOLDER/other.txt", "--new-types", "--type", "3"} << false
            << 2
            << "spinlog: --import ファイル [--type タイプ | --new-types] の形で指定してください。";
        QTest::newRow("unknown type") << QStringList{"--import", file, "--type", "9x9x9"} << false
                                      << 2 << "spinlog: タイプ「9x9x9」はありません。";
        QTest::newRow("export of an unknown type")
            << QStringList{"--export-cstimer", "FOLDER/out.txt", "9x9x9"} << false << 2
            << "spinlog: タイプ「9x9x9」はありません（3x3x3/2x2x2/4x4x4/5x5x5/3x3x3目隠し）。";
        QTest::newRow("database in use")
            << QStringList{"--import", file} << true << 2
            << "spinlog: データベースが使用中です（Spinlog が起動中です）。";
        QTest::newRow("a file and nothing else") << QStringList{"--import"} << false << 2
                                                 << "spinlog: --import ファイル [--type タイプ | "
                                                    "--new-types] の形で指定してください。";
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
