#include "app/instance_lock.h"
#include "app/program.h"
#include "app/ui/startup.h"
#include "main_window/ui/main_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Forks a child that claims the folder's lock, then either ends at once
// without releasing it (and is reaped) or waits to be killed. Returns the
// child's pid, or -1 when the child could not claim the lock.
pid_t lockInChild(const QString &folder, bool wait)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        InstanceLock lock;
        const char claimed = lock.claim(folder) ? '1' : '0';
        [[maybe_unused]] auto written = ::write(fds[1], &claimed, 1);
        if (wait)
            ::pause();
        ::_exit(0);
    }
    ::close(fds[1]);
    char claimed = '0';
    [[maybe_unused]] auto got = ::read(fds[0], &claimed, 1);
    ::close(fds[0]);
    if (!wait || claimed != '1') {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return claimed == '1' ? pid : -1;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void settingsReadWithTheirDefaults();
    void secondCopyEndsWithoutTouchingAnything();
    void unopenableDatabaseEndsBeforeTheSettings();
    void oneLockPerFolder();
    void lockOfADeadProcessIsTakenOver();
};

void TestStartup::settingsReadWithTheirDefaults()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    Settings &s = world.program.settings;
    const auto held = [&s] {
        QStringList values;
        for (Setting k : {Setting::DefType, Setting::CntDownTm, Setting::AlarmTm, Setting::DefColor,
                          Setting::BestColor, Setting::WorstColor})
            values << s.text(k);
        return values;
    };
    s.load();
    QCOMPARE(held(), QStringList({"0", "15", "30", "14671839", "16744576", "8421631"}));
    QVERIFY(!QFile::exists(folder.file("Spinlog.ini")));

    // Every key lands in its own value, as text and unchecked; keys placed in
    // the wrong section are not seen.
    folder.write("Spinlog.ini",
                 "[Main]\r\nDefType=2\r\nCntDownTm=1\r\n[option]\r\nWORSTCOLOR=6\r\nBestColor=5\r\n"
                 "DefColor=4\r\nAlarmTm=abc\r\nCntDownTm=\r\n");
    s.load();
    QCOMPARE(held(), QStringList({"2", "", "abc", "4", "5", "6"}));
}

void TestStartup::secondCopyEndsWithoutTouchingAnything()
{
    TempAppFolder folder;
    FakeWorld world(folder.path());
    world.app.otherCopyRunning = true;
    const QByteArray database = folder.read("Spinlog.mdb");
    const QStringList before = QDir(folder.path()).entryList(QDir::Files);

    QVERIFY(Main(world.program) == nullptr);
    QCOMPARE(world.prompts.texts(), QStringList("２重起動はできません"));
    QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
    QCOMPARE(world.prompts.boxes[0].buttons, Buttons::Ok);
    QCOMPARE(world.app.ended, 1);
    QVERIFY(!world.program.gDB);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), before);
    QCOMPARE(folder.read("Spinlog.mdb"), database);
}

void TestStartup::unopenableDatabaseEndsBeforeTheSettings()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    folder.write("Spinlog.ini", "[Main]\r\nDefType=3\r\n");
    QVERIFY(Main(world.program) == nullptr);
    QCOMPARE(world.app.ended, 1);
    QVERIFY(!world.program.gDB);
    QCOMPARE(world.program.settings.text(Setting::DefType), QString("0"));
    // The database layer shows its own report; nothing else is shown.
    for (const ShownBox &box : world.prompts.boxes)
        QVERIFY(box.text.startsWith("データベースオープンエラー\r\n"));
}

void TestStartup::oneLockPerFolder()
{
    TempAppFolder first(false);
    TempAppFolder second(false);
    InstanceLock a;
    InstanceLock b;
    InstanceLock c;
    // Another login of the same user has another runtime folder.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(first.path()));
    QVERIFY(a.claim(first.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(second.path()));
    const bool claimedTwice = b.claim(first.path());
    qputenv("XDG_RUNTIME_DIR", runtime);
    QVERIFY(!claimedTwice);
    // The same folder named another way is the same folder.
    QVERIFY(!b.claim(first.path() + "/./"));
    QVERIFY(c.claim(second.path()));
    a.release();
    QVERIFY(b.claim(first.path()));
}

void TestStartup::lockOfADeadProcessIsTakenOver()
{
    TempAppFolder folder(false);
    QVERIFY(lockInChild(folder.path(), false) > 0);
    InstanceLock lock;
    QVERIFY(lock.claim(folder.path()));
    lock.release();

    const pid_t running = lockInChild(folder.path(), true);
    QVERIFY(running > 0);
    const bool heldByRunningCopy = !lock.claim(folder.path());
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    QVERIFY(heldByRunningCopy);
    QVERIFY(lock.claim(folder.path()));
}

SPINLOG_TEST(TestStartup)
#include "tst_startup.moc"
