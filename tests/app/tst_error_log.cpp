// Err.log: its records, the ring of 1000 entries behind the header, the
// header's count as an earlier copy may have left it, and failures that must
// neither block nor leave a file behind.

#include "base/encoding.h"
#include "base/error_log.h"
#include "base/system_calls.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/file_size_limit.h"
#include "support/test_main.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace spinlog;
using namespace spinlog::test;

static QByteArray recordWith(const QByteArray &text, const char *date = "2007/05/01 21:03:09")
{
    return date + QByteArray(2, '\0') + text.leftJustified(kLogTextSize, ' ') + "\r\n";
}

class TestErrorLog : public QObject {
    Q_OBJECT
private slots:
    void ringOfAThousandEntries()
    {
        TempAppFolder folder(false);
        FakeWorld world(folder.path());
        // 1 + 2 x 200 bytes: the 150th two-byte character would end at byte 301.
        QVERIFY(world.program.log.write("a" + QString(200, u'あ')));
        QCOMPARE(folder.read("Err.log"),
                 recordWith("00001") + recordWith("a" + toCp932(QString(149, u'あ'))));
        for (int i = 2; i <= 1000; ++i)
            QVERIFY(world.program.log.write(QString("entry %1").arg(i)));
        QCOMPARE(folder.read("Err.log").size(), 323323);
        QCOMPARE(logTextAt(folder, 1) + ' ' + logTextAt(folder, 1001), "01000 entry 1000");

        world.clock.now = world.clock.now.addSecs(3600);
        QVERIFY(world.program.log.write("entry 1001"));
        QCOMPARE(folder.read("Err.log").size(), 323323);
        QCOMPARE(logRecordAt(folder, 1), recordWith("00001", "2007/05/01 22:03:09"));
        QCOMPARE(logTextAt(folder, 2) + ' ' + logTextAt(folder, 3), "entry 1001 entry 2");
        QVERIFY(world.program.log.write("entry 1002"));
        QCOMPARE(logTextAt(folder, 3), QString("entry 1002"));
    }

    void headerCount_data()
    {
        QTest::addColumn<QByteArray>("header");  // the first record, or as much as there is
        QTest::addColumn<int>("count");
        // clang-format off
        const std::pair<const char *, int> rows[] = {
            {"00999", 999}, {"01000", 0}, {"-0001", 0}, {" 1 2 ", 12}, {"0001234", 12}, {"7abc", 7},
            {"3.5", 4}, {"999.5", 0}, {"1e2", 100}, {"&H10", 16}, {"abcde", 0}, {"\x82\xa0" "12", 0}};
        // clang-format on
        for (const auto &[text, count] : rows) QTest::newRow(text) << recordWith(text) << count;
        QTest::newRow("cut before the count") << QByteArray(21, '1') << 0;
        QTest::newRow("cut after one digit") << QByteArray(22, '7') << 7;
    }
    void headerCount()
    {
        QFETCH(QByteArray, header);
        QTEST(logHeaderCount(header), "count");
    }

    // A log that cannot be written is a box of its own, also after a report;
    // it neither blocks nor leaves a file this call would have made, nor
    // overwrites the log it cannot read.
    void unusableLog()
    {
        TempAppFolder folder(false);
        FakeWorld world(folder.path());
        QVERIFY(QDir(folder.path()).mkdir("Err.log"));
        world.program.reporter.report("保存エラー", "[frmMain]-[Sub_Save] ", "x");
        QVERIFY(QDir(folder.path()).rmdir("Err.log"));
        QCOMPARE(::mkfifo(QFile::encodeName(folder.file("Err.log")).constData(), 0600), 0);
        ::alarm(10);  // a log that blocks ends the test here
        QVERIFY(!world.program.log.write("lost"));
        ::alarm(0);
        QVERIFY(QFile::remove(folder.file("Err.log")));
        {
            FileSizeLimit full(0);
            QVERIFY(!world.program.log.write("lost"));
        }
        QVERIFY(QDir(folder.path()).isEmpty());
        // A link at the log's place, to a file of someone else's.
        TempAppFolder elsewhere(false);
        elsewhere.write("notes.txt", "my notes");
        QVERIFY(QFile::link(elsewhere.file("notes.txt"), folder.file("Err.log")));
        QVERIFY(!world.program.log.write("lost"));
        QCOMPARE(elsewhere.read("notes.txt"), "my notes");
        QVERIFY(QFile::remove(folder.file("Err.log")));
        const QStringList boxes = world.prompts.texts();
        QCOMPARE(boxes.size(), 5);
        QCOMPARE(boxes[0], QString("保存エラー\r\nx"));
        QVERIFY(boxes[1].startsWith("Log出力エラー\r\n") && boxes[1] != "Log出力エラー\r\n");

        // A header that cannot be read (EIO) fails the write: the ring must not
        // start again at its first entry over the older ones.
        QVERIFY(world.program.log.write("kept"));
        const QByteArray kept = folder.read("Err.log");
        const SystemCalls real = systemCalls();
        systemCalls().pread = [](int, void *, size_t, off_t) -> ssize_t { return errno = EIO, -1; };
        const bool written = world.program.log.write("lost");
        systemCalls() = real;
        QVERIFY(!written);
        QCOMPARE(folder.read("Err.log"), kept);
        QCOMPARE(world.prompts.texts().last(),
                 "Log出力エラー\r\n" + QString::fromLocal8Bit(std::strerror(EIO)));
    }
};

SPINLOG_TEST(TestErrorLog)
#include "tst_error_log.moc"
