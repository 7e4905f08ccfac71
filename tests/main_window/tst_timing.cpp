// Solves and series on the main window, driven with the fake clock and direct
// ticks: countdown, running clock, alarm, stop, colours, average, saving,
// restore, and the failures on the way.

#include "main_fixture.h"
#include "support/test_main.h"

#include <QApplication>

using namespace spinlog;
using namespace spinlog::test;

class TimingTest : public QObject {
    Q_OBJECT
private slots:
    void countdownCancelAndTheThreeWaysToPress()
    {
        MainFixture f("[Option]\r\nCntDownTm=3\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmbType->setFocus();
        QTest::keyClick(w.cmbType, Qt::Key_A);  // only Enter starts from the type list
        QTest::keyClick(w.cmbType, Qt::Key_Return, Qt::ShiftModifier);
        w.tmrCountDown_Timer();
        QTest::keyClick(&w, Qt::Key_F5);  // cancelled: nothing recorded
        QCOMPARE(f.state() + w.lblTm->text(), kIdleEmpty + '3');
        QTest::mouseClick(w.cmdStartStop, Qt::LeftButton);
        QCOMPARE(f.state(), kCountdown);
        QStringList shown{w.lblTm->text()};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(f.world.sound.played.isEmpty());
            f.world.clock.advanceMs(1000);
            w.tmrCountDown_Timer();
            shown << w.lblTm->text();
        }
        QCOMPARE(shown, QStringList({"3", "2", "1", "0"}));
        // Timing begins on the tick that shows 0, with the start sound.
        QCOMPARE(f.state(), kTiming);
        QCOMPARE(f.world.sound.played, QStringList{f.folder.file(QStringLiteral("Sound.wav"))});
        f.world.clock.advanceMs(1234);
        f.press();
        QCOMPARE(f.work(), QStringList{"1|1.23|1.23"});  // the countdown is not timed
        f.press();
        f.press();  // a cancel with a solve in keeps the type fixed
        QCOMPARE(f.state(), kIdleUnderWay);
    }

    void runningDisplayAndAlarm()
    {
        for (auto [alarm, sounds] : {std::pair{"30", 5}, {"0", 1}, {"00", 1}}) {
            MainFixture f(QByteArray("[Option]\r\nCntDownTm=0\r\nAlarmTm=") + alarm + "\r\n");
            frmMain &w = f.open();
            f.press();
            QStringList shown{w.lblTm->text()};  // the old text until the first tick
            for (int second = 1; second <= 125; ++second) {
                w.tmrCount_Timer();
                if (second == 1 || second == 10 || second == 65 || second == 120)
                    shown << w.lblTm->text();
            }
            QCOMPARE(shown, QStringList({"0", "1", "10", "1:05", "2:00"}));
            // The start, then 30, 60, 90, 120 s.
            QCOMPARE(f.world.sound.played.size(), sounds);
        }
    }

