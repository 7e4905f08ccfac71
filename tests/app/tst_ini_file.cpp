#include "app/ini_file.h"
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
    void readsLikeTheProfileReader();
    void writeKeepsEveryOtherByte();
    void writeThenReadGivesTheValueBack();
    void fileOnDisk();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
};

void TestIniFile::readsLikeTheProfileReader()
{
    const QByteArray ini(
        "; c\r\n[Main]\r\nLeft=4012.5\r\nTop=\r\nDefType\r\n\r\n[Option]\r\n"
        "  CntDownTm  =  20  \r\nAlarmTm=\"45\"\r\nBest='x\"\r\n");
    const struct {
        QByteArray content;
        const char *section, *key, *expected;
    } rows[] = {
        {ini, "Main", "Left", "4012.5"},
        {ini, "Main", "Top", ""},  // an empty value is not the default
        {ini, "Main", "DefType", "dflt"},
        {ini, "Main", "Height", "dflt"},
        {ini, "View", "Left", "dflt"},
        {ini, "Option", "Left", "dflt"},
        {ini, "oPTION", "cntdowntm", "20"},
        {ini, "Option", "AlarmTm", "45"},
        {ini, "Option", "Best", "'x\""},
        {"[A]\nk=1\n[A]\nk=2\nj=3", "A", "k", "1"},
        {"[A]\nk=1\n[A]\nk=2\nj=3", "A", "j", "dflt"},
        {QByteArray("[A]\nk=ab\0cd\n", 13), "A", "k", "ab"},
        {"\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "1"},
        {"\x81\x81[[]]==\r\r\n\x81", "A", "k", "dflt"},
        {"[A]\nk=\x82\xa0\x83\x5c\n", "A", "k", "あソ"},
        // 0x81 0x5D is one character, not a closing bracket: Left stays in Main.
        {"[Main]\n[X\x81\x5d\nLeft=1\n", "Main", "Left", "1"},
    };
    for (const auto &row : rows)
        QCOMPARE(iniReadBytes(row.content, row.section, row.key, "dflt"), QString(row.expected));

    QCOMPARE(iniReadBytes("[A]\nk=" + QByteArray(2000, 'x'), "A", "k", ""), QString(1023, 'x'));
    // 600 two-byte characters: the cut falls before the one that would split.
    QCOMPARE(iniReadBytes("[A]\nk=" + QByteArray("\x82\xa0").repeated(600), "A", "k", ""),
             QString(511, u'あ'));
}

void TestIniFile::writeKeepsEveryOtherByte()
{
    const struct {
        QByteArray before;
        const char *section, *key, *value;
        QByteArray after;
    } rows[] = {
        {"", "Main", "Left", "4000", "[Main]\r\nLeft=4000\r\n"},
        {"; c \r\n[Main]\r\n  Left = 1  \r\nTop=2\r\n\r\n[View]\r\nLeft=3\r\n", "Main", "Left",
         "4012.5", "; c \r\n[Main]\r\nLeft=4012.5\r\nTop=2\r\n\r\n[View]\r\nLeft=3\r\n"},
        {"[main]\r\nLEFT=1\r\n", "Main", "Left", "2", "[main]\r\nLEFT=2\r\n"},
        {"[Main]\r\nLeft=1\r\n\r\n[Option]\r\n", "Main", "Top", "5",
         "[Main]\r\nLeft=1\r\nTop=5\r\n\r\n[Option]\r\n"},
        {"[Main]\nLeft=1\n", "Option", "A", "2", "[Main]\nLeft=1\n[Option]\nA=2\n"},
        {"[Main]\nLeft=1", "Main", "Top", "2", "[Main]\nLeft=1\nTop=2\n"},
        {"[Main]\r\nLeft=1", "Main", "Left", "2", "[Main]\r\nLeft=2"},
        {"[Main]\r\nLeft=1\nTop=2\r\n", "Main", "Top", "3", "[Main]\r\nLeft=1\nTop=3\r\n"},
        {"[\x83\x5c]\r\n\x95\x5c=\x81\x5b\r\n[Main]\r\nLeft=1\r\n", "Main", "Left", "7",
         "[\x83\x5c]\r\n\x95\x5c=\x81\x5b\r\n[Main]\r\nLeft=7\r\n"},
        {"[Main]\r\nLeft=1\r\n", "Main", "Left", "2\r\n[X]\r\ny=1", "[Main]\r\nLeft=2\r\n"},
    };
    for (const auto &row : rows)
        QCOMPARE(iniWriteBytes(row.before, true, row.section, row.key, row.value), row.after);
    // Found by fuzzing: a stray lead byte before "=" must not swallow it, or
    // the value just written could not be read back.
    const QByteArray stray = iniWriteBytes("[main]\nleft\x99\n", true, "Main", "Left", "4012.5");
    QCOMPARE(iniReadBytes(stray, "Main", "Left", "dflt"), QStringLiteral("4012.5"));
    QCOMPARE(iniWriteBytes("[Gone]\r\n", false, "Main", "Left", "1"),
             QByteArray("[Main]\r\nLeft=1\r\n"));
}

// Whatever the file holds, a written value reads back and every other key
// reads as it did before.
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
        for (int i = random.bounded(30); i > 0; --i)
            content += pieces.at(random.bounded(pieces.size()));
        const QString section = sections.at(random.bounded(sections.size()));
        const QString key = keys.at(random.bounded(keys.size()));
        const QString value = QString::number(random.bounded(100000));
        const QByteArray written = iniWriteBytes(content, true, section, key, value);
        QCOMPARE(iniReadBytes(written, section, key, "dflt"), value);
        for (const QString &s : sections) {
            for (const QString &k : keys) {
                if ((s != section || k != key) &&
                    iniReadBytes(content, s, k, "dflt") != iniReadBytes(written, s, k, "dflt"))
                    QFAIL(qPrintable(s + "/" + k + " changed in " + content.toHex()));
            }
        }
    }
}

