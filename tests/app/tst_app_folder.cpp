// Where a copy keeps its files: the portable copy beside the program as
// always, the installed copy in the user's data folder, made on the first
// start from the delivered files without ever touching what the user has.

#include "app/app_folder.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// The package's folder of delivered files, with a database of some size.
struct Delivered {
    Delivered()
    {
        files.write("Spinlog.mdb", QByteArray(64 * 1024, 'd'));
        files.write("Sound.wav", "RIFF sound");
        files.write("Warn.wav", "RIFF warn");
        files.write("Readme.txt", "guide 2");
    }
    TempAppFolder files{false};
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

}  // namespace

class AppFolderTest : public QObject {
    Q_OBJECT
private slots:
    void userDataFolder_data()
    {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("set") << "/data/me/"
                             << "/data/me/Spinlog";
        QTest::newRow("unset") << QString() << "/home/me/.local/share/Spinlog";
        QTest::newRow("empty") << ""
                               << "/home/me/.local/share/Spinlog";
        QTest::newRow("relative") << "data"
                                  << "/home/me/.local/share/Spinlog";
    }
    void userDataFolder()
    {
        QFETCH(QString, xdgDataHome);
        QTEST(spinlog::userDataFolder(xdgDataHome, "/home/me"), "expected");
    }

    void firstStartCopiesTheDeliveredFiles()
    {
        Delivered delivered;
        TempAppFolder home(false);
        const QString folder = home.file(".local/share/Spinlog");
        QCOMPARE(prepareUserFolder(folder, delivered.files.path()), QString());
        QCOMPARE(entries(folder),
                 (QStringList{"Readme.txt", "Sound.wav", "Spinlog.mdb", "Warn.wav"}));
        for (const char *name : {"Spinlog.mdb", "Sound.wav", "Warn.wav", "Readme.txt"})
            QCOMPARE(readFile(folder + '/' + name), delivered.files.read(name));
        QVERIFY(QFile::permissions(folder + "/Spinlog.mdb") & QFile::WriteOwner);
    }

    // Later starts: the database, a replaced sound and a link stay the
    // user's; a missing sound comes back; a new guide replaces the old one.
    void laterStartsKeepTheUsersFiles()
    {
        Delivered delivered;
        TempAppFolder user(false);
        user.write("Spinlog.mdb", "the user's records");
        user.write("Sound.wav", "the user's sound");
        user.write("Readme.txt", "guide 1");
        QCOMPARE(prepareUserFolder(user.path(), delivered.files.path()), QString());
        QCOMPARE(user.read("Spinlog.mdb"), QByteArray("the user's records"));
        QCOMPARE(user.read("Sound.wav"), QByteArray("the user's sound"));
        QCOMPARE(user.read("Warn.wav"), QByteArray("RIFF warn"));
        QCOMPARE(user.read("Readme.txt"), QByteArray("guide 2"));
        // A database that is a link to a file not there now stays a link.
        QFile::remove(user.file("Spinlog.mdb"));
        QVERIFY(QFile::link(user.file("gone.mdb"), user.file("Spinlog.mdb")));
        QCOMPARE(prepareUserFolder(user.path(), delivered.files.path()), QString());
        QCOMPARE(QFileInfo(user.file("Spinlog.mdb")).symLinkTarget(), user.file("gone.mdb"));
        QVERIFY(!QFileInfo::exists(user.file("gone.mdb")));
    }

    // Without the database nothing can start: each failure is told, and a
    // copy cut short leaves no half database that a later start would keep.
    void failuresLeaveNoHalfDatabase()
    {
        Delivered delivered;
        TempAppFolder home(false);
        home.write("blocked", "a file where the folder goes");
        QVERIFY(prepareUserFolder(home.file("blocked/Spinlog"), delivered.files.path())
                    .contains(home.file("blocked/Spinlog")));

        const QString folder = home.file("Spinlog");
        {
            FileSizeLimit fullDisk(16 * 1024);
            QVERIFY(prepareUserFolder(folder, delivered.files.path()).contains("Spinlog.mdb"));
        }
        QCOMPARE(entries(folder), QStringList());
        QCOMPARE(prepareUserFolder(folder, delivered.files.path()), QString());
        QCOMPARE(readFile(folder + "/Spinlog.mdb"), delivered.files.read("Spinlog.mdb"));

        // Optional files missing from the package: the folder is still ready.
        QDir(folder).removeRecursively();
        QFile::remove(delivered.files.file("Sound.wav"));
        QFile::remove(delivered.files.file("Readme.txt"));
        QCOMPARE(prepareUserFolder(folder, delivered.files.path()), QString());
        QCOMPARE(entries(folder), (QStringList{"Spinlog.mdb", "Warn.wav"}));
        QFile::remove(delivered.files.file("Spinlog.mdb"));
        QDir(folder).removeRecursively();
        QVERIFY(!prepareUserFolder(folder, delivered.files.path()).isEmpty());
        QCOMPARE(entries(folder), QStringList());
    }

    // Every build but the package's: the folder holding the program, and
    // nothing made anywhere.
    void portableCopyIsTheProgramsFolder()
    {
        TempAppFolder home(false);
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        const AppFolder folder = applicationFolder(CopyKind::Portable);
        qputenv("HOME", realHome);
        QCOMPARE(folder.path, QCoreApplication::applicationDirPath());
        QCOMPARE(folder.problem, QString());
        QCOMPARE(entries(home.path()), QStringList());
        QCOMPARE(deliveredFolder("/usr/bin"), "/usr/share/spinlog");
    }
};

SPINLOG_TEST(AppFolderTest)
#include "tst_app_folder.moc"
