#include "app/ini_file.h"
#include "app/program.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void readsLikeTheProfileReader_data();
    void readsLikeTheProfileReader();
    void writeKeepsEveryOtherByte_data();
    void writeKeepsEveryOtherByte();
    void writeThenReadGivesTheValueBack();
    void roundTripThroughTheApplicationFolder();
    void unwritableSettingsAreLeftAlone();
};

void TestIniFile::readsLikeTheProfileReader_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray ini(
        "; settings\r\n[Main]\r\nLeft=4012.5\r\nTop=\r\nDefType\r\n"
        "\r\n[Option]\r\n  CntDownTm  =  20  \r\nAlarmTm=\"45\"\r\n");
    QTest::newRow("value") << ini << "Main"
                           << "Left"
                           << "4012.5";
    QTest::newRow("empty value is not the default") << ini << "Main"
                                                    << "Top"
                                                    << "";
    QTest::newRow("key without equals sign") << ini << "Main"
                                             << "DefType"
                                             << "dflt";
    QTest::newRow("missing key") << ini << "Main"
                                 << "Height"
                                 << "dflt";
    QTest::newRow("missing section") << ini << "View"
                                     << "Left"
                                     << "dflt";
    QTest::newRow("key of another section") << ini << "Option"
                                            << "Left"
                                            << "dflt";
    QTest::newRow("blanks around name and value") << ini << "Option"
                                                  << "CntDownTm"
                                                  << "20";
    QTest::newRow("names in any case") << ini << "oPTION"
                                       << "cntdowntm"
                                       << "20";
    QTest::newRow("quotes removed") << ini << "Option"
                                    << "AlarmTm"
                                    << "45";
    QTest::newRow("single quotes") << QByteArray("[A]\nk= 'x y' \n") << "A"
                                   << "k"
                                   << "x y";
    QTest::newRow("unmatched quotes kept") << QByteArray("[A]\nk=\"x'\n") << "A"
                                           << "k"
                                           << "\"x'";
    QTest::newRow("lone quote kept") << QByteArray("[A]\nk=\"\n") << "A"
                                     << "k"
                                     << "\"";
    QTest::newRow("empty quotes") << QByteArray("[A]\nk=\"\"\n") << "A"
                                  << "k"
                                  << "";
    QTest::newRow("first of two sections") << QByteArray("[A]\nk=1\n[A]\nk=2\n") << "A"
                                           << "k"
                                           << "1";
    QTest::newRow("key in second copy of section") << QByteArray("[A]\nj=1\n[A]\nk=2\n") << "A"
                                                   << "k"
                                                   << "dflt";
    QTest::newRow("LF endings") << QByteArray("[A]\nk=1\nj=2") << "A"
                                << "j"
                                << "2";
    QTest::newRow("CR before LF is not value") << QByteArray("[A]\r\nk=1\r\n") << "A"
                                               << "k"
                                               << "1";
    QTest::newRow("nothing after last bracket") << QByteArray("[A] x\nk=1\n") << "A"
                                                << "k"
                                                << "1";
    QTest::newRow("NUL ends the value") << QByteArray("[A]\nk=ab\0cd\n", 13) << "A"
                                        << "k"
                                        << "ab";
    QTest::newRow("code page 932 value") << QByteArray("[A]\nk=\x82\xa0\x83\x5c\n") << "A"
                                         << "k"
                                         << "あソ";
    // 0x81 0x5D is one character; its second byte is no closing bracket, so
    // the line is an entry and Left still belongs to Main.
    QTest::newRow("bracket inside a two-byte character")
        << QByteArray("[Main]\n[X\x81\x5d\nLeft=1\n") << "Main"
        << "Left"
        << "1";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[A]\r\nk=1\r\n") << "A"
                                     << "k"
                                     << "1";
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "k"
                                << "dflt";
    QTest::newRow("garbage") << QByteArray("\x81\x81[[]]==\r\r\n\x81") << "A"
                             << "k"
                             << "dflt";
    QTest::newRow("cut at 1023 bytes") << ("[A]\nk=" + QByteArray(2000, 'x') + "\n") << "A"
                                       << "k" << QString(1023, u'x');
    QTest::newRow("cut before a split character")
        << ("[A]\nk=" + QByteArray("\x82\xa0").repeated(600) + "\n") << "A"
        << "k" << QString(511, u'あ');
}

