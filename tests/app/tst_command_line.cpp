// The command line: what it prints where, and its exit status when the
// arguments are wrong or the output cannot be written.

#include "app/command_line.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// A csTimer file of these sessions, each of 5 solves of 10.00 to 10.04 s.
QByteArray csTimerSessions(const QStringList &names)
{
    QJsonObject file, data;
    for (int n = 0; n < names.size(); ++n) {
        QJsonArray solves;
        for (int i = 0; i < 5; ++i)
            solves.append(QJsonArray{QJsonArray{0, 10000 + i}, "", "", 1700000000 + n * 60 + i});
        file[QString("session%1").arg(n + 1)] = solves;
        data[QString::number(n + 1)] = QJsonObject{{"name", names[n]}};
    }
    file["properties"] = QJsonObject{{"sessionData", QString(QJsonDocument(data).toJson())}};
    return QJsonDocument(file).toJson();
}

// The command line over the database of folder: its status, and what it
// wrote on each output.
struct Run {
    int status = -1;
    QString out, err;
};
Run runIn(const TempAppFolder &folder, const QStringList &args)
{
    QByteArray written, errors;
    QBuffer out(&written), err(&errors);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Run run;
    run.status = runCommandLine(args, out, err, folder.path());
    run.out = QString::fromUtf8(written);
    run.err = QString::fromUtf8(errors);
    return run;
}

// What the process writes on its standard output (descriptor 1) while body runs.
QByteArray standardOutputOf(const TempAppFolder &folder, const std::function<void()> &body)
{
    const QByteArray path = QFile::encodeName(folder.file("stdout.bin"));
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
    body();
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return folder.read("stdout.bin");
}

