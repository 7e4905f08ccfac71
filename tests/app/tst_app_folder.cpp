// Where the installed copy keeps its files: the user's data folder, made on
// the first start from the delivered files without ever touching what the
// user has. (The portable copy, beside the program, is every end-to-end test's.)

#include "app/app_folder.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

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
    // XDG_DATA_HOME set, unset, empty and relative (no folder: the default).
    void userDataFolder()
    {
        for (const QString &set : {QString(), QString(""), QString("data")})
            QCOMPARE(spinlog::userDataFolder(set, "/home/me"), "/home/me/.local/share/Spinlog");
        QCOMPARE(spinlog::userDataFolder("/data/me/", "/home/me"), "/data/me/Spinlog");
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
        QCOMPARE(entries(folder),
                 (QStringList{"Readme.txt", "Sound.wav", "Spinlog.mdb", "Warn.wav"}));
        for (const char *name : {"Spinlog.mdb", "Sound.wav", "Warn.wav", "Readme.txt"})
            QCOMPARE(readFile(folder + '/' + name), delivered.files.read(name));
        QVERIFY(QFile::permissions(folder + "/Spinlog.mdb") & QFile::WriteOwner);

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
};

SPINLOG_TEST(AppFolderTest)
#include "tst_app_folder.moc"