void TestIniFile::readsLikeTheProfileReader()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(iniReadBytes(content, section, key, QStringLiteral("dflt")), expected);
}

void TestIniFile::writeKeepsEveryOtherByte_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << false << "Main"
                              << "Left"
                              << "4000" << QByteArray("[Main]\r\nLeft=4000\r\n");
    QTest::newRow("empty file") << QByteArray() << true << "Main"
                                << "Left"
                                << "4000" << QByteArray("[Main]\r\nLeft=4000\r\n");
    QTest::newRow("replaced in place")
        << QByteArray("; c \r\n[Main]\r\n  Left = 1  \r\nTop=2\r\n\r\n[View]\r\nLeft=3\r\n") << true
        << "Main"
        << "Left"
        << "4012.5"
        << QByteArray("; c \r\n[Main]\r\nLeft=4012.5\r\nTop=2\r\n\r\n[View]\r\nLeft=3\r\n");
    QTest::newRow("name keeps its spelling") << QByteArray("[main]\r\nLEFT=1\r\n") << true << "Main"
                                             << "Left"
                                             << "2" << QByteArray("[main]\r\nLEFT=2\r\n");
    QTest::newRow("key without value gets one") << QByteArray("[A]\nk\nj=1\n") << true << "A"
                                                << "k"
                                                << "5" << QByteArray("[A]\nk=5\nj=1\n");
    QTest::newRow("new key ahead of blank lines")
        << QByteArray("[Main]\r\nLeft=1\r\n\r\n[Option]\r\nA=1\r\n") << true << "Main"
        << "Top"
        << "5" << QByteArray("[Main]\r\nLeft=1\r\nTop=5\r\n\r\n[Option]\r\nA=1\r\n");
    QTest::newRow("new key under a bare header")
        << QByteArray("[Main]\r\n[View]\r\n") << true << "Main"
        << "Top"
        << "5" << QByteArray("[Main]\r\nTop=5\r\n[View]\r\n");
    QTest::newRow("new section follows LF file")
        << QByteArray("[Main]\nLeft=1\n") << true << "Option"
        << "A"
        << "2" << QByteArray("[Main]\nLeft=1\n[Option]\nA=2\n");
    QTest::newRow("last line without ending, new key")
        << QByteArray("[Main]\nLeft=1") << true << "Main"
        << "Top"
        << "2" << QByteArray("[Main]\nLeft=1\nTop=2\n");
    QTest::newRow("last line without ending, new section")
        << QByteArray("[Main]\r\nLeft=1") << true << "View"
        << "Top"
        << "2" << QByteArray("[Main]\r\nLeft=1\r\n[View]\r\nTop=2\r\n");
    QTest::newRow("last line without ending, replaced")
        << QByteArray("[Main]\r\nLeft=1") << true << "Main"
        << "Left"
        << "2" << QByteArray("[Main]\r\nLeft=2");
    QTest::newRow("mixed endings kept")
        << QByteArray("[Main]\r\nLeft=1\nTop=2\r\n") << true << "Main"
        << "Top"
        << "3" << QByteArray("[Main]\r\nLeft=1\nTop=3\r\n");
    QTest::newRow("two-byte text elsewhere untouched")
        << QByteArray("[\x83\x5c]\r\n\x95\x5c=\x81\x5b\r\n[Main]\r\nLeft=1\r\n") << true << "Main"
        << "Left"
        << "7" << QByteArray("[\x83\x5c]\r\n\x95\x5c=\x81\x5b\r\n[Main]\r\nLeft=7\r\n");
    QTest::newRow("a line break cannot add lines")
        << QByteArray("[Main]\r\nLeft=1\r\n") << true << "Main"
        << "Left"
        << "2\r\n[X]\r\ny=1" << QByteArray("[Main]\r\nLeft=2\r\n");
}

void TestIniFile::writeKeepsEveryOtherByte()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, exists);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QCOMPARE(iniWriteBytes(before, exists, section, key, value), after);
}

