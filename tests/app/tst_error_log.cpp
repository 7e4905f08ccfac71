#include "app/encoding.h"
#include "app/error_log.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/test_main.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

QByteArray recordWith(const QByteArray &text, const char *date = "2007/05/01 21:03:09")
{
    return date + QByteArray(2, '\0') + text.leftJustified(kLogTextSize, ' ') + "\r\n";
}

}  // namespace

class TestErrorLog : public QObject {
    Q_OBJECT
private slots:
    void firstEntryMakesTheFile();
    void ringOfAThousandEntries();
    void headerCount();
    void unreadableHeaderStartsAgain();
    void longTextIsCutAtACharacterBoundary();
    void failureIsShownNotLogged();
    void unusableLogNeitherBlocksNorLeavesAFile();
};

void TestErrorLog::firstEntryMakesTheFile()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QVERIFY(Fun_LogWrite(world.program, "[mdlMain]-[Sub_Sound] 見つかりません"));
    QCOMPARE(folder.read("Err.log"),
             recordWith("00001") + recordWith(toCp932("[mdlMain]-[Sub_Sound] 見つかりません")));
    QVERIFY(world.prompts.boxes.empty());
}

void TestErrorLog::ringOfAThousandEntries()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    for (int i = 1; i <= 1000; ++i)
        QVERIFY(Fun_LogWrite(world.program, QString("entry %1").arg(i)));
    QCOMPARE(folder.read("Err.log").size(), 323323);
    QCOMPARE(logTextAt(folder, 1), QString("01000"));
    QCOMPARE(logTextAt(folder, 1001), QString("entry 1000"));

    world.clock.now = world.clock.now.addSecs(3600);
    QVERIFY(Fun_LogWrite(world.program, "entry 1001"));
    QCOMPARE(folder.read("Err.log").size(), 323323);
    QCOMPARE(logRecordAt(folder, 1), recordWith("00001", "2007/05/01 22:03:09"));
    QCOMPARE(logTextAt(folder, 2), QString("entry 1001"));
    QCOMPARE(logTextAt(folder, 3), QString("entry 2"));
    QVERIFY(Fun_LogWrite(world.program, "entry 1002"));
    QCOMPARE(logTextAt(folder, 3), QString("entry 1002"));
}

void TestErrorLog::headerCount()
{
    // clang-format off
    const std::pair<QByteArray, int> rows[] = {
        {"00005", 5}, {"00999", 999}, {"01000", 0}, {"99999", 0}, {" 1 2 ", 12},
        {"0001234", 12}, {"7abc", 7}, {"2.5", 2}, {"3.5", 4}, {"999.5", 0}, {"1e2", 100},
        {"9e999", 0}, {"&H10", 16}, {"&o17", 15}, {"abcde", 0}, {"\x82\xa0" "12", 0},
        {QByteArray(5, '\0'), 0},
        {"-0001", 0},  // a negative count would put the entry over the header
    };
    // clang-format on
    for (const auto &[text, count] : rows) QCOMPARE(logHeaderCount(recordWith(text)), count);
    // A short header record reads as far as it goes.
    QCOMPARE(logHeaderCount(QByteArray()), 0);
    QCOMPARE(logHeaderCount(QByteArray(21, '1')), 0);
    QCOMPARE(logHeaderCount(QByteArray(22, '7')), 7);
}

void TestErrorLog::unreadableHeaderStartsAgain()
{
    for (const QByteArray &header : {QByteArray("abcde"), QByteArray("-0001")}) {
        TempAppFolder folder(false);
        FakeWorld world(folder.path());
        folder.write("Err.log", recordWith(header) + recordWith("old").repeated(3));
        QVERIFY(Fun_LogWrite(world.program, "new"));
        QCOMPARE(folder.read("Err.log"),
                 recordWith("00001") + recordWith("new") + recordWith("old").repeated(2));
    }
}

void TestErrorLog::longTextIsCutAtACharacterBoundary()
{
    const QDateTime when(QDate(2007, 5, 1), QTime(21, 3, 9));
    // 1 + 2 x 200 bytes: the 150th two-byte character would end at byte 301.
    QCOMPARE(logRecord(when, "a" + QString(200, u'あ')),
             recordWith("a" + toCp932(QString(149, u'あ'))));
    QCOMPARE(logRecord(when, QString(400, u'x')), recordWith(QByteArray(300, 'x')));
    // Odd dates still fill exactly their 19 bytes.
    QCOMPARE(logRecord(QDateTime(QDate(12345, 1, 1), QTime(0, 0)), "x").size(), kLogRecordSize);
    QCOMPARE(logRecord(QDateTime(), "x"), recordWith("x", "                   "));
}

void TestErrorLog::failureIsShownNotLogged()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QVERIFY(QDir(folder.path()).mkdir("Err.log"));
    QVERIFY(!Fun_LogWrite(world.program, "lost"));
    world.program.reportError("保存エラー", "[frmMain]-[Sub_Save] ", "x");

    QCOMPARE(world.prompts.boxes.size(), std::size_t(3));
    QVERIFY(world.prompts.boxes[0].text.startsWith("Log出力エラー\r\n"));
    QVERIFY(world.prompts.boxes[0].text.size() > QString("Log出力エラー\r\n").size());
    QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
    QCOMPARE(world.prompts.boxes[1].text, QString("保存エラー\r\nx"));
    QVERIFY(world.prompts.boxes[2].text.startsWith("Log出力エラー\r\n"));
    QVERIFY(QFileInfo(folder.file("Err.log")).isDir());
}

void TestErrorLog::unusableLogNeitherBlocksNorLeavesAFile()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QCOMPARE(::mkfifo(QFile::encodeName(folder.file("Err.log")).constData(), 0600), 0);
    ::alarm(10);  // a log that blocks ends the test here
    QVERIFY(!Fun_LogWrite(world.program, "lost"));
    ::alarm(0);

    // A log this call would have made is not left behind, not even empty.
    QVERIFY(QFile::remove(folder.file("Err.log")));
    {
        FileSizeLimit full(0);
        QVERIFY(!Fun_LogWrite(world.program, "lost"));
    }
    QVERIFY(QDir(folder.path()).isEmpty());
    QCOMPARE(world.prompts.boxes.size(), std::size_t(2));  // one "Log出力エラー" each
}

SPINLOG_TEST(TestErrorLog)
#include "tst_error_log.moc"
