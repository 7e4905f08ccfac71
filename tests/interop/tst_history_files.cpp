// Other timers' files as their users post them, and broken or hostile ones:
// each is read as it should be or refused with its place and its fault.

#include "base/errors.h"
#include "interop/cstimer_file.h"
#include "interop/history_file.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

using namespace spinlog;
using namespace spinlog::test;

namespace {

QString local(const char *dateTime)
{
    return QString::number(
        QDateTime::fromString(dateTime, "yyyy/MM/dd HH:mm:ss").toSecsSinceEpoch());
}

}  // namespace

class HistoryFilesTest : public QObject {
    Q_OBJECT
private slots:
    void samples_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("read");
        // Several sessions, +2 and DNF (its time kept), comments, a multi-phase
        // solve (its total), a number for a name, a name in \u escapes, an
        // empty session; milliseconds cut to hundredths as csTimer shows them.
        QTest::newRow("csTimer")
            << "cstimer_sessions.txt"
            << "csTimer: 3x3x3[1234@1700000000{R U R' U'||} 1000+@1700000060{F2 U|ok|} "
               "900D@1700000120{B|DNF after pop|} 1502@1700000180{L2|multi-phase|7000 3000} "
               "1199@1700000240{D||} 1300@1700000300{U||} 1400@1700000360{R||}] "
               "2[352@1700001000{R U||} 410@1700001060{U||}] 日本[]";
        // Older copies: JSON texts in strings (the details read again from
        // them), names in sessionName, a time with a binary fraction, an empty
        // session text.
        QTest::newRow("csTimer, older")
            << "cstimer_older.txt"
            << "csTimer: OH[3220@1450000000{U' B2||} 2783+@1450000100{B2 R2||}] 2[]";
        // +2 kept with its two seconds in, a separator and a line end in a
        // comment, categories beside the puzzle.
        QTest::newRow("Twisty Timer")
            << "twisty_backup.txt"
            << "Twisty Timer: 3x3x3[1234@1700000000{R U||} 1000+@1700000060{F2|plus two: 10.00 "
               "raw|} 900D@1700000120{B|a \";\" in the comment|}] 3x3x3 OH[2050@1700000180{L|two\n"
               "lines|}] Pyraminx[432@1700000240{R||}]";
        // Code page 932, a quoted name with a comma; a DNF's time is not in it.
        const QString t1 = local("2023/11/14 22:13:20"), t2 = local("2023/11/15 08:00:00"),
                      t3 = local("2023/11/16 09:00:00");
        QTest::newRow("Spinlog CSV")
            << "spinlog_history.csv"
            << QString(
                   "Spinlog CSV: 3x3x3[1234@%1 1000+@%1 0D@%1 1502@%1 1199@%1] "
                   "3x3x3目隠し[6543@%2 0D@%2 5900@%2] 3x3x3,OH[2050@%3 2100@%3]")
                   .arg(t1, t2, t3);
    }
    void samples()
    {
        QFETCH(QString, file);
        QTEST(contentsOf(readHistoryFile(QStringLiteral(SPINLOG_SAMPLES "/") + file)), "read");
    }

    // A FIFO and the standard input are read as streams, as
    // "xz -dc old.txt.xz | spinlog --import -" gives them; an empty one is refused.
    void streams()
    {
        const QString sample = QStringLiteral(SPINLOG_SAMPLES "/cstimer_sessions.txt");
        const QString expected = contentsOf(readHistoryFile(sample));
        QFile file(sample);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QTemporaryDir dir;
        const QByteArray fifo = QFile::encodeName(dir.filePath("fifo"));
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        // Written a few bytes at a time, as a decompressor would.
        const auto writeTo = [&bytes](int fd) {
            for (qsizetype at = 0; at < bytes.size(); at += 7)
                if (::write(fd, bytes.constData() + at,
                            size_t(std::min<qsizetype>(7, bytes.size() - at))) < 0)
                    break;
            ::close(fd);
        };
        std::thread writer([&] { writeTo(::open(fifo.constData(), O_WRONLY)); });
        QCOMPARE(contentsOf(readHistoryFile(dir.filePath("fifo"))), expected);
        writer.join();

        int pipe[2];
        QVERIFY(::pipe(pipe) == 0);
        const int standardInput = ::dup(STDIN_FILENO);
        ::dup2(pipe[0], STDIN_FILENO);
        ::close(pipe[0]);
        writer = std::thread([&] { writeTo(pipe[1]); });
        QString read, empty;
        try {
            read = contentsOf(readHistoryFile("-"));
            empty = contentsOf(readHistoryFile("-"));  // at its end now
        } catch (const SpinlogError &e) {
            empty = e.description();
        }
        writer.join();
        ::dup2(standardInput, STDIN_FILENO);
        ::close(standardInput);
        QCOMPARE(read, expected);
        QCOMPARE(empty, "標準入力: ファイルが空です。");
    }

    void broken_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");  // a part of it; "" when the file reads
        QFile sample(SPINLOG_SAMPLES "/cstimer_sessions.txt");
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray whole = sample.readAll();
        const QByteArray solve = "{\"session1\":[[[0,12000],\"\",\"\",1700000000]]}";
        QTest::newRow("not a history") << QByteArray("hello\n") << "どの形式";
        QTest::newRow("cut in the middle") << whole.left(200) << "1行 201文字目: ";
        QTest::newRow("a time of -1")
            << QByteArray(solve).replace("12000", "-1") << "ありえない時間 -1 ms";
        QTest::newRow("a time past any integer")
            << QByteArray(solve).replace("12000", "1e43") << "ありえない時間 1e+43 ms";
        QTest::newRow("an unknown penalty")
            << QByteArray(solve).replace("[0,", "[1000,") << "不明なペナルティ 1000";
        QTest::newRow("no date, as the oldest files")
            << QByteArray(solve).replace(",1700000000", "") << "";
        QTest::newRow("no comment either")
            << QByteArray(solve).replace(",\"\",1700000000", "") << "";
        QTest::newRow("a date that is no number")
            << QByteArray(solve).replace("1700000000", "\"x\"") << "数があるべき";
        // Refused when read, not later when the import asks for the comment.
        QTest::newRow("a comment with a wrong escape")
            << QByteArray(solve).replace("\"\",1700", "\"a\\qb\",1700") << "不正なエスケープ";
        QTest::newRow("a line end inside a comment")
            << QByteArray(solve).replace("\"\",1700", "\"a b\nc\",1700") << "制御文字";
        QTest::newRow("a comment never closed")
            << QByteArray(solve).left(solve.indexOf("\"\",1700") + 1) + "R U"
            << "閉じられない";
        QTest::newRow("text after the data") << solve + "x"
                                             << "余分な文字";
        QTest::newRow("nested 100000 deep")
            << "{\"x\":" + QByteArray(100000, '[') << "入れ子が深すぎます";
        QTest::newRow("a name of invalid UTF-8")
            << QByteArray(
                   "{\"session1\":[],\"properties\":{\"sessionData\":"
                   "\"{\\\"1\\\":{\\\"name\\\":\\\"\xff\xfe\\\"}}\"}}")
            << "";
        const QByteArray twisty =
            "Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,"
            "Comment\n";
        QTest::newRow("Twisty Timer, unknown penalty")
            << twisty + "\"333\";\"Normal\";\"12000\";\"1700000000000\";\"R\";\"5\";\"\""
            << "2行目: 不明なペナルティ「5」";
        QTest::newRow("Twisty Timer, separators in the quotes") << twisty + "\";\";\";\";\";\";\""
                                                                << "2行目: 項目が 3 個です";
        QTest::newRow("Twisty Timer, cut") << twisty + "\"333\";\"Normal\";\"12"
                                           << "2行目: 記録が途中で終わっています";
        QTest::newRow("Twisty Timer, a million one-character lines")
            << twisty + QByteArray(2'000'000, 'a').replace("aa", "a\n") << "2行目: 記録が途中";
        const QByteArray spinlog =
            "\x93\xfa\x8e\x9e,\x83^\x83"
            "C\x83v,1,2,3,4,5,6,7,8,9,10,11,"
            "12,\x95\xbd\x8b\xcf\r\n";
        QTest::newRow("Spinlog CSV, a field missing")
            << spinlog + "2023/11/14 22:13:20,3x3x3,1,2,3,4,5,6,7,8,9,10,11,12\r\n"
            << "2行目: 項目が 14 個です";
        QTest::newRow("Spinlog CSV, a time that is none")
            << spinlog + "2023/11/14 22:13:20,3x3x3,12.3x,-,-,-,-,-,-,-,-,-,-,-,-\r\n"
            << "2行目: 1回目の「12.3x」";
        QTest::newRow("Spinlog CSV, a million one-character lines")
            << spinlog + QByteArray(2'000'000, 'a').replace("aa", "a\n") << "2行目: 項目が 1 個";
        QTest::newRow("a million one-character lines")
            << QByteArray(2'000'000, 'a').replace("aa", "a\n") << "どの形式";
    }
    void broken()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QString failure;
        try {
            readHistoryBytes(content);
        } catch (const SpinlogError &e) {
            failure = e.description();
        }
        if (message.isEmpty())
            QCOMPARE(failure, QString());
        else
            QVERIFY2(failure.contains(message), qPrintable(failure));
    }

    // What is written reads back as it was: names in any script, every
    // penalty, the time as measured, the second of each solve, scrambles,
    // comments (quotes, line ends, any script) and phases.
    void writtenFileReadsBack()
    {
        const auto at = [](std::int64_t seconds, QString scramble = {}, QString comment = {},
                           std::vector<std::int64_t> splits = {}) {
            SolveDetails d;
            d.moment = seconds * 1000 + 999;  // the second it falls in
            d.scramble = scramble;
            d.comment = comment;
            d.splits = splits;
            return d;
        };
        const std::vector<CsTimerSession> sessions{
            {"3x3x3目隠し \"quoted\" \\",
             {{{6543, Penalty::None}, at(1700000000, "R U' F2", "line 1\nline \"2\" 日本")},
              {{1000, Penalty::PlusTwo}, at(1700000000, "", "", {4000, 6000})},
              {{900, Penalty::Dnf}, at(1700000001, "(1,0)/ (-3,2)/")}}},
            {"2x2x2", {{{352, Penalty::None}, at(1600000000)}}}};
        const QByteArray written = writeCsTimer(sessions);
        QVERIFY(written.startsWith("{\"session1\":"));  // as csTimer recognises its own
        QCOMPARE(contentsOf(readHistoryBytes(writeCsTimer({}))), "csTimer: ");
        QCOMPARE(contentsOf(readHistoryBytes(written)),
                 "csTimer: 3x3x3目隠し \"quoted\" \\[6543@1700000000{R U' F2|line 1\nline "
                 "\"2\" 日本|} 1000+@1700000000{||4000 6000} 900D@1700000001{(1,0)/ (-3,2)/||}] "
                 "2x2x2[352@1600000000]");
    }

    // A file of the oldest kind, its solves without a date: they take the
    // file's time, a millisecond apart in the file's order; the time keeps
    // its thousandths.
    void undatedSolvesTakeTheFilesTime()
    {
        const QByteArray file =
            "{\"session1\":[[[0,12345],\"R\",\"a\"],[[2000,9000],\"U\",\"\"]],"
            "\"session2\":[[[-1,8000],\"F\",\"\"]]}";
        const HistoryFile read = readHistoryBytes(file, 1'700'000'000'000);
        QCOMPARE(read.undated, 3);
        QStringList moments;
        for (const ImportedSession &session : read.sessions)
            for (const ImportedSolve &solve : session.solves)
                moments
                    << QString("%1:%2:%3").arg(solve.moment()).arg(solve.ms()).arg(solve.dated());
        QCOMPARE(moments.join(' '),
                 "1700000000000:12345:0 1700000000001:9000:0 "
                 "1700000000002:8000:0");
        QCOMPARE(solveDetails(read, read.sessions[0], read.sessions[0].solves[0]).comment, "a");
    }
};

SPINLOG_TEST(HistoryFilesTest)
#include "tst_history_files.moc"
