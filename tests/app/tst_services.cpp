#include "app/encoding.h"
#include "app/help.h"
#include "app/sound.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QDir>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

class TestServices : public QObject {
    Q_OBJECT
private slots:
    void codePage932();
    void soundPlaysOnlyAnExistingFile();
    void readmeFailuresAreShownWithTheirPath();
    void programForTheReadme_data();
    void programForTheReadme();
    void webPage();
};

void TestServices::codePage932()
{
    QCOMPARE(toCp932("①"), QByteArray("\x87\x40"));
    QCOMPARE(toCp932(QString(QChar(0xFF5E))), QByteArray("\x81\x60"));
    QCOMPARE(toCp932(QString(QChar(0x3000))), QByteArray("\x81\x40"));
    QCOMPARE(toCp932("ｱ髙"), QByteArray("\xb1\xfb\xfc"));
    // Characters outside the code page, before and after good ones.
    QCOMPARE(toCp932("aéあ"), QByteArray("a?\x82\xa0"));
    QCOMPARE(toCp932(QString::fromUtf8("x😀y〜")), QByteArray("x?y?"));
    QCOMPARE(toCp932(QString(QChar(0xD800)) + "z"), QByteArray("?z"));
    // Long texts go in blocks; a pair of surrogates straddling a block edge
    // stays one character.
    QCOMPARE(toCp932(QString(1023, 'a') + QString::fromUtf8("😀é") + QString(2000, u'あ')),
             QByteArray(1023, 'a') + "??" + QByteArray("\x82\xa0").repeated(2000));
    QCOMPARE(fromCp932("\x87\x40\x81\x60\x82\xa0"), QString("①～あ"));

    const QByteArray mixed(
        "a\x82\xa0"
        "b\x82");
    const std::pair<int, int> cuts[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 4}, {9, 5}};
    for (const auto &[limit, cut] : cuts) QCOMPARE(cp932CutPoint(mixed, limit), cut);
}

void TestServices::soundPlaysOnlyAnExistingFile()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    Sub_Sound(world.program);
    QVERIFY(world.sound.played.isEmpty());

    QVERIFY(QDir(folder.path()).mkdir("Sound.wav"));
    Sub_Sound(world.program);
    QVERIFY(world.sound.played.isEmpty());
    QVERIFY(QDir(folder.path()).rmdir("Sound.wav"));

    folder.write("Sound.wav", "RIFF");
    Sub_Sound(world.program);
    QCOMPARE(world.sound.played, QStringList(folder.file("Sound.wav")));
    QVERIFY(world.prompts.boxes.empty());
}

void TestServices::readmeFailuresAreShownWithTheirPath()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    const QString readme = folder.file("Readme.txt");

    Sub_ShowHelpFlie(world.program);
    QCOMPARE(world.shell.files, QStringList(readme));
    QCOMPARE(world.prompts.texts(), QStringList("Readme表示エラー\r\nファイルが見つかりません"));
    QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
    QCOMPARE(logTextAt(folder, 2), "[mdlCommon]-[Sub_ShowHelpFlie] ファイルが見つかりません" +
                                       QString(QChar(0x3000)) + readme);

    folder.write("Readme.txt", "x");
    Sub_ShowHelpFlie(world.program);
    QCOMPARE(world.prompts.boxes.size(), std::size_t(1));

    world.shell.openFileResult = 31;
    Sub_ShowHelpFlie(world.program);
    QCOMPARE(world.prompts.texts().last(),
             QString("Readme表示エラー\r\n関連付けられているファイルがありません"));

    QCOMPARE(
        QStringList({shellErrorText(0), shellErrorText(3), shellErrorText(11), shellErrorText(5)}),
        QStringList(
            {"メモリ不足です", "パスが見つかりません", "ファイルが無効です", "エラーNo.=5"}));
}

void TestServices::programForTheReadme_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("found");
    // clang-format off
    QTest::newRow("nothing") << "" << "" << false;
    QTest::newRow("default") << "mimeapps.list" << "[Default Applications]\ntext/plain=e\n" << true;
    QTest::newRow("removed") << "mimeapps.list" << "[Removed Associations]\ntext/plain=e\n" << false;
    QTest::newRow("cache") << "applications/mimeinfo.cache" << "[MIME Cache]\ntext/plain=e\n" << true;
    QTest::newRow("entry") << "applications/x/e.desktop" << "[Desktop Entry]\nMimeType=a/b;text/plain\n" << true;
    QTest::newRow("image") << "applications/e.desktop" << "[Desktop Entry]\nMimeType=image/png\n" << false;
    // clang-format on
}

// One folder stands for every XDG configuration and data folder; the MIME
// types stay the system's.
void TestServices::programForTheReadme()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(bool, found);
    TempAppFolder folder(false);
    folder.write("Readme.txt", "x");
    QVERIFY(QDir(folder.path()).mkpath("applications/x"));
    QVERIFY(QFile::link("/usr/share/mime", folder.file("mime")));
    if (!file.isEmpty())
        folder.write(file, content.toUtf8());
    const char *const names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                 "XDG_DATA_DIRS"};
    QByteArrayList saved;
    for (const char *name : names) {
        saved << qgetenv(name);
        qputenv(name, QFile::encodeName(folder.path()));
    }
    const bool has = desktopHasProgramFor(folder.file("Readme.txt"));
    for (int i = 0; i < 4; ++i) qputenv(names[i], saved[i]);
    QCOMPARE(has, found);
}

void TestServices::webPage()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    Sub_ShowWebFlie(world.program);
    QCOMPARE(world.shell.urls, QStringList(kWebPage));
    QVERIFY(world.prompts.boxes.empty());

    world.shell.fail = true;
    Sub_ShowWebFlie(world.program);
    QCOMPARE(world.prompts.boxes.size(), std::size_t(1));
    QVERIFY(world.prompts.boxes[0].text.startsWith("Webページ表示エラー\r\n"));
    QVERIFY(logTextAt(folder, 2).startsWith("[mdlCommon]-[Sub_ShowWebFlie] "));
}

SPINLOG_TEST(TestServices)
#include "tst_services.moc"
