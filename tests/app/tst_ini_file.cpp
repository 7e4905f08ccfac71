// Spinlog.ini read and written as the profile functions always did, each
// setting under its own section, and a write that cannot be done never
// damaging what exists.

#include "base/ini_file.h"
#include "base/settings.h"
#include "base/system_calls.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <unistd.h>
#include <QDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace spinlog;
using namespace spinlog::test;

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");  // Section/Key
        QTest::addColumn<QString>("value");
        const QByteArray ini(
            "; c\r\n[Main]\r\nLeft=4012.5\r\nDefType\r\n\r\n[Option]\r\n"
            "  CntDownTm  =  20  \r\nAlarmTm=\"45\"\r\nBest='x\"\r\n");
        // clang-format off
        const std::tuple<const char *, QByteArray, const char *, QString> rows[] = {
            {"plain", ini, "Main/Left", "4012.5"}, {"no =", ini, "Main/DefType", "dflt"},
            {"another section's", ini, "Option/Left", "dflt"},
            {"any case, blanks", ini, "oPTION/cntdowntm", "20"},
            {"quoted", ini, "Option/AlarmTm", "45"}, {"unmatched", ini, "Option/Best", "'x\""},
            {"first of two sections", "[A]\nk=1\n[A]\nk=2\nj=3", "A/j", "dflt"},
            {"UTF-8 mark", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A/k", "1"},
            {"code page 932", "[A]\nk=\x82\xa0\x83\x5c\n", "A/k", "あソ"},
            {"trail byte ]", "[Main]\n[X\x81\x5d\nLeft=1\n", "Main/Left", "1"},
            {"1023 bytes", "[A]\nk=" + QByteArray(2000, 'x'), "A/k", QString(1023, 'x')},
            {"no split character", "[A]\nk=" + QByteArray("\x82\xa0").repeated(600), "A/k",
             QString(511, u'あ')}};
        // clang-format on
        for (const auto &[name, content, key, value] : rows)
            QTest::newRow(name) << content << QString(key) << value;
    }
    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QTEST(iniReadBytes(content, key.section('/', 0, 0), key.section('/', 1), "dflt"), "value");
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");  // Section/Key
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        // clang-format off
        const std::tuple<const char *, QByteArray, const char *, const char *, QByteArray> rows[] = {
            {"new file", "", "Main/Left", "4000", "[Main]\r\nLeft=4000\r\n"},
            {"in place", "; c \r\n[main]\r\n  LEFT = 1  \r\nTop=2\r\n\r\n[View]\r\nLeft=3\r\n",
             "Main/Left", "4012.5", "; c \r\n[main]\r\nLEFT=4012.5\r\nTop=2\r\n\r\n[View]\r\nLeft=3\r\n"},
            {"before the blank line", "[Main]\r\nLeft=1\r\n\r\n[Option]\r\n", "Main/Top", "5",
             "[Main]\r\nLeft=1\r\nTop=5\r\n\r\n[Option]\r\n"},
            {"the file's LF", "[Main]\nLeft=1\n", "Option/A", "2", "[Main]\nLeft=1\n[Option]\nA=2\n"},
            {"last line unended", "[Main]\nLeft=1", "Main/Top", "2", "[Main]\nLeft=1\nTop=2\n"},
            {"stays unended", "[Main]\r\nLeft=1", "Main/Left", "2", "[Main]\r\nLeft=2"},
            {"each line its ending", "[Main]\r\nLeft=1\nTop=2\r\n", "Main/Left", "3",
             "[Main]\r\nLeft=3\nTop=2\r\n"},
            {"trail bytes", "[\x83\x5c]\r\n\x95\x5c=\x81\x5b\r\n[Main]\r\nLeft=1\r\n", "Main/Left",
             "7", "[\x83\x5c]\r\n\x95\x5c=\x81\x5b\r\n[Main]\r\nLeft=7\r\n"},
            {"one line", "[Main]\r\nLeft=1\r\n", "Main/Left", "2\r\n[X]\r\ny=1", "[Main]\r\nLeft=2\r\n"}};
        // clang-format on
        for (const auto &[name, before, key, value, after] : rows)
            QTest::newRow(name) << before << QString(key) << QString(value) << after;
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTEST(iniWriteBytes(before, true, key.section('/', 0, 0), key.section('/', 1), value),
              "after");
    }

    // Every setting under its own section and key, with its default while
    // its key is missing (the other keys there); load() holds the run's eleven.
    void everySetting_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("key");  // Section/Key
        QTest::addColumn<QString>("defaultText");
        // clang-format off
        const std::tuple<const char *, const char *> rows[] = {
            {"Main/Left", "4000"}, {"Main/Top", "5000"}, {"Main/DefType", "0"},
            {"Option/CntDownTm", "15"}, {"Option/AlarmTm", "30"}, {"Option/DefColor", "14671839"},
            {"Option/BestColor", "16744576"}, {"Option/WorstColor", "8421631"},
            {"Option/Inspection", "0"}, {"Option/HoldToStart", "0"}, {"Option/NoInspection", "auto"},
            {"Option/Timer", "keyboard"}, {"Option/StackmatDevice", ""}, {"Option/Language", "ja"},
            {"View/Top", "3000"}, {"View/Left", "1000"}, {"View/Height", "5000"},
            {"View/SearchType", "0"}, {"View/SearchOrder", "0"}, {"Chart/Left", "1500"},
            {"Chart/Top", "1500"}, {"Chart/Width", "12000"}, {"Chart/Height", "8000"},
            {"Scramble/Left", "9300"}, {"Scramble/Top", "5000"}, {"Scramble/Width", "6000"},
            {"Scramble/Height", "5400"}, {"Scramble/Visible", "0"}};
        // clang-format on
        static_assert(std::size(rows) == kSettingCount);
        for (int i = 0; i < kSettingCount; ++i) {
            const auto &[key, defaultText] = rows[i];
            QTest::newRow(key) << i << QString(key) << QString(defaultText);
        }
    }
    void everySetting()
    {
        QFETCH(int, setting);
        QFETCH(QString, key);
        TempAppFolder folder(false);
        const QString ini = folder.file("Spinlog.ini");
        QString content, section;
        for (int i = 0; i < kSettingCount; ++i) {  // each section's keys come together
            const SettingKey &other = keyOf(Setting(i));
            if (other.section != section)
                content += '[' + (section = other.section) + "]\r\n";
            if (other.section + '/' + other.key != key)
                content += other.key + "=other\r\n";
        }
        folder.write("Spinlog.ini", content.toLatin1());
        Settings settings(ini);
        QTEST(settings.read(Setting(setting)), "defaultText");
        settings.write(Setting(setting), "mine");
        QCOMPARE(iniRead(ini, key.section('/', 0, 0), key.section('/', 1), "(none)"), "mine");
        settings.load();
        QCOMPARE(settings.text(Setting(setting)) == "mine", setting >= 2 && setting <= 12);
    }

    // Tests run as root: a full disk is a file size limit, read-only the
    // file's mode.
    void aWriteThatCannotBeDone()
    {
        TempAppFolder folder(false);
        const QString ini = folder.file("Spinlog.ini");
        for (const char *before : {"", "[Main]\r\nLeft=1\r\n"}) {  // no file yet, then one
            if (*before)
                folder.write("Spinlog.ini", before);
            for (int room : {0, 20}) {  // nothing of the new file written, or a part
                FileSizeLimit full(room);
                iniWrite(ini, "Option", "WorstColor", "8421631");
            }
            QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     *before ? QStringList("Spinlog.ini") : QStringList());
            QCOMPARE(folder.read("Spinlog.ini"), QByteArray(before));
        }
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
        iniWrite(ini, "Main", "Left", "2");
        QCOMPARE(QFile::permissions(ini) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup);
        iniWrite(ini, "Main", "Left", "3");
        QCOMPARE(iniRead(ini, "Main", "Left", "0"), QString("2"));
    }

    // A disk that fails only at the flush or at the close (EIO, ENOSPC) leaves
    // the old file whole; a linked file stays a link, the file behind it written.
    void lateFailuresAndLinks()
    {
        TempAppFolder folder(false);
        QVERIFY(QDir(folder.path()).mkdir("conf"));
        folder.write("conf/real.ini", "[Main]\r\nLeft=1\r\n");
        QVERIFY(QFile::link("conf/real.ini", folder.file("Spinlog.ini")));
        const SystemCalls real = systemCalls();
        for (int late : {EIO, ENOSPC}) {
            if (late == EIO)
                systemCalls().fsync = [](int) { return errno = EIO, -1; };
            else
                systemCalls().close = [](int fd) { return ::close(fd), errno = ENOSPC, -1; };
            QString failure;
            const bool written =
                iniWrite(folder.file("Spinlog.ini"), "Main", "Left", "2", &failure);
            systemCalls() = real;
            QVERIFY(!written);
            QCOMPARE(failure, QString::fromLocal8Bit(std::strerror(late)));
            QCOMPARE(folder.read("conf/real.ini"), "[Main]\r\nLeft=1\r\n");
            QCOMPARE(QDir(folder.file("conf")).entryList(QDir::Files), QStringList("real.ini"));
        }
        QVERIFY(iniWrite(folder.file("Spinlog.ini"), "Main", "Left", "3"));
        QVERIFY(QFileInfo(folder.file("Spinlog.ini")).isSymLink());
        QCOMPARE(folder.read("conf/real.ini"), "[Main]\r\nLeft=3\r\n");
    }
};

SPINLOG_TEST(TestIniFile)
#include "tst_ini_file.moc"