    void solveTimesAreRoundedToHundredths()
    {
        for (auto [ns, row] : {std::pair{9'996'000'000LL, "1|10.00|10.0"},
                               {4'000'000LL, "1|0.00|0.0"},
                               {9'994'999'999LL, "1|9.99|9.99"},
                               {65'430'000'000LL, "1|1:05.43|65.43"},
                               {3'725'504'000'000LL, "1|1:02:05.50|3725.5"}}) {
            MainFixture f(kNoWaiting);
            frmMain &w = f.open();
            f.press();
            f.world.clock.ns += ns;
            f.press();
            QCOMPARE(f.work(), QStringList{row});
            const QString time = QString::fromLatin1(row).section('|', 1, 1);
            QCOMPARE(w.lblTm->text() + '|' + w.lblTime[1]->text(), time + '|' + time);
        }
    }

    void everyStateColourAndTheQuestion()
    {
        MainFixture f("[Option]\r\nCntDownTm=2\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        f.world.prompts.answers = {Answer::No};
        QStringList states{f.state()}, colours;
        for (int ms : {10000, 10000, 12000, 11000, 13000}) {
            f.press();
            states << f.state();
            w.tmrCountDown_Timer();
            w.tmrCountDown_Timer();
            states << f.state();
            f.world.clock.advanceMs(ms);
            f.press();
            states << f.state();
            colours << f.colours().left(5);
        }
        QStringList expected{kIdleEmpty};
        for (int i = 0; i < 4; ++i) expected << kCountdown << kTiming << kIdleUnderWay;
        QCOMPARE(states, expected << kCountdown << kTiming << kComplete);  // save declined
        // One solve shows best; ties: the lowest number best, the highest worst.
        QCOMPARE(colours, QStringList({"bdddd", "bwddd", "bdwdd", "bdwdd", "bdddw"}));
        QCOMPARE(f.world.prompts.texts(), QStringList{"平均タイム: 11.00\r\n結果を保存しますか"});
        QCOMPARE(f.world.prompts.boxes[0].icon, Icon::Question);
        w.M_File[2]->trigger();  // reset, Yes
        QCOMPARE(f.state(), kIdleEmpty);
        QVERIFY(f.work().isEmpty());
    }

    void savedSeriesRowAndTheNewBestValues()
    {
        MainFixture f(kNoWaiting);
        f.exec(
            QStringLiteral("insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, "
                           "AveTimeSS) values ('1', '1:01.00', 61, '1:10.00', 70)"));
        frmMain &w = f.open();
        f.world.clock.now = QDateTime(QDate(2007, 5, 12), QTime(14, 3, 9));
        for (int ms : {60000, 65400, 70800, 70800, 59000}) f.solve(ms);
        QCOMPARE(f.rows("select * from T_Time where DateTime is not null"),
                 QStringList{"2007/05/12 14:03:09|1|1:00.00|1:05.40|1:10.80|1:10.80|59.00|-|-|-|-|"
                             "-|-|-|1:05.40|65.4|5|59.00|59.0|4|1:10.80|70.8"});
        QCOMPARE(f.state(), kIdleEmpty);
        QVERIFY(f.work().isEmpty());
        QCOMPARE(f.shownTexts().join("") + f.colours() + w.lblAveTime->text() + w.lblTm->text(),
                 QString(12, u'd') + '0');
        QCOMPARE(w.lblBTm->text() + ' ' + w.lblBAveTm->text(), QStringLiteral("59.00 1:05.40"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void declinedThenAFailedSaveThenSaved()
    {
        MainFixture f(kNoWaiting);
        f.exec(QStringLiteral("update MT_Type set TypeCnt=2, TypeBW='1' where TypeID='1'"));
        frmMain &w = f.open();
        f.world.prompts.answers = {Answer::No};
        f.solve(10000);
        f.solve(10250);
        QCOMPARE(f.state(), kComplete);
        // The history table is gone when the user says Yes from the menu.
        f.exec(QStringLiteral("alter table T_Time rename to T_Away"));
        w.M_File[4]->trigger();
        const QStringList texts = f.world.prompts.texts();
        QCOMPARE(texts.mid(0, 2), QStringList(2, "平均タイム: 10.12\r\n結果を保存しますか"));
        QVERIFY(texts.value(2).startsWith("保存エラー\r\n"));
        QVERIFY(f.log().contains("[frmMain]-[Sub_Save] "));
        QCOMPARE(f.state(), kComplete);
        QCOMPARE(f.work().size(), 2);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        f.exec(QStringLiteral("alter table T_Away rename to T_Time"));
        w.M_File[4]->trigger();
        QCOMPARE(f.rows("select AveTime from T_Time"), QStringList{"10.12"});  // half to even
        QCOMPARE(f.state(), kIdleEmpty);
    }

    void seriesComesBackAtStart()
    {
        const QStringList times{"12.00", "10.00", "13.50", "1:00.00", "13.25"};
        for (int solves : {3, 5}) {
            MainFixture f(kNoWaiting);
            for (int n = 1; n <= solves; ++n)
                f.exec(QStringLiteral("insert into W_Time values (?, ?, ?)"),
                       {n, times[n - 1], n == 4 ? 60.0 : times[n - 1].toDouble()});
            frmMain &w = f.open();
            QCOMPARE(f.shownTexts().mid(0, solves), times.mid(0, solves));
            QVERIFY(f.world.prompts.boxes.empty());
            if (solves == 3) {
                QCOMPARE(f.colours().left(4) + w.lblAveTime->text(), QStringLiteral("dbwd"));
                QCOMPARE(f.state(), kIdleUnderWay);
                f.solve(11000);
                QCOMPARE(f.work().last(), QStringLiteral("4|11.00|11.0"));
            } else {
                QCOMPARE(f.colours().left(4) + w.lblAveTime->text(), QStringLiteral("dbdw12.92"));
                QCOMPARE(f.state(), kComplete);  // the question waits for the save item
            }
        }
    }

    void closingWhileTheClockRuns()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        w.show();
        f.press();
        w.tmrCount_Timer();
        f.world.clock.advanceMs(7900);  // ticks held up
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{"計測中です、計測を停止してから終了してください"});
        QCOMPARE(f.state(), kTiming);
        w.tmrCount_Timer();
        QCOMPARE(w.lblTm->text(), QStringLiteral("8"));  // on from the true elapsed time
        QCOMPARE(f.folder.read(QStringLiteral("Spinlog.ini")), kNoWaiting);
        QCOMPARE(f.world.app.ended, 0);
    }

    void failuresLeaveAWindowThatStillWorks()
    {
        // A countdown that is no number: reported, nothing started.
        MainFixture f("[Option]\r\nCntDownTm=abc\r\nAlarmTm=x\r\n");
        frmMain &w = f.open();
        f.press();
        QCOMPARE(f.state(), kIdleEmpty);
        // An alarm that is no number: one box per tick, none piling up while
        // one is open; the display goes on.
        f.world.program.settings.CntDownTm = QStringLiteral("0");
        f.press();
        f.world.prompts.onMessage = [&](const ShownBox &) { w.tmrCount_Timer(); };
        w.tmrCount_Timer();
        f.world.prompts.onMessage = nullptr;
        QCOMPARE(w.lblTm->text(), QStringLiteral("1"));
        // A solve that cannot be stored: no label shows it.
        f.exec(QStringLiteral("drop table W_Time"));
        f.world.clock.advanceMs(12340);
        f.press();
        QCOMPARE(w.lblTm->text() + w.lblTime[1]->text(), QStringLiteral("12.34"));
        QCOMPARE(f.state(), kIdleEmpty);
        const QStringList texts = f.world.prompts.texts();
        QCOMPARE(texts.mid(0, 2), QStringList({"計測開始/停止エラー\r\n型が一致しません。",
                                               "計測タイマエラー\r\n型が一致しません。"}));
        QVERIFY(texts.size() == 3 && texts[2].startsWith("計測開始/停止エラー\r\n"));
        QVERIFY(f.log().contains("[frmMain]-[Sub_StartStop] ") &&
                f.log().contains("[frmMain]-[tmrCount_Timer] "));
    }
};
SPINLOG_TEST(TimingTest)

#include "tst_timing.moc"