// Whatever the file holds, a written value reads back and every other key
// keeps what it read before.
void TestIniFile::writeThenReadGivesTheValueBack()
{
    const QList<QByteArray> pieces = {"[Main]", "[main]", "[View]", "Left", "left",    "Top",
                                      "=",      "\r\n",   "\n",     "\r",   " ",       "\"",
                                      "1",      "\x81",   "]",      "[",    "\x82\xa0"};
    const QStringList sections = {"Main", "View", "Option"};
    const QStringList keys = {"Left", "Top"};
    QRandomGenerator random(20070525);
    for (int round = 0; round < 3000; ++round) {
        QByteArray content;
        const int count = random.bounded(30);
        for (int i = 0; i < count; ++i) content += pieces.at(random.bounded(pieces.size()));
        const QString section = sections.at(random.bounded(sections.size()));
        const QString key = keys.at(random.bounded(keys.size()));
        const QString value = QString::number(random.bounded(100000));

        const QByteArray written = iniWriteBytes(content, true, section, key, value);
        QCOMPARE(iniReadBytes(written, section, key, "dflt"), value);
        for (const QString &s : sections) {
            for (const QString &k : keys) {
                if (s == section && k == key)
                    continue;
                if (iniReadBytes(content, s, k, "dflt") != iniReadBytes(written, s, k, "dflt"))
                    QFAIL(qPrintable(
                        QString("%1/%2 changed in %3").arg(s, k, QString(content.toHex()))));
            }
        }
    }
}

void TestIniFile::roundTripThroughTheApplicationFolder()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QCOMPARE(Fun_IniRead(world.program, "Main", "Left", "4000"), QString("4000"));
    QVERIFY(!QFile::exists(folder.file("Spinlog.ini")));

    Fun_IniWrite(world.program, "Main", "Top", "5000");
    Fun_IniWrite(world.program, "Main", "Left", "4012.5");
    Fun_IniWrite(world.program, "Main", "DefType", "-1");
    Fun_IniWrite(world.program, "Main", "Top", "5015");
    QCOMPARE(folder.read("Spinlog.ini"),
             QByteArray("[Main]\r\nTop=5015\r\nLeft=4012.5\r\nDefType=-1\r\n"));
    QCOMPARE(Fun_IniRead(world.program, "Main", "Left", "4000"), QString("4012.5"));

    // The replacement keeps the file's permissions.
    QFile::setPermissions(folder.file("Spinlog.ini"), QFile::ReadOwner | QFile::WriteOwner);
    Fun_IniWrite(world.program, "Main", "Left", "1");
    const auto modeBits = QFile::permissions(folder.file("Spinlog.ini")) & 0x7077;
    QCOMPARE(modeBits, QFile::ReadOwner | QFile::WriteOwner);
}

// A write that cannot be done is lost quietly and never damages what exists.
// Tests run as root, so read-only situations are made from the file's mode and
// from things standing where files should be.
void TestIniFile::unwritableSettingsAreLeftAlone()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());

    const QByteArray original("[Main]\r\nLeft=1\r\n");
    folder.write("Spinlog.ini", original);
    QFile::setPermissions(folder.file("Spinlog.ini"), QFile::ReadOwner | QFile::ReadGroup);
    Fun_IniWrite(world.program, "Main", "Left", "2");
    QCOMPARE(folder.read("Spinlog.ini"), original);
    QCOMPARE(Fun_IniRead(world.program, "Main", "Left", "0"), QString("1"));
    QFile::setPermissions(folder.file("Spinlog.ini"), QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(QFile::remove(folder.file("Spinlog.ini")));

    QVERIFY(QDir(folder.path()).mkdir("Spinlog.ini"));
    Fun_IniWrite(world.program, "Main", "Left", "2");
    QVERIFY(QFileInfo(folder.file("Spinlog.ini")).isDir());
    QCOMPARE(Fun_IniRead(world.program, "Main", "Left", "0"), QString("0"));

    // The application folder is a file: nothing can be created inside it.
    folder.write("notafolder", "x");
    FakeWorld nowhere(folder.file("notafolder"));
    Fun_IniWrite(nowhere.program, "Main", "Left", "2");
    QCOMPARE(folder.read("notafolder"), QByteArray("x"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 2);
}

SPINLOG_TEST(TestIniFile)
#include "tst_ini_file.moc"