// A write that cannot be done is lost quietly and never damages what exists.
// Tests run as root, so read-only situations come from the file's mode and
// from things standing where files should be.
void TestIniFile::fileOnDisk()
{
    TempAppFolder folder(false);
    const QString ini = folder.file("Spinlog.ini");
    QCOMPARE(iniRead(ini, "Main", "Left", "4000"), QString("4000"));
    iniWrite(ini, "Main", "Top", "5000");
    iniWrite(ini, "Main", "Left", "4012.5");
    iniWrite(ini, "Main", "Top", "5015");
    QCOMPARE(folder.read("Spinlog.ini"), QByteArray("[Main]\r\nTop=5015\r\nLeft=4012.5\r\n"));
    QCOMPARE(iniRead(ini, "Main", "Left", "4000"), QString("4012.5"));

    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    iniWrite(ini, "Main", "Left", "1");
    QCOMPARE(QFile::permissions(ini) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup);
    iniWrite(ini, "Main", "Left", "2");
    QCOMPARE(iniRead(ini, "Main", "Left", "0"), QString("1"));
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);

    QVERIFY(QFile::remove(ini) && QDir(folder.path()).mkdir("Spinlog.ini"));
    iniWrite(ini, "Main", "Left", "2");
    QVERIFY(QFileInfo(ini).isDir());
    QCOMPARE(iniRead(ini, "Main", "Left", "0"), QString("0"));

    folder.write("notafolder", "x");
    iniWrite(folder.file("notafolder") + "/Spinlog.ini", "Main", "Left", "2");
    QCOMPARE(folder.read("notafolder"), QByteArray("x"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 2);
}

void TestIniFile::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<QByteArray>("before");  // null: no file yet
    QTest::addColumn<int>("room");           // the size a file may grow to
    const QByteArray ini("[Option]\r\nCntDownTm=15\r\nAlarmTm=30\r\n");
    QTest::newRow("nothing written") << ini << 0;
    QTest::newRow("part written") << ini << 20;
    QTest::newRow("no file yet") << QByteArray() << 20;
}

// Tests run as root, so the full disk is a file size limit.
void TestIniFile::fullDiskKeepsTheOldFile()
{
    QFETCH(QByteArray, before);
    QFETCH(int, room);
    TempAppFolder folder(false);
    if (!before.isNull())
        folder.write("Spinlog.ini", before);
    const QStringList entries =
        QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    {
        FileSizeLimit full(room);
        iniWrite(folder.file("Spinlog.ini"), "Option", "WorstColor", "8421631");
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), entries);
    QCOMPARE(folder.read("Spinlog.ini"), before.isNull() ? QByteArray() : before);
}

SPINLOG_TEST(TestIniFile)
#include "tst_ini_file.moc"
