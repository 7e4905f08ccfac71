#include "app/encoding.h"
#include "app/error_log.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

QByteArray headerWith(const QByteArray &text)
{
    return QByteArray("2007/05/01 21:03:09") + QByteArray(2, '\0') +
           text.leftJustified(kLogTextSize, ' ') + "\r\n";
}

}  // namespace

class TestErrorLog : public QObject {
    Q_OBJECT
private slots:
    void firstEntryMakesTheFile();
    void ringOfAThousandEntries();
    void headerCount_data();
    void headerCount();
    void unreadableHeaderStartsAgain();
    void longTextIsCutAtACharacterBoundary();
    void failureIsShownNotLogged();
};

void TestErrorLog::firstEntryMakesTheFile()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QVERIFY(Fun_LogWrite(world.program, "[mdlMain]-[Sub_Sound] 見つかりません"));

    const QByteArray log = folder.read("Err.log");
    QCOMPARE(log.size(), 646);
    QCOMPARE(log.left(kLogRecordSize), headerWith("00001"));
    QCOMPARE(log.mid(kLogRecordSize), headerWith(toCp932("[mdlMain]-[Sub_Sound] 見つかりません")));
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
    QCOMPARE(logTextAt(folder, 2), QString("entry 1"));
    QCOMPARE(logTextAt(folder, 1001), QString("entry 1000"));

    world.clock.now = world.clock.now.addSecs(3600);
    QVERIFY(Fun_LogWrite(world.program, "entry 1001"));
    const QByteArray log = folder.read("Err.log");
    QCOMPARE(log.size(), 323323);
    QCOMPARE(log.left(kLogRecordSize), headerWith("00001").replace(0, 19, "2007/05/01 22:03:09"));
    QCOMPARE(logTextAt(folder, 2), QString("entry 1001"));
    QCOMPARE(logTextAt(folder, 3), QString("entry 2"));
    QCOMPARE(logTextAt(folder, 1001), QString("entry 1000"));

    QVERIFY(Fun_LogWrite(world.program, "entry 1002"));
    QCOMPARE(logTextAt(folder, 1), QString("00002"));
    QCOMPARE(logTextAt(folder, 3), QString("entry 1002"));
}

void TestErrorLog::headerCount_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("counter") << QByteArray("00005") << 5;
    QTest::newRow("last") << QByteArray("00999") << 999;
    QTest::newRow("full ring restarts") << QByteArray("01000") << 0;
    QTest::newRow("beyond") << QByteArray("99999") << 0;
    QTest::newRow("blanks skipped") << QByteArray(" 1 2 ") << 12;
    QTest::newRow("only five characters") << QByteArray("0001234") << 12;
    QTest::newRow("trailing text") << QByteArray("7abc") << 7;
    QTest::newRow("halves to even") << QByteArray("2.5") << 2;
    QTest::newRow("rounded") << QByteArray("3.5") << 4;
    QTest::newRow("rounds to 1000") << QByteArray("999.5") << 0;
    QTest::newRow("exponent") << QByteArray("1e2") << 100;
    QTest::newRow("huge exponent") << QByteArray("9e999") << 0;
    QTest::newRow("hexadecimal") << QByteArray("&H10") << 16;
    QTest::newRow("octal") << QByteArray("&o17") << 15;
    QTest::newRow("negative would hit the header") << QByteArray("-0001") << 0;
    QTest::newRow("letters") << QByteArray("abcde") << 0;
    QTest::newRow("two-byte text") << QByteArray(
                                          "\x82\xa0"
                                          "12")
                                   << 0;
    QTest::newRow("zero bytes") << QByteArray(5, '\0') << 0;
}

void TestErrorLog::headerCount()
{
    QFETCH(QByteArray, text);
    QFETCH(int, count);
    QCOMPARE(logHeaderCount(headerWith(text)), count);
    // A short or empty header record reads as far as it goes.
    if (count > 0 && text.size() == 5)
        QCOMPARE(logHeaderCount(headerWith(text).left(26)), count);
}

void TestErrorLog::unreadableHeaderStartsAgain()
{
    for (const QByteArray &header : {QByteArray("abcde"), QByteArray("-0001")}) {
        TempAppFolder folder(false);
        FakeWorld world(folder.path());
        QByteArray log = headerWith(header);
        for (int i = 0; i < 3; ++i) log += headerWith("old");
        folder.write("Err.log", log);

        QVERIFY(Fun_LogWrite(world.program, "new"));
        QCOMPARE(folder.read("Err.log").size(), 4 * kLogRecordSize);
        QCOMPARE(logTextAt(folder, 1), QString("00001"));
        QCOMPARE(logTextAt(folder, 2), QString("new"));
        QCOMPARE(logTextAt(folder, 3), QString("old"));
    }
    QCOMPARE(logHeaderCount(QByteArray()), 0);
    QCOMPARE(logHeaderCount(QByteArray(21, '1')), 0);
    QCOMPARE(logHeaderCount(QByteArray(22, '7')), 7);
}

void TestErrorLog::longTextIsCutAtACharacterBoundary()
{
    // 1 + 2 x 200 bytes: the 150th two-byte character would end at byte 301.
    const QString text = "a" + QString(200, u'あ');
    const QByteArray record = logRecord(QDateTime(QDate(2007, 5, 1), QTime(21, 3, 9)), text);
    QCOMPARE(record.size(), kLogRecordSize);
    QCOMPARE(record.mid(21, kLogTextSize), "a" + toCp932(QString(149, u'あ')) + " ");
    QVERIFY(record.endsWith("\r\n"));

    const QByteArray ascii =
        logRecord(QDateTime(QDate(2007, 5, 1), QTime(21, 3, 9)), QString(400, u'x') + "?");
    QCOMPARE(ascii.mid(21, kLogTextSize), QByteArray(kLogTextSize, 'x'));
    QCOMPARE(ascii.size(), kLogRecordSize);

    // A date beyond four digits of year still fills exactly its 19 bytes.
    const QByteArray odd = logRecord(QDateTime(QDate(12345, 1, 1), QTime(0, 0)), "x");
    QCOMPARE(odd.size(), kLogRecordSize);
    QCOMPARE(odd.mid(19, 2), QByteArray(2, '\0'));
    QCOMPARE(logRecord(QDateTime(), "x").size(), kLogRecordSize);
}

void TestErrorLog::failureIsShownNotLogged()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QVERIFY(QDir(folder.path()).mkdir("Err.log"));
    QVERIFY(!Fun_LogWrite(world.program, "lost"));
    QCOMPARE(world.prompts.boxes.size(), std::size_t(1));
    QVERIFY(world.prompts.boxes[0].text.startsWith("Log出力エラー\r\n"));
    QVERIFY(world.prompts.boxes[0].text.size() > int(strlen("Log出力エラー\r\n")));
    QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
    QCOMPARE(world.prompts.boxes[0].buttons, Buttons::Ok);

    // A failure reported elsewhere while the log cannot be written shows both
    // boxes and nothing else.
    world.program.reportError("保存エラー", "[frmMain]-[Sub_Save] ", "x");
    QCOMPARE(world.prompts.boxes.size(), std::size_t(3));
    QCOMPARE(world.prompts.boxes[1].text, QString("保存エラー\r\nx"));
    QVERIFY(world.prompts.boxes[2].text.startsWith("Log出力エラー\r\n"));
    QVERIFY(QFileInfo(folder.file("Err.log")).isDir());
}

SPINLOG_TEST(TestErrorLog)
#include "tst_error_log.moc"
