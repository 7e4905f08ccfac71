// The command line: what it prints where, and its exit status when the
// arguments are wrong or the output cannot be written.

#include "app/command_line.h"
#include "interop/history_importer.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// A csTimer file of these sessions, each of 5 solves of 10.00 to 10.40 s a
// second apart, one session a minute after the other.
QByteArray csTimerSessions(const QStringList &names)
{
    QByteArray file = "{", data;
    for (int n = 0; n < names.size(); ++n) {
        QByteArray solves;
        for (int i = 0; i < 5; ++i)
            solves += (i ? "," : "") + QByteArray("[[0,") + QByteArray::number(10000 + i * 10) +
                      "],\"\",\"\"," + QByteArray::number(1700000000 + n * 60 + i) + "]";
        file += QString("\"session%1\":[").arg(n + 1).toUtf8() + solves + "],";
        data += QString("%1\\\"%2\\\":{\\\"name\\\":\\\"%3\\\"}")
                    .arg(n ? "," : "")
                    .arg(n + 1)
                    .arg(names[n])
                    .toUtf8();
    }
    return file + "\"properties\":{\"sessionData\":\"{" + data + "}\"}}";
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
        const auto run = [&folder](const QStringList &args, QString *output = nullptr) {
            QByteArray written, errors;
            QBuffer out(&written), err(&errors);
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            const int status = runCommandLine(args, out, err, folder.path());
            if (output)
                *output = QString::fromUtf8(status == 0 ? written : errors);
            return status;
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

    // --import of twelve sessions no type is named after, with --new-types:
    // twelve types made after the five, each with its series, each read by
    // --stats by its name; the undo takes them back with their series.
    void twelveSessionsAsNewTypes()
    {
        TempAppFolder folder;
        const QStringList names{"Clock", "Megaminx", "Pyraminx", "Skewb", "Square-1", "6x6x6",
                                "7x7x7", "3x3x3 OH", "4BLD",     "5BLD",  "FMC",      "3x3x3 feet"};
        folder.write("sessions.txt", csTimerSessions(names + QStringList("2x2x2")));
        const auto run = [&folder](const QStringList &args) {
            QByteArray written, errors;
            QBuffer out(&written), err(&errors);
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            const int status = runCommandLine(args, out, err, folder.path());
            return QString::number(status) + ' ' + QString::fromUtf8(written + errors);
        };
        QVERIFY(run({"--import", folder.file("sessions.txt")}).startsWith("2 spinlog: "));
        const QString imported = run({"--import", folder.file("sessions.txt"), "--new-types"});
        QVERIFY2(
            imported.startsWith("0 ") &&
                imported.contains("「Clock」→ 新しいタイプ「Clock」"
                                  "（5回）: 5 回") &&
                imported.endsWith("13 件の記録を追加しました（重複 0 件は追加していません）。\n"),
            qPrintable(imported));
        for (const QString &name : names)
            QVERIFY2(run({"--stats", name}).startsWith("0 解答数\t5\n"), qPrintable(name));
        QCOMPARE(run({"--stats", "17"}).section('\n', 0, 0), "0 解答数\t5");

        auto stores = std::make_unique<RecordStores>(Database::open(folder.file("Spinlog.mdb")));
        QCOMPARE(rowsOf(stores->database(),
                        "select TypeID, TypeNm, TypeCnt from MT_TypeExtra "
                        "where TypeID in ('6', '17')"),
                 QStringList({"6|Clock|5", "17|3x3x3 feet|5"}));
        HistoryImporter importer(stores->history, stores->types);
        const std::optional<ImportMark> last = importer.lastImport();
        QCOMPARE(last->series, 13);
        QCOMPARE(last->types, 12);
        QCOMPARE(importer.undo(*last), 13);
        QCOMPARE(stores->types.all().size(), std::size_t(5));
        QCOMPARE(countRows(stores->database()), 0);
    }
};

SPINLOG_TEST(CommandLineTest)
#include "tst_command_line.moc"
