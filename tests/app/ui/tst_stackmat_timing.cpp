// The Stackmat timer as the clock: the main window as start-up assembles it,
// its timer fed packets (no audio; no input device in reach). What the large
// clock shows while a solve runs, what W_Time stores, the status bar, the
// boxes, the log; the keyboard beside the timer.

#include "app/mdb.h"
#include "app/ui/stackmat_link.h"
#include "app/ui/startup.h"
#include "data/record_stores.h"
#include "main_window/ui/main_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <cmath>

using namespace spinlog;
using namespace spinlog::test;

namespace {

struct Rig {
    explicit Rig(const QByteArray &options) : world(folder.path())
    {
        folder.write("Spinlog.ini", "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n" + options);
        if (!Fun_MDBOpen(world.program, folder.file("Spinlog.mdb")))
            throw std::runtime_error("cannot open the test database");
        world.program.settings.load();
        window = makeMainWindow(world.program);
        timer = &window->findChild<StackmatLink *>()->timer();
    }
    QString label(const char *name) const { return window->findChild<QLabel *>(name)->text(); }

    // Steps: a packet is its status ('_' for running) and time in seconds,
    // 112 ms of signal and of the clock after the last ("I0", "_1.23",
    // "S1.23"), "*N" after it repeats it N times; "+MS" lets MS pass without
    // one; "K" is F5. Returns the large clock's texts as they changed.
    QString run(const QString &script)
    {
        QStringList shown{label("lblTm")};
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
            const QString packet = step.section('*', 0, 0);
            for (int n = step.contains('*') ? step.section('*', 1).toInt() : 1; n > 0; --n) {
                if (step == "K") {
                    window->findChild<QAction *>("M_File1")->trigger();
                } else if (step.startsWith('+')) {
                    pass(step.mid(1).toLongLong());
                    timer->advanceTo(signalNs);
                } else {
                    pass(112);
                    StackmatPacket p{packet[0] == '_' ? ' ' : packet[0].toLatin1(),
                                     {int(std::lround(packet.mid(1).toDouble() * 1000)), true},
                                     signalNs};
                    timer->take(p);
                }
                if (shown.last() != label("lblTm"))
                    shown << label("lblTm");
            }
        }
        return shown.join(' ');
    }
    void pass(std::int64_t ms)
    {
        world.clock.advanceMs(ms);
        signalNs += ms * 1'000'000;
    }

    TempAppFolder folder;
    FakeWorld world;
    std::unique_ptr<frmMain> window;
    StackmatTimer *timer = nullptr;
    std::int64_t signalNs = 0;
};

const QByteArray kStackmat = "Timer=stackmat\r\n";

}  // namespace

class StackmatTimingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // No audio server: the input finds no device, whatever the machine has.
        qputenv("PULSE_SERVER", "unix:/nonexistent");
    }

    void solves_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("clock");   // the large clock as it changed
        QTest::addColumn<QString>("stored");  // W_Time's times
        QTest::addColumn<QString>("status");  // the first panel, after "スタックマット: "
        QTest::addColumn<bool>("logged");     // the log tells of a solve lost with the signal
        // clang-format off
        const std::tuple<const char *, const char *, const char *, const char *, const char *,
                         const char *, bool> rows[] = {
            {"fourth generation: counts up, stored once, cut to hundredths", "",
             "I0*2 _0.056 _0.168 _1.279 I12.345*3", "0 0.05 0.16 1.27 12.34", "12.34", "接続中",
             false},
            {"third generation: S repeated, the reset readies the next", "",
             "I0 _0.1 S9.87*4 I0 _0.05 S1.5", "0 0.10 9.87 0.05 1.50", "9.87,1.50", "接続中", false},
            {"a timer already running starts nothing", "", "_1 _1.1 S1.2", "0", "", "接続中", false},
            {"the timer reset while running: nothing stored", "", "I0 _0.1 _0.2 I0",
             "0 0.10 0.20 0", "", "接続中", false},
            {"the signal lost while running: nothing stored, and why", "", "I0 _0.1 _0.2 +1200",
             "0 0.10 0.20 0", "", "信号が途切れ、記録なし", true},
            {"the signal back after the loss", "", "I0 _0.1 +1200 I0 _0.1 S2", "0 0.10 0 0.10 2.00",
             "2.00", "接続中", true},
            {"inspection of 16 s before the timer's start: +2", "Inspection=1\r\n",
             "K I0*142 _0.05 S10", "0 15 0.05 12.00+", "12.00+", "接続中", false},
            {"inspection of over 17 s: DNF", "Inspection=1\r\n", "K I0*160 _0.05 S10",
             "0 15 0.05 DNF", "DNF", "接続中", false},
            {"F5 stops the timer's solve by the clock; its stop is then no second", "",
             "I0 _0.05 _0.16 K S0.3*2", "0 0.05 0.16 0.11", "0.11", "接続中", false},
            {"F5 times a solve with the Stackmat chosen, no signal", "", "K +5000 K", "0 5.00",
             "5.00", "入力デバイスなし", false},
            {"a key's solve under way: the timer's start and loss leave it", "",
             "I0 K _0.1 +1200 K", "0 1.31", "1.31", "入力デバイスなし", false},
            {"the keyboard chosen: the timer times nothing", nullptr, "I0 _0.1 S5*2", "0", "", "",
             false}};
        // clang-format on
        for (const auto &[name, options, script, clock, stored, status, logged] : rows)
            QTest::newRow(name) << (options ? kStackmat + options : QByteArray()) << QString(script)
                                << QString(clock) << QString(stored) << QString(status) << logged;
    }
    void solves()
    {
        QFETCH(QByteArray, options);
        QFETCH(QString, script);
        QFETCH(QString, status);
        Rig rig(options);
        QTEST(rig.run(script), "clock");
        QStringList stored;
        for (const QString &row :
             rowsOf(rig.world.program.records->database(), "select Time from W_Time order by No"))
            stored << row;
        QTEST(stored.join(','), "stored");
        QCOMPARE(rig.label("statusPanel"), status.isEmpty() ? status : "スタックマット: " + status);
        QTEST(rig.folder.read("Err.log").contains("[frmMain]-[Stackmat] "), "logged");
        QVERIFY(rig.world.prompts.boxes.empty());
    }

    // The choice stored by the options' OK takes effect once they are all
    // stored, both ways, without a restart.
    void followsTheOptions()
    {
        Rig rig({});
        Settings &settings = rig.world.program.settings;
        settings.store(Setting::Timer, "stackmat");
        QCOMPARE(rig.run("I0 _0.1 S2"), "0");
        QTRY_COMPARE(rig.label("statusPanel"), "スタックマット: 入力デバイスなし");
        QCOMPARE(rig.run("I0 _0.1 S3"), "0 0.10 3.00");
        settings.store(Setting::Timer, "keyboard");
        QTRY_COMPARE(rig.label("statusPanel"), "");
        QCOMPARE(rig.run("I0 _0.1 S4"), "3.00");
    }
};

SPINLOG_TEST(StackmatTimingTest)
#include "tst_stackmat_timing.moc"
