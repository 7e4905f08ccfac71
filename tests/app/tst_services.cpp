// Code page 932, the sound, the Readme and the web page through the shell
// seam, whether the desktop has a program for the Readme, the folder's lock.

#include "app/help.h"
#include "app/instance_lock.h"
#include "app/sound.h"
#include "base/encoding.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/test_main.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

class TestServices : public QObject {
    Q_OBJECT
private slots:
    void codePage932()
    {
        // The Windows code page's own characters; "?" for others, surrogates too.
        QCOMPARE(toCp932(QString::fromUtf8("①～\u3000ｱ髙")),
                 QByteArray("\x87\x40\x81\x60\x81\x40\xb1\xfb\xfc"));
        int lost = 0;
        QCOMPARE(toCp932(QString::fromUtf8("aéあ😀€") + QChar(0xD800) + "z", &lost),
                 QByteArray("a?\x82\xa0???z"));
        QCOMPARE(lost, 4);
        // Windows' look-alikes: WAVE DASH as its own tilde, and its kin.
        lost = 0;
        QCOMPARE(toCp932(QString::fromUtf8("〜−—‖¢£¬¦"), &lost),
                 QByteArray("\x81\x60\x81\x7c\x81\x5c\x81\x61\x81\x91\x81\x92\x81\xca\xfa\x55"));
        QCOMPARE(lost, 0);
        // Long texts go in blocks; a surrogate pair across their edge stays one.
        QCOMPARE(toCp932(QString(1023, 'a') + QString::fromUtf8("😀é") + QString(2000, u'あ')),
                 QByteArray(1023, 'a') + "??" + QByteArray("\x82\xa0").repeated(2000));
        QCOMPARE(fromCp932("\x87\x40\x81\x60\x82\xa0"), QString("①～あ"));
    }

    // The sound plays a file only; the Readme's failure names the file (the
    // opener's results from 32 up are success); the web page's is reported.
    void seams()
    {
        TempAppFolder folder(false);
        FakeWorld world(folder.path());
        QVERIFY(QDir(folder.path()).mkdir("Sound.wav"));
        Sub_Sound(world.program);
        QVERIFY(world.sound.played.isEmpty() && QDir(folder.path()).rmdir("Sound.wav"));
        folder.write("Sound.wav", "RIFF");
        Sub_Sound(world.program);
        QCOMPARE(world.sound.played, QStringList(folder.file("Sound.wav")));

        Sub_ShowHelpFile(world.program);
        QCOMPARE(world.prompts.texts(),
                 QStringList("Readme表示エラー\r\nファイルが見つかりません"));
        QCOMPARE(logTextAt(folder, 2), "[mdlCommon]-[Sub_ShowHelpFlie] ファイルが見つかりません" +
                                           QString(QChar(0x3000)) + folder.file("Readme.txt"));
        folder.write("Readme.txt", "x");
        for (int result : {32, 31}) {
            world.shell.openFileResult = result;
            Sub_ShowHelpFile(world.program);
        }
        world.shell.fail = true;
        Sub_ShowWebFile(world.program);
        const QStringList boxes = world.prompts.texts();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes[1], QString("Readme表示エラー\r\n関連付けられているファイルがありません"));
        QVERIFY(boxes[2].startsWith("Webページ表示エラー\r\n"));
    }

    // One running copy per folder, however the folder is named.
    void oneLockPerFolder()
    {
        TempAppFolder first(false), second(false);
        InstanceLock a, b, c;
        QVERIFY(a.claim(first.path()));
        QVERIFY(!b.claim(first.path() + "/./"));
        QVERIFY(c.claim(second.path()));
        // A program started meanwhile (the Readme's viewer) does not keep the
        // claim after its holder let it go.
        QProcess viewer;
        viewer.start("sleep", {"60"});
        QVERIFY(viewer.waitForStarted());
        a.release();
        const bool taken = b.claim(first.path());
        viewer.kill();
        viewer.waitForFinished();
        QVERIFY(taken);
    }

    // One folder stands for every XDG configuration and data folder; the
    // MIME types stay the system's. Each file alone names a program, or not.
    void programForTheReadme()
    {
        TempAppFolder folder(false);
        folder.write("Readme.txt", "x");
        QVERIFY(QDir(folder.path()).mkpath("applications/x"));
        QVERIFY(QFile::link("/usr/share/mime", folder.file("mime")));
        QByteArrayList saved;
        for (const char *name :
             {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
            saved << name << qgetenv(name);
            qputenv(name, QFile::encodeName(folder.path()));
        }
        // clang-format off
        const std::tuple<const char *, const char *, bool> files[] = {
            {"none", "", false},
            {"mimeapps.list", "[Removed Associations]\ntext/plain=e\n", false},
            {"mimeapps.list", "[Default Applications]\ntext/plain=e\n", true},
            {"applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=e\n", true},
            {"applications/e.desktop", "[Desktop Entry]\nMimeType=image/png\n", false},
            {"applications/x/e.desktop", "[Desktop Entry]\nMimeType=a/b;text/plain\n", true}};
        // clang-format on
        QStringList wrong;
        for (const auto &[file, content, found] : files) {
            folder.write(file, content);
            if (desktopHasProgramFor(folder.file("Readme.txt")) != found)
                wrong << QString(file) + ": " + content;
            QFile::remove(folder.file(file));
        }
        for (int i = 0; i < saved.size(); i += 2) qputenv(saved[i], saved[i + 1]);
        QCOMPARE(wrong, QStringList());
    }
};

SPINLOG_TEST(TestServices)
#include "tst_services.moc"
