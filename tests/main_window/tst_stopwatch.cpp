// The stopwatch driven as a user drives it, with the fake clock and direct
// ticks: countdown, running clock, alarm, cancel, stop, and the states.

#include "main_fixture.h"
#include "support/test_main.h"

#include <QApplication>
#include <QTimer>

using namespace spinlog;
using namespace spinlog::test;

class StopwatchTest : public QObject {
    Q_OBJECT
private slots:
    void countdownThenRunningClock()
    {
        MainFixture f("[Option]\r\nCntDownTm=3\r\nAlarmTm=0\r\n");
        f.withSound();
        frmMain &w = f.open();
        QCOMPARE(f.state(), kIdleEmpty);
        f.press();
        QCOMPARE(f.state(), kCountdown);
        QCOMPARE(w.lblTm->text(), QStringLiteral("3"));
        QVERIFY(w.tmrCountDown->isActive() && !w.tmrCount->isActive());
        QStringList shown;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.sounds(), 0);
            f.world.clock.advanceMs(1000);
            w.tmrCountDown_Timer();
            shown << w.lblTm->text();
        }
        QCOMPARE(shown, QStringList({"2", "1", "0"}));
        // Timing begins on the tick that shows 0, with the start sound.
        QCOMPARE(f.state(), kTiming);
        QCOMPARE(f.sounds(), 1);
        QCOMPARE(f.world.sound.played[0], f.folder.file(QStringLiteral("Sound.wav")));
        QVERIFY(!w.tmrCountDown->isActive() && w.tmrCount->isActive());
        QCOMPARE(w.StartTm, f.world.clock.ns);

        w.tmrCount_Timer();
        QCOMPARE(w.lblTm->text(), QStringLiteral("1"));
        f.world.clock.advanceMs(1234);
        f.press();
        // The countdown is not part of the solve.
        QCOMPARE(w.lblTm->text(), QStringLiteral("1.23"));
        QCOMPARE(f.state(), kIdleUnderWay);
    }

    void withoutCountdownTheClockStartsAtOnce()
    {
        MainFixture f(kNoWaiting);
        f.withSound();
        frmMain &w = f.open();
        QCOMPARE(w.lblTm->text(), QStringLiteral("0"));
        f.press();
        QCOMPARE(f.state(), kTiming);
        QCOMPARE(f.sounds(), 1);
        QCOMPARE(w.lblTm->text(), QStringLiteral("0"));
        w.tmrCount_Timer();
        QCOMPARE(w.lblTm->text(), QStringLiteral("1"));
    }

    void runningDisplayAndAlarm_data()
    {
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<int>("sounds");
        QTest::newRow("every 30 s") << "30" << 1 + 4;  // start, 30, 60, 90, 120
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("double zero") << "00" << 1;
        QTest::newRow("every 45 s") << "45" << 1 + 2;
    }
    void runningDisplayAndAlarm()
    {
        QFETCH(QString, alarm);
        QFETCH(int, sounds);
        MainFixture f("[Option]\r\nCntDownTm=0\r\nAlarmTm=" + alarm.toLatin1() + "\r\n");
        f.withSound();
        frmMain &w = f.open();
        f.press();
        QMap<int, QString> shown;
        for (int second = 1; second <= 125; ++second) {
            w.tmrCount_Timer();
            shown[second] = w.lblTm->text();
        }
        QCOMPARE(shown[9], QStringLiteral("9"));
        QCOMPARE(shown[10], QStringLiteral("10"));
        QCOMPARE(shown[65], QStringLiteral("1:05"));
        QCOMPARE(shown[120], QStringLiteral("2:00"));
        QCOMPARE(f.sounds(), sounds);
        QCOMPARE(w.ElapsedSec, QStringLiteral("125"));
    }

    void cancelDuringTheCountdown()
    {
        MainFixture f("[Option]\r\nCntDownTm=5\r\nAlarmTm=0\r\n");
        f.withSound();
        frmMain &w = f.open();
        f.press();
        w.tmrCountDown_Timer();
        f.press();
        QCOMPARE(f.state(), kIdleEmpty);
        QCOMPARE(w.lblTm->text(), QStringLiteral("5"));
        QVERIFY(!w.tmrCountDown->isActive() && !w.tmrCount->isActive());
        QCOMPARE(f.sounds(), 0);
        QVERIFY(f.workRows().isEmpty());

        // With a solve in, the type stays fixed after a cancel.
        f.world.program.settings.CntDownTm = QStringLiteral("0");
        f.solve(9870);
        f.world.program.settings.CntDownTm = QStringLiteral("5");
        f.press();
        QCOMPARE(f.state(), kCountdown);
        f.press();
        QCOMPARE(f.state(), kIdleUnderWay);
        QCOMPARE(f.workRows().size(), 1);
        QCOMPARE(f.labelTexts().mid(0, 2), QStringList({"9.87", ""}));
    }

    void solveTimesAreRoundedToHundredths_data()
    {
        QTest::addColumn<qint64>("ns");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("seconds");
        QTest::newRow("9.996 s") << qint64(9'996'000'000) << "10.00"
                                 << "10";
        QTest::newRow("0.004 s") << qint64(4'000'000) << "0.00"
                                 << "0";
        QTest::newRow("65.43 s") << qint64(65'430'000'000) << "1:05.43"
                                 << "65.43";
        QTest::newRow("just under 10 s") << qint64(9'994'999'999) << "9.99"
                                         << "9.99";
        QTest::newRow("over an hour") << qint64(3'725'504'000'000) << "1:02:05.50"
                                      << "3725.5";
    }
    void solveTimesAreRoundedToHundredths()
    {
        QFETCH(qint64, ns);
        QFETCH(QString, time);
        QFETCH(QString, seconds);
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        f.press();
        f.world.clock.ns += ns;
        f.press();
        QCOMPARE(w.lblTm->text(), time);
        QCOMPARE(w.lblTime[1]->text(), time);
        QCOMPARE(f.workRows(), QList<QStringList>{QStringList({"1", time, seconds})});
    }

    void everyStateOfASeries()
    {
        MainFixture f("[Option]\r\nCntDownTm=2\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        f.world.prompts.answers = {Answer::No};
        QStringList states{f.state()};
        for (int solve = 1; solve <= 5; ++solve) {
            f.press();
            states << f.state();
            w.tmrCountDown_Timer();
            w.tmrCountDown_Timer();
            states << f.state();
            f.world.clock.advanceMs(10000 + solve * 10);
            f.press();
            states << f.state();
        }
        const QStringList expected{kIdleEmpty,                          //
                                   kCountdown, kTiming, kIdleUnderWay,  // 1
                                   kCountdown, kTiming, kIdleUnderWay,  // 2
                                   kCountdown, kTiming, kIdleUnderWay,  // 3
                                   kCountdown, kTiming, kIdleUnderWay,  // 4
                                   kCountdown, kTiming, kComplete};     // 5, save declined
        QCOMPARE(states, expected);
        QCOMPARE(f.workRows().size(), 5);
        QCOMPARE(f.labelTexts().mid(0, 6),
                 QStringList({"10.01", "10.02", "10.03", "10.04", "10.05", ""}));
        QCOMPARE(w.lblTm->text(), QStringLiteral("10.05"));
    }

    void theThreeWaysToPress()
    {
        MainFixture f("[Option]\r\nCntDownTm=3\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmbType->setFocus();
        QTest::keyClick(w.cmbType, Qt::Key_Return);
        QCOMPARE(f.state(), kCountdown);
        QTest::keyClick(&w, Qt::Key_F5);
        QCOMPARE(f.state(), kIdleEmpty);
        QTest::mouseClick(w.cmdStartStop, Qt::LeftButton);
        QCOMPARE(f.state(), kCountdown);
        // Other keys in the type list do not start anything; Enter does,
        // whatever the shift state.
        f.press();
        w.cmbType->setFocus();
        QTest::keyClick(w.cmbType, Qt::Key_A);
        QCOMPARE(f.state(), kIdleEmpty);
        QTest::keyClick(w.cmbType, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(f.state(), kCountdown);
        f.press();
    }

    void closingWhileTheClockRuns()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        w.show();
        f.press();
        w.tmrCount_Timer();
        // Ticks held up: the clock has gone on for 7.9 s.
        f.world.clock.advanceMs(7900);
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("計測中です、計測を停止してから終了してください")});
        QCOMPARE(f.state(), kTiming);
        w.tmrCount_Timer();
        QCOMPARE(w.lblTm->text(), QStringLiteral("8"));
        f.world.clock.advanceMs(100);
        f.press();
        QCOMPARE(w.lblTm->text(), QStringLiteral("8.00"));
        QCOMPARE(f.world.app.ended, 0);
    }

    void startWithACountdownThatIsNoNumber()
    {
        MainFixture f("[Option]\r\nCntDownTm=abc\r\n");
        f.open();
        f.press();
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("計測開始/停止エラー\r\n型が一致しません。")});
        QVERIFY(f.log().contains("[frmMain]-[Sub_StartStop] "));
        QCOMPARE(f.state(), kIdleEmpty);
        // A second press does not record a solve that never started.
        f.press();
        QVERIFY(f.workRows().isEmpty());
    }

    void tickFailuresAreReportedOneAtATime()
    {
        MainFixture f("[Option]\r\nCntDownTm=0\r\nAlarmTm=x\r\n");
        frmMain &w = f.open();
        f.press();
        // Ticks keep coming while the error box is open.
        f.world.prompts.onMessage = [&](const ShownBox &) { w.tmrCount_Timer(); };
        w.tmrCount_Timer();
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("計測タイマエラー\r\n型が一致しません。")});
        QVERIFY(f.log().contains("[frmMain]-[tmrCount_Timer] "));
        QCOMPARE(w.lblTm->text(), QStringLiteral("1"));
        QCOMPARE(f.state(), kTiming);
    }

    void aFailingInsertLeavesNoHalfSolve()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        f.db().execute(QStringLiteral("drop table W_Time"));
        f.solve(12340);
        QCOMPARE(f.world.prompts.boxes.size(), size_t(1));
        QVERIFY(
            f.world.prompts.boxes[0].text.startsWith(QStringLiteral("計測開始/停止エラー\r\n")));
        QVERIFY(f.log().contains("[frmMain]-[Sub_StartStop] "));
        QVERIFY(w.lblTime[1]->text().isEmpty());
        QCOMPARE(w.lblTm->text(), QStringLiteral("12.34"));
        QCOMPARE(f.state(), kIdleEmpty);
        QVERIFY(!w.tmrCount->isActive());
    }
};
SPINLOG_TEST(StopwatchTest)

#include "tst_stopwatch.moc"