bool isFifo(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void statuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("full");  // the output goes to a full device
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");  // its first line
        QTest::addColumn<QString>("errors");  // their first line
        const QString usage =
            "使い方: spinlog                          ストップウォッチを起動します";
        QTest::newRow("usage") << QStringList{"--help"} << false << 0 << usage << "";
        for (const char *option : {"--bogus", "-h", "--scramble=3x3x3", "scramble"})
            QTest::addRow("%s refused", option)
                << QStringList{option} << false << 2 << ""
                << QString("spinlog: 「%1」は使えないオプションです。").arg(option);
        QTest::newRow("scrambles to a full device")
            << QStringList{"--scramble", "3x3x3", "3"} << true << 1 << ""
            << "spinlog: 出力を書き込めません: No space left on device";
    }
    void statuses()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, full);
        QByteArray written, errors;
        QBuffer out(&written), err(&errors);
        QFile device("/dev/full");
        if (full && !device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        QVERIFY(out.open(QIODevice::WriteOnly) && err.open(QIODevice::WriteOnly));
        QTEST(runCommandLine(args, full ? static_cast<QIODevice &>(device) : out, err), "status");
        const QStringList lines = QString::fromUtf8(written).split('\n', Qt::SkipEmptyParts);
        QTEST(lines.value(0), "output");
        QTEST(QString::fromUtf8(errors).section('\n', 0, 0), "errors");
        // A refusal shows the usage after the reason.
        if (args.first().startsWith("-h") || args.first() == "--bogus")
            QCOMPARE(QString::fromUtf8(errors).section('\n', 1, 1).left(12), "使い方: spinlog");
    }

    // spinlog --stats over 40 saved series, a day apart: 35 of type 1 with the
    // same five solves, then one of 9.00s, four of type 2 among them.
    void statistics()
    {
        TempAppFolder folder;
        const QString path = folder.file("Spinlog.mdb");
        {
            auto db = Database::open(path);
            for (int i = 0; i < 40; ++i) {
                const QString date = QDate(2007, 5, 1).addDays(i).toString("yyyy/MM/dd 08:00:00");
                if (i % 10 == 3)
                    addSeries(*db, {date, "2", {"5.00", "5.00", "5.00", "5.00", "5.00"}, "5.00"});
                else if (i == 39)
                    addSeries(*db, {date, "1", {"9.00+", "9.00", "9.00", "9.00", "9.00"}, "9.00"});
                else
                    addSeries(*db,
                              {date, "1", {"10.00", "11.00", "12.00", "13.00", "DNF"}, "12.00"});
            }
        }
        const QByteArray file = folder.read("Spinlog.mdb");
        // What a run printed: its output, or its errors when it failed.
        const auto run = [&folder](const QStringList &args, QString *output) {
            const Run run = runIn(folder, args);
            *output = run.status == 0 ? run.out : run.err;
            return run.status;
        };
        // By hand: 180 solves, 35 DNFs; 145 timed: 35 each of 10, 11, 12 and
        // 13 s and five of 9 s, summing to 1655 s with squares summing to
        // 19095 s²; the 73rd of them is 11 s. Every 12 solves hold two DNFs.
        const QString byHand =
            "解答数\t180\nDNF\t35\n平均\t11.41\n標準偏差\t1.19\n最速\t9.00\n"
            "最遅\t13.00\n中央値\t11.00\nmo3\t9.00\t9.00\nao5\t9.00\t9.00\n"
            "ao12\tDNF\tDNF\nao50\tDNF\tDNF\nao100\tDNF\tDNF\nao1000\t-\t-\n";
        QString output;
        QCOMPARE(run({"--stats", "3X3x3"}, &output), 0);
        QCOMPARE(output, byHand);
        QCOMPARE(run({"--stats", "1"}, &output), 0);
        QCOMPARE(output, byHand);
        QCOMPARE(run({"--stats"}, &output), 0);
        QCOMPARE(output.section('\n', 0, 1), QString("解答数\t200\nDNF\t35"));
        QCOMPARE(run({"--stats", "9x9x9"}, &output), 2);
        QVERIFY(output.startsWith("spinlog: タイプ「9x9x9」はありません。"));
        QCOMPARE(folder.read("Spinlog.mdb"), file);
        {
            // The running program holds the file.
            auto held = Database::open(path);
            QCOMPARE(run({"--stats"}, &output), 2);
            QVERIFY2(
                output.contains("実行中の Spinlog が使用しています") && output.count('\n') == 1,
                qPrintable(output));
        }
        QFile::remove(path);
        QCOMPARE(run({"--stats"}, &output), 2);
        QVERIFY(output.startsWith("spinlog: データベース " + path + " を開けません: "));
    }

    // --import --new-types of thirteen sessions no type is named after (one
    // twice, in another case) makes twelve types, read by --stats by name.
    void twelveSessionsAsNewTypes()
    {
        TempAppFolder folder;
        const QStringList names{"Clock", "Megaminx", "Pyraminx", "Skewb", "Square-1", "6x6x6",
                                "7x7x7", "3x3x3 OH", "4BLD",     "5BLD",  "FMC",      "3x3x3 feet"};
        folder.write("sessions.txt", csTimerSessions(names + QStringList{"2x2x2", "CLOCK"}));
        QVERIFY(
            runIn(folder, {"--import", folder.file("sessions.txt")}).err.startsWith("spinlog: "));
        const Run imported =
            runIn(folder, {"--import", folder.file("sessions.txt"), "--new-types"});
        QVERIFY2(imported.status == 0 &&
                     imported.out.contains("「Clock」→ 新しいタイプ「Clock」（5回）: 5 回") &&
                     imported.out.endsWith(
                         "14 件の記録を追加しました（重複 0 回は追加していません）。\n"),
                 qPrintable(imported.out + imported.err));
        for (const QString &name : names.mid(1) + QStringList("17"))
            QVERIFY2(runIn(folder, {"--stats", name}).out.startsWith("解答数\t5\n"),
                     qPrintable(name));
        // The session CLOCK went to Clock's new type: one type a name, in any case.
        QVERIFY(runIn(folder, {"--stats", "clock"}).out.startsWith("解答数\t10\n"));
    }

    // --export-cstimer onto what a user may name: a link (the file it names
    // written, even one not there yet, and the link kept), a FIFO and the
    // standard output (written as a stream, never made a regular file).
    void exportThroughLinksAndStreams()
    {
        TempAppFolder folder;
        addSeries(
            *Database::open(folder.file("Spinlog.mdb")),
            {"2007/05/01 21:03:09", "1", {"20.00", "18.50", "22.10", "19.00", "21.00"}, "20.00"});
        const QByteArray start = "{\"session1\":[[[0,2000";
        QVERIFY(QDir().mkdir(folder.file("real")));
        folder.write("real/old.json", "old");
        for (const char *target : {"real/old.json", "real/new.json"}) {
            const QString link = folder.file(QString("link-%1").arg(target + 5));
            QVERIFY(QFile::link(target, link));
            QCOMPARE(runIn(folder, {"--export-cstimer", link}).status, 0);
            QVERIFY(QFileInfo(link).isSymLink());
            QVERIFY(folder.read(target).startsWith(start));
        }

        const QString fifo = folder.file("fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QByteArray read;
        std::thread reader([&] {
            QFile f(fifo);
            if (f.open(QIODevice::ReadOnly))
                read = f.readAll();
        });
        const Run toFifo = runIn(folder, {"--export-cstimer", fifo});
        reader.join();
        QCOMPARE(toFifo.status, 0);
        QVERIFY(read.startsWith(start) && read.endsWith("}"));
        QVERIFY(isFifo(fifo));

        // The summary goes to the error output, so the JSON is all there is.
        Run toStdout;
        const QByteArray printed = standardOutputOf(folder, [&] {
            toStdout = runIn(folder, {"--export-cstimer", "-"});
        });
        QCOMPARE(printed, read);
        QCOMPARE(toStdout.out, QString());
        QVERIFY(toStdout.err.startsWith("- に 1 セッション、1 件の記録（5 回）を出力しました。"));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath("-")));
    }

    // An export never writes over the program's own files, whatever name
    // leads there: refused with status 2, every file as it was.
    void exportNeverReplacesTheProgramsFiles()
    {
        TempAppFolder folder;
        addSeries(
            *Database::open(folder.file("Spinlog.mdb")),
            {"2007/05/01 21:03:09", "1", {"20.00", "18.50", "22.10", "19.00", "21.00"}, "20.00"});
        folder.write("Spinlog.ini", "[Main]\r\n");
        QVERIFY(QDir().mkdir(folder.file("Backup")));
        folder.write("Backup/Spinlog-20240101.mdb", "snapshot");
        QVERIFY(QFile::link("Spinlog.mdb", folder.file("db.json")));
        QVERIFY(::link(QFile::encodeName(folder.file("Spinlog.ini")).constData(),
                       QFile::encodeName(folder.file("same.json")).constData()) == 0);
        const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries, QDir::Name);
        const QByteArray database = folder.read("Spinlog.mdb");
        for (const char *name :
             {"Spinlog.mdb", "db.json", "Spinlog.mdb-journal", "Spinlog.ini", "same.json",
              "Err.log", "BKSpinlog.mdb", "Backup/Spinlog-20240101.mdb", "Backup/new.json"}) {
            const Run run = runIn(folder, {"--export-cstimer", folder.file(name)});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.endsWith("は Spinlog が使うファイルなので、出力先にできません。\n") &&
                         run.err.count('\n') == 1,
                     qPrintable(run.err));
        }
        QCOMPARE(folder.read("Spinlog.mdb"), database);
        QCOMPARE(folder.read("Spinlog.ini"), "[Main]\r\n");
        QCOMPARE(folder.read("Backup/Spinlog-20240101.mdb"), "snapshot");
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries, QDir::Name), before);
        QCOMPARE(QDir(folder.file("Backup")).entryList(QDir::Files), {"Spinlog-20240101.mdb"});
    }

    // --stats and --export-cstimer only read: a file an older copy wrote
    // (without the history's indexes) keeps its bytes and its folder; one
    // an interrupted change left a journal beside is refused in one line
    // that says what rolls it back, never read half changed.
    void readingCommandsChangeNothing()
    {
        TempAppFolder folder, elsewhere, broken;
        {
            auto db = Database::open(folder.file("Spinlog.mdb"));
            addSeries(*db, {"2007/05/01 21:03:09", "1", {"20.00", "18.50", "22.10"}, "20.00"});
            dropAddedIndexes(*db);
        }
        const QByteArray file = folder.read("Spinlog.mdb");
        const QStringList names = QDir(folder.path()).entryList(QDir::AllEntries);
        QCOMPARE(runIn(folder, {"--export-cstimer", elsewhere.file("out.json")}).status, 0);
        QCOMPARE(runIn(folder, {"--stats", "1"}).status, 0);
        QCOMPARE(folder.read("Spinlog.mdb"), file);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries), names);

        // The file and its journal as a kill in the middle of an import
        // leaves them: pages of the change already in the file.
        {
            auto db = Database::open(folder.file("Spinlog.mdb"));
            db->execute("PRAGMA cache_size=2");
            Transaction change(*db);
            for (int i = 0; i < 300; ++i)
                addSeries(*db, {"2007/05/02 08:00:00", "2", {"5.00", "5.00"}, "5.00"});
            for (const char *name : {"Spinlog.mdb", "Spinlog.mdb-journal"})
                broken.write(name, folder.read(name));
        }
        const QByteArray journal = broken.read("Spinlog.mdb-journal");
        QVERIFY(journal.size() > 0 && broken.read("Spinlog.mdb") != file);
        for (const QStringList &args :
             {QStringList{"--stats"}, QStringList{"--export-cstimer", elsewhere.file("b.json")}}) {
            const Run run = runIn(broken, args);
            QCOMPARE(run.status, 2);
            QVERIFY2(
                run.err.contains("中断された変更の巻き戻しが残っています。Spinlog を起動するか "
                                 "--import を実行すると巻き戻されます。") &&
                    run.err.count('\n') == 1,
                qPrintable(run.err));
        }
        QCOMPARE(broken.read("Spinlog.mdb-journal"), journal);
        // The program's own opening rolls the change back.
        QCOMPARE(countRows(*Database::open(broken.file("Spinlog.mdb"))), 1);
        QCOMPARE(runIn(broken, {"--stats", "1"}).out.section('\n', 0, 0), "解答数\t3");
    }

    // An import whose output cannot be written (a full device) is taken
    // back: status 1 means nothing changed.
    void importWithItsOutputClosed()
    {
        QFile full("/dev/full");
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        TempAppFolder folder;
        folder.write("twelve.txt", twelveSolves("3x3x3"));
        Database::open(folder.file("Spinlog.mdb"));  // its columns added once, as by the program
        const QByteArray before = folder.read("Spinlog.mdb");
        QByteArray errors;
        QBuffer err(&errors);
        err.open(QIODevice::WriteOnly);
        QCOMPARE(runCommandLine({"--import", folder.file("twelve.txt")}, full, err, folder.path()),
                 1);
        QCOMPARE(QString::fromUtf8(errors).section('\n', 0, 0),
                 "spinlog: 出力を書き込めないので、取り込みを取り消しました。");
        QCOMPARE(folder.read("Spinlog.mdb"), before);
        QCOMPARE(runIn(folder, {"--import", folder.file("twelve.txt")}).status, 0);
        QCOMPARE(countRows(*Database::open(folder.file("Spinlog.mdb"))), 2);
    }

    // Two types whose names differ only in case: a name of either is
    // refused as ambiguous, naming both, where the number still chooses;
    // a type named "1" is found by its name before the first type.
    void typesNamedAlike()
    {
        TempAppFolder folder;
        {
            auto db = Database::open(folder.file("Spinlog.mdb"));
            db->execute("update MT_Type set TypeNm='3X3X3' where TypeID='2'");
            db->execute("update MT_Type set TypeNm='1' where TypeID='5'");
            addSeries(*db, {"2007/05/01 08:00:00", "1", {"10.00"}, "10.00"});
            addSeries(*db, {"2007/05/01 09:00:00", "2", {"5.00", "6.00"}, "5.50"});
            addSeries(*db, {"2007/05/01 10:00:00", "5", {"1:00.00", "DNF", "59.00"}, "DNF"});
        }
        folder.write("twelve.txt", twelveSolves("3x3x3"));
        const QString refused =
            "spinlog: タイプ「3x3X3」は 3x3x3 (1)、3X3X3 (2) のどれとも読めます。"
            "番号で指定してください。\n";
        QCOMPARE(runIn(folder, {"--stats", "3x3X3"}).err, refused);
        QCOMPARE(runIn(folder, {"--export-cstimer", folder.file("o.json"), "3x3X3"}).err, refused);
        QCOMPARE(runIn(folder, {"--import", folder.file("twelve.txt"), "--type", "3x3X3"}).err,
                 refused);
        QCOMPARE(runIn(folder, {"--import", folder.file("twelve.txt")}).err,
                 "spinlog: セッション「3x3x3」は 3x3x3、3X3X3 のどのタイプとも読めます。--type "
                 "で取り込むタイプを指定してください。\n");
        QCOMPARE(runIn(folder, {"--stats", "2"}).out.section('\n', 0, 0), "解答数\t2");
        QCOMPARE(runIn(folder, {"--stats", "1"}).out.section('\n', 0, 1), "解答数\t3\nDNF\t1");
    }
};

SPINLOG_TEST(CommandLineTest)
#include "tst_command_line.moc"
