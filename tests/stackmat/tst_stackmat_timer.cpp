// The timer's state from checked packets: what starts a solve, what stops it
// once, what abandons it, and the moment the signal counts as lost.

#include "stackmat/stackmat_timer.h"
#include "support/test_main.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace spinlog;

namespace {

// Steps: a packet is its status ('_' for running) and time in seconds, one
// every 112 ms ("I0", "_1.23", "S1.23"); "+MS" lets MS milliseconds of
// signal pass without one. The log names each signal: on/off (receiving),
// ready, start:MS, t:MS, stop:MS, abandon:reset/lost.
QString run(StackmatTimer &timer, const QString &script)
{
    QStringList log;
    QObject listening;  // the connections end with the script
    QObject::connect(&timer, &StackmatTimer::receivingChanged, &listening,
                     [&](bool on) { log << (on ? "on" : "off"); });
    QObject::connect(&timer, &StackmatTimer::readied, &listening, [&] { log << "ready"; });
    QObject::connect(&timer, &StackmatTimer::started, &listening,
                     [&](StackmatTime t) { log << QString("start:%1").arg(t.ms); });
    QObject::connect(&timer, &StackmatTimer::timeChanged, &listening,
                     [&](StackmatTime t) { log << QString("t:%1").arg(t.ms); });
    QObject::connect(&timer, &StackmatTimer::stopped, &listening,
                     [&](StackmatTime t) { log << QString("stop:%1").arg(t.ms); });
    QObject::connect(
        &timer, &StackmatTimer::abandoned, &listening, [&](StackmatTimer::Abandon why) {
            log << (why == StackmatTimer::Abandon::Reset ? "abandon:reset" : "abandon:lost");
        });
    std::int64_t now = 0;
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        if (step.startsWith('+')) {
            now += step.mid(1).toLongLong() * 1'000'000;
            timer.advanceTo(now);
            continue;
        }
        now += 112'000'000;
        StackmatPacket packet;
        packet.status = step[0] == '_' ? ' ' : step[0].toLatin1();
        packet.time.ms = int(std::lround(step.mid(1).toDouble() * 1000));
        packet.atNs = now;
        timer.take(packet);
    }
    return log.join(' ');
}

}  // namespace

class TestStackmatTimer : public QObject {
    Q_OBJECT
private slots:
    void solves_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("log");
        QTest::addColumn<bool>("underWay");
        // clang-format off
        const std::tuple<const char *, const char *, const char *, bool> rows[] = {
            {"a solve, stopped by S repeated", "I0 C0 A0 _0.05 _0.16 _0.27 S0.3 S0.3 S0.3",
             "on ready start:50 t:160 t:270 stop:300", false},
            {"the reset readies the next", "I0 _0.1 S0.2 S0.2 I0 A0 _0.05 _0.16",
             "on ready start:100 stop:200 ready start:50 t:160", true},
            {"fourth generation: stopped is I with the time",
             "I0 I0 _0.056 _0.168 I12.345 I12.345 I12.345", "on ready start:56 t:168 stop:12345",
             false},
            {"joined while running: no solve", "_1 _1.1 S1.2 S1.2", "on", false},
            {"running on from a stop without a reset", "I0 _0.1 S1 C1 _1.1 _1.2 S2",
             "on ready start:100 stop:1000", false},
            {"hands on after a stop are not ready", "S5 C5 A5 _5.1 S6", "on", false},
            {"reset while running", "I0 _0.1 _0.2 I0 _0.1 S0.5",
             "on ready start:100 t:200 abandon:reset ready start:100 stop:500", false},
            {"a hand on while the time moves runs on", "I0 _0.1 L0.2 R0.3 C0.4 C0.4 C0.4",
             "on ready start:100 t:200 t:300 t:400 stop:400", false},
            {"lost while running stores nothing; back running starts nothing",
             "I0 _0.1 +1500 _1.7 _1.8 S1.9 I0", "on ready start:100 abandon:lost off on ready",
             false},
            {"lost after one second, not at it", "I0 +1000 _0.1 +1000 +1",
             "on ready start:100 abandon:lost off", false},
            {"a second without packets at rest", "I0 +1001 I0 _0.1",
             "on ready off on ready start:100", true}};
        // clang-format on
        for (const auto &[name, script, log, underWay] : rows)
            QTest::newRow(name) << QString(script) << QString(log) << underWay;
    }
    void solves()
    {
        QFETCH(QString, script);
        QFETCH(QString, log);
        QFETCH(bool, underWay);
        StackmatTimer timer;
        QCOMPARE(run(timer, script), log);
        QCOMPARE(timer.solveUnderWay(), underWay);
    }

    // Lost at once when the input goes; only while receiving.
    void endOfSignal()
    {
        StackmatTimer timer;
        QCOMPARE(run(timer, ""), "");
        timer.endOfSignal();
        QVERIFY(!timer.receiving());
        StackmatTimer running;
        run(running, "I0 _0.1");
        QSignalSpy lost(&running, &StackmatTimer::abandoned);
        running.endOfSignal();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!running.solveUnderWay());
    }
};

SPINLOG_TEST(TestStackmatTimer)
#include "tst_stackmat_timer.moc"
