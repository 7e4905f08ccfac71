// Solves and series on the main window, driven with the fake clock and direct
// ticks: countdown, running clock, alarm, stop, colours, average, saving,
// restore, and the failures on the way.

#include "main_fixture.h"
#include "support/test_main.h"

#include <QApplication>

using namespace spinlog;
using namespace spinlog::test;

namespace {

void setFirstType(MainFixture &f, int count, const char *bw)
{
    f.exec(QStringLiteral("update MT_Type set TypeCnt=?, TypeBW=? where TypeID='1'"),
           {count, QString::fromLatin1(bw)});
}

}  // namespace

class TimingTest : public QObject {
    Q_OBJECT
private slots:
    void countdownCancelAndRunningClock()
    {
        MainFixture f("[Option]\r\nCntDownTm=3\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        f.press();
        w.tmrCountDown_Timer();
        f.press();  // cancelled: nothing recorded
        QCOMPARE(f.state() + w.lblTm->text(), kIdleEmpty + QLatin1Char('3'));
        f.press();
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

    void runningDisplayAndAlarm_data()
    {
        QTest::addColumn<QByteArray>("alarm");
        QTest::addColumn<int>("sounds");
        QTest::newRow("every 30 s") << QByteArray("30") << 1 + 4;  // start, 30, 60, 90, 120
        QTest::newRow("0") << QByteArray("0") << 1;
        QTest::newRow("00") << QByteArray("00") << 1;
    }
    void runningDisplayAndAlarm()
    {
        QFETCH(QByteArray, alarm);
        QFETCH(int, sounds);
        MainFixture f("[Option]\r\nCntDownTm=0\r\nAlarmTm=" + alarm + "\r\n");
        frmMain &w = f.open();
        f.press();
        QCOMPARE(w.lblTm->text(), QStringLiteral("0"));  // until the first tick
        QStringList shown;
        for (int second = 1; second <= 125; ++second) {
            w.tmrCount_Timer();
            if (QList<int>{1, 10, 65, 120}.contains(second))
                shown << w.lblTm->text();
        }
        QCOMPARE(shown, QStringList({"1", "10", "1:05", "2:00"}));
        QCOMPARE(f.world.sound.played.size(), sounds);
    }

    void solveTimesAreRoundedToHundredths_data()
    {
        QTest::addColumn<qint64>("ns");
        QTest::addColumn<QString>("row");
        QTest::newRow("9.996 s") << qint64(9'996'000'000) << "1|10.00|10.0";
        QTest::newRow("0.004 s") << qint64(4'000'000) << "1|0.00|0.0";
        QTest::newRow("just under") << qint64(9'994'999'999) << "1|9.99|9.99";
        QTest::newRow("a minute") << qint64(65'430'000'000) << "1|1:05.43|65.43";
        QTest::newRow("over an hour") << qint64(3'725'504'000'000) << "1|1:02:05.50|3725.5";
    }
    void solveTimesAreRoundedToHundredths()
    {
        QFETCH(qint64, ns);
        QFETCH(QString, row);
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        f.press();
        f.world.clock.ns += ns;
        f.press();
        QCOMPARE(f.work(), QStringList{row});
        QCOMPARE(w.lblTm->text(), row.section(u'|', 1, 1));
        QCOMPARE(w.lblTime[1]->text(), row.section(u'|', 1, 1));
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
        expected << kCountdown << kTiming << kComplete;  // save declined
        QCOMPARE(states, expected);
        // One solve shows best; ties: the lowest number best, the highest worst.
        QCOMPARE(colours, QStringList({"bdddd", "bwddd", "bdwdd", "bdwdd", "bdddw"}));
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("平均タイム: 11.00\r\n結果を保存しますか")});
        QCOMPARE(f.world.prompts.boxes[0].icon, Icon::Question);
        QCOMPARE(f.work().size(), 5);
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
        QCOMPARE(f.shownTexts(), empties(5));
        QCOMPARE(f.colours(), QString(12, u'd'));
        QCOMPARE(w.lblAveTime->text() + w.lblTm->text(), QStringLiteral("0"));
        QCOMPARE(w.lblBTm->text() + QLatin1Char(' ') + w.lblBAveTm->text(),
                 QStringLiteral("59.00 1:05.40"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void declinedThenAFailedSaveThenSaved()
    {
        MainFixture f(kNoWaiting);
        setFirstType(f, 2, "1");
        frmMain &w = f.open();
        f.world.prompts.answers = {Answer::No};
        f.solve(10000);
        f.solve(10250);
        QCOMPARE(f.state(), kComplete);
        // The history table is gone when the user says Yes from the menu.
        f.exec(QStringLiteral("alter table T_Time rename to T_Away"));
        w.M_File[4]->trigger();
        QCOMPARE(f.world.prompts.texts().mid(0, 2),
                 QStringList(2, QStringLiteral("平均タイム: 10.12\r\n結果を保存しますか")));
        QVERIFY(f.world.prompts.texts().value(2).startsWith(QStringLiteral("保存エラー\r\n")));
        QVERIFY(f.log().contains("[frmMain]-[Sub_Save] "));
        QCOMPARE(f.state(), kComplete);
        QCOMPARE(f.work().size(), 2);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        f.exec(QStringLiteral("alter table T_Away rename to T_Time"));
        w.M_File[4]->trigger();
        QCOMPARE(f.rows("select AveTime from T_Time"), QStringList{"10.12"});  // half to even
        QVERIFY(f.work().isEmpty());
        QCOMPARE(f.state(), kIdleEmpty);
    }

    void seriesComesBackAtStart_data()
    {
        QTest::addColumn<int>("solves");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("state");
        QTest::newRow("unfinished") << 3 << "" << kIdleUnderWay;
        QTest::newRow("complete, save declined") << 5 << "12.92" << kComplete;
    }
    void seriesComesBackAtStart()
    {
        QFETCH(int, solves);
        QFETCH(QString, average);
        QFETCH(QString, state);
        MainFixture f(kNoWaiting);
        const QStringList times{"12.00", "10.00", "13.50", "1:00.00", "13.25"};
        for (int n = 1; n <= solves; ++n)
            f.exec(QStringLiteral("insert into W_Time values (?, ?, ?)"),
                   {n, times[n - 1], n == 4 ? 60.0 : times[n - 1].toDouble()});
        frmMain &w = f.open();
        QCOMPARE(f.shownTexts().mid(0, solves), times.mid(0, solves));
        QCOMPARE(f.colours().left(4), solves == 3 ? QStringLiteral("dbwd") : "dbdw");
        QCOMPARE(w.lblAveTime->text(), average);
        QCOMPARE(f.state(), state);
        QVERIFY(f.world.prompts.boxes.empty());
        if (solves == 3) {
            f.solve(11000);
            QCOMPARE(f.work().last(), QStringLiteral("4|11.00|11.0"));
        }
    }

    void theThreeWaysToPress()
    {
        MainFixture f("[Option]\r\nCntDownTm=3\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmbType->setFocus();
        QTest::keyClick(w.cmbType, Qt::Key_A);  // other keys start nothing
        QCOMPARE(f.state(), kIdleEmpty);
        QTest::keyClick(w.cmbType, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(f.state(), kCountdown);
        QTest::keyClick(&w, Qt::Key_F5);
        QCOMPARE(f.state(), kIdleEmpty);
        QTest::mouseClick(w.cmdStartStop, Qt::LeftButton);
        QCOMPARE(f.state(), kCountdown);
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
                 QStringList{QStringLiteral("計測中です、計測を停止してから終了してください")});
        QCOMPARE(f.state(), kTiming);
        w.tmrCount_Timer();
        QCOMPARE(w.lblTm->text(), QStringLiteral("8"));  // on from the true elapsed time
        QCOMPARE(f.world.app.ended, 0);
        QCOMPARE(f.folder.read(QStringLiteral("Spinlog.ini")), kNoWaiting);
    }

    void failuresLeaveAWindowThatStillWorks()
    {
        // A countdown that is no number: reported, nothing started.
        MainFixture f("[Option]\r\nCntDownTm=abc\r\nAlarmTm=x\r\n");
        frmMain &w = f.open();
        f.press();
        QCOMPARE(f.world.prompts.texts().value(0),
                 QStringLiteral("計測開始/停止エラー\r\n型が一致しません。"));
        QCOMPARE(f.state(), kIdleEmpty);

        // An alarm that is no number: one box per tick, none piling up while
        // one is open; the display goes on.
        f.world.program.settings.CntDownTm = QStringLiteral("0");
        f.press();
        f.world.prompts.onMessage = [&](const ShownBox &) { w.tmrCount_Timer(); };
        w.tmrCount_Timer();
        f.world.prompts.onMessage = nullptr;
        QCOMPARE(f.world.prompts.texts().value(1),
                 QStringLiteral("計測タイマエラー\r\n型が一致しません。"));
        QCOMPARE(f.world.prompts.boxes.size(), size_t(2));
        QCOMPARE(w.lblTm->text(), QStringLiteral("1"));

        // A solve that cannot be stored: no label shows it.
        f.exec(QStringLiteral("drop table W_Time"));
        f.world.clock.advanceMs(12340);
        f.press();
        QVERIFY(
            f.world.prompts.texts().value(2).startsWith(QStringLiteral("計測開始/停止エラー\r\n")));
        QVERIFY(w.lblTime[1]->text().isEmpty());
        QCOMPARE(w.lblTm->text(), QStringLiteral("12.34"));
        QCOMPARE(f.state(), kIdleEmpty);
        for (const char *prefix : {"[frmMain]-[Sub_StartStop] ", "[frmMain]-[tmrCount_Timer] "})
            QVERIFY(f.log().contains(prefix));
    }
};
SPINLOG_TEST(TimingTest)

#include "tst_timing.moc"
