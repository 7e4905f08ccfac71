// The main window as a user drives it, over fakes, looked at through its
// controls' object names.

#include "app/log_reading.h"
#include "app/mdb.h"
#include "app/ui/startup.h"
#include "data/record_stores.h"
#include "interop/history_importer.h"
#include "main_window/ui/main_window.h"
#include "session/series_rules.h"
#include "stats/ui/stats_window.h"
#include "support/fakes.h"
#include "support/history_world.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"
#include "widgets/units.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace spinlog;
using namespace spinlog::test;

namespace {

const QByteArray kNoWaiting = "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n";

// The main window over a program's open records, as start-up makes it, with
// the menus' windows replaced.
std::unique_ptr<frmMain> mainWindow(Program &p, MainWindowCommands commands = {})
{
    p.session = std::make_unique<SolveSession>(p.settings, p.records->series);
    return std::make_unique<frmMain>(
        MainWindowParts{p.settings, p.seams.prompts, p.seams.clock, p.seams.app, p.reporter,
                        *p.session, p.records->types, p.records->history, p.records->historyList},
        std::move(commands));
}

// A fresh application folder, the database open and the settings read as
// start-up does.
struct MainFixture {
    explicit MainFixture(const QByteArray &ini, const QStringList &sql = {},
                         std::optional<MainWindowCommands> commands = MainWindowCommands())
    {
        folder.write("Spinlog.ini", ini);
        if (!Fun_MDBOpen(world.program, folder.file("Spinlog.mdb")))
            throw std::runtime_error("cannot open the test database");
        for (const QString &statement : sql) exec(statement);
        world.program.settings.load();
        // Without commands of the test's own: as start-up wires it.
        window = commands ? mainWindow(world.program, std::move(*commands))
                          : makeMainWindow(world.program);
    }
    void exec(const QString &sql) { world.program.records->database().execute(sql); }
    int count(const char *table) { return rowsOf(world.program.records->database(), table).size(); }
    template <typename T = QLabel>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QString text(const char *label) const { return child(label)->text(); }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QComboBox *types() const { return child<QComboBox>("cmbType"); }
    void press() { action("M_File1")->trigger(); }  // the start/stop item (F5)
    void solve(std::int64_t ms)
    {
        press();
        world.clock.advanceMs(ms);
        press();
    }
    // Caption; button, type list, start/stop item, reset, save, options
    // enabled; the large clock's colour; the status text.
    QString state() const
    {
        QString s = child<QPushButton>("cmdStartStop")->text() + u' ';
        for (bool on : {child<QPushButton>("cmdStartStop")->isEnabled(), types()->isEnabled(),
                        action("M_File1")->isEnabled(), action("M_File2")->isEnabled(),
                        action("M_File4")->isEnabled(), action("M_Tool3")->isEnabled()})
            s += on ? u'1' : u'0';
        const QColor clock = child("lblTm")->palette().color(QPalette::Window);
        return s + u' ' + QString::number(bgrFromColor(clock)) + u' ' + text("statusPanel");
    }
    // The texts of the solve labels shown, in their order.
    QString solves() const
    {
        QStringList texts;
        for (const QLabel *l : window->findChildren<QLabel *>(QRegularExpression("^lblTime\\d+$")))
            texts << (l->isHidden() ? "" : l->text() + ',');
        return texts.join("");
    }

    TempAppFolder folder;
    FakeWorld world{folder.path()};
    std::unique_ptr<frmMain> window;
};

const QString kIdleEmpty = "計測開始 111101 16777215 ";
const QString kIdleUnderWay = "計測開始 101100 16777215 ";
const QString kCountdown = "計測停止 101000 12632319 ";
const QString kTiming = "計測停止 101000 16761024 計測中...";
const QString kComplete = "計測開始 000110 16777215 ";

// A key as the window system delivers it, pressed or auto-repeated.
void key(QWidget *widget, Qt::Key code, bool repeat = false)
{
    QTest::simulateEvent(widget, true, code, Qt::NoModifier, QString(), repeat);
    if (!repeat)
        QTest::simulateEvent(widget, false, code, Qt::NoModifier, QString(), false);
}

// A key event as a window system sends a held key: at a moment (ms), marked
// as a repeat or not.
void keyAt(QWidget *widget, QEvent::Type type, Qt::Key code, quint64 ms, bool repeat = false)
{
    QKeyEvent event(type, code, Qt::NoModifier, code == Qt::Key_Space ? " " : "", repeat);
    event.setTimestamp(ms);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // A countdown of 2: pink while it shows 2 and 1, blue from the tick that
    // shows 0; five solves, the last one completing the series.
    void controlsOfEveryState()
    {
        MainFixture f("[Option]\r\nCntDownTm=2\r\nAlarmTm=0\r\n");
        f.world.prompts.answers = {Answer::No};  // the save question
        QStringList states{f.state()}, expected{kIdleEmpty};
        for (int i = 0; i < 5; ++i) {
            for (int step = 0; step < 3; ++step) {  // the press, then two ticks
                step == 0 ? f.press() : f.window->tmrCountDown_Timer();
                states << f.state() + f.text("lblTm");
            }
            f.world.clock.advanceMs(10000 + 500 * i);
            f.press();
            states << f.state();
            expected << kCountdown + '2' << kCountdown + '1' << kTiming + '0'
                     << (i < 4 ? kIdleUnderWay : kComplete);
        }
        QCOMPARE(states, expected);
        // Precise timers: a coarse one drifts late by tens of milliseconds a tick.
        for (const char *name : {"tmrCount", "tmrCountDown"}) {
            const QTimer *timer = f.window->findChild<QTimer *>(name);
            QCOMPARE(std::pair(timer->timerType(), timer->interval()),
                     std::pair(Qt::PreciseTimer, 1000));
        }
        QCOMPARE(f.world.prompts.texts(), QStringList{"平均タイム: 11.00\r\n結果を保存しますか"});
        f.action("M_File2")->trigger();  // reset, Yes
        QCOMPARE(f.state() + f.text("lblTm"), kIdleEmpty + u'2');
        QCOMPARE(f.count("select * from W_Time"), 0);
    }

    // Enter in the type list, Space or Enter on the button: a held key, one press.
    void threeWaysToPressAndHeldKeys()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = *f.window;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *button = f.child<QPushButton>("cmdStartStop");
        f.types()->setFocus();
        key(f.types(), Qt::Key_A);
        key(f.types(), Qt::Key_Return);
        key(f.types(), Qt::Key_Return, true);
        QCOMPARE(f.state(), kTiming);
        key(f.types(), Qt::Key_Enter);
        button->setFocus();
        key(button, Qt::Key_Space);
        key(button, Qt::Key_Return, true);
        key(button, Qt::Key_Space, true);
        QCOMPARE(f.state(), kTiming);
        key(button, Qt::Key_Return);
        QCOMPARE(f.count("select * from W_Time"), 2);
    }

    // Space held on the focused button for two seconds: one start, at its
    // first key-down, whether the repeats come marked or as release and
    // press pairs of one moment; the next real press stops the clock.
    void heldSpaceOnTheButtonIsOnePress()
    {
        MainFixture f(kNoWaiting);
        auto *button = f.child<QPushButton>("cmdStartStop");
        keyAt(button, QEvent::KeyPress, Qt::Key_Space, 1000);
        QCOMPARE(f.state(), kTiming);
        for (quint64 at = 1500; at < 3000; at += 30) {
            const bool marked = at % 60 == 0;
            keyAt(button, QEvent::KeyRelease, Qt::Key_Space, at, marked);
            keyAt(button, QEvent::KeyPress, Qt::Key_Space, at, marked);
        }
        keyAt(button, QEvent::KeyRelease, Qt::Key_Space, 3020);
        QCOMPARE(f.state() + QString::number(f.count("select * from W_Time")), kTiming + '0');
        f.world.clock.advanceMs(4000);
        keyAt(button, QEvent::KeyPress, Qt::Key_Space, 5000);
        keyAt(button, QEvent::KeyRelease, Qt::Key_Space, 5100);
        QCOMPARE(f.state() + f.solves(), kIdleUnderWay + "4.00,,,,,");
    }

    // Hold-to-start: Space held two seconds, released, and pressed 1.02 s
    // later stores 1.02, however the repeats come: marked, or as release and
    // press pairs of one moment, the first of them taken by a loaded
    // machine with the event loop running, and 30 ms going by, between the
    // pair's release and its press.
    void holdToStartTimesFromTheRelease_data()
    {
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("repeats marked") << true << false;
        QTest::newRow("pairs of one moment") << false << false;
        QTest::newRow("pairs of one moment, a loaded machine") << false << true;
    }
    void holdToStartTimesFromTheRelease()
    {
        QFETCH(bool, marked);
        QFETCH(bool, loaded);
        MainFixture f("[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\nHoldToStart=1\r\n");
        auto *button = f.child<QPushButton>("cmdStartStop");
        quint64 clock = 1000;  // the fake clock's reading, in the events' milliseconds
        const auto advanceTo = [&](quint64 ms) {
            f.world.clock.advanceMs(std::int64_t(ms - clock));
            clock = ms;
        };
        const auto event = [&](QEvent::Type type, quint64 ms, bool repeat) {
            advanceTo(std::max(ms, clock));
            keyAt(button, type, Qt::Key_Space, ms, repeat);
        };
        event(QEvent::KeyPress, 1000, false);
        // The first repeat after the delay, then one every 40 ms.
        for (quint64 ms = 1660; ms < 3000; ms += 40) {
            const bool first = ms == 1660;
            event(QEvent::KeyRelease, ms, marked && !(loaded && first));
            if (loaded && first) {
                QCoreApplication::processEvents();
                advanceTo(ms + 30);
                QCoreApplication::processEvents();
                QVERIFY(!f.state().startsWith("計測停止"));
            }
            event(QEvent::KeyPress, ms, marked && !(loaded && first));
        }
        event(QEvent::KeyRelease, 3000, false);
        advanceTo(3060);
        QTRY_COMPARE(f.state(), kTiming);
        event(QEvent::KeyPress, 4020, false);
        QCOMPARE(f.solves(), "1.02,,,,,");
    }

    // With hold-to-start a held Space starts the countdown and the next
    // press cancels it, as without the option; Escape takes back an
    // inspection begun by mistake, storing nothing.
    void countdownAndInspectionTakenBack()
    {
        MainFixture f("[Option]\r\nCntDownTm=5\r\nAlarmTm=0\r\nHoldToStart=1\r\n");
        auto *button = f.child<QPushButton>("cmdStartStop");
        keyAt(button, QEvent::KeyPress, Qt::Key_Space, 1000);
        f.world.clock.advanceMs(400);
        keyAt(button, QEvent::KeyRelease, Qt::Key_Space, 1400);
        f.world.clock.advanceMs(60);  // no repeat's press came
        QTRY_COMPARE(f.state(), kCountdown);
        keyAt(button, QEvent::KeyPress, Qt::Key_Space, 2000);
        QCOMPARE(f.state() + f.text("lblTm"), kIdleEmpty + "5");

        MainFixture wca("[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\nInspection=1\r\n");
        wca.press();  // the inspection, then the solve
        wca.solve(12340);
        wca.press();
        QCOMPARE(wca.text("lblTm"), "15");
        QTest::keyClick(wca.window.get(), Qt::Key_Escape);
        QCOMPARE(
            wca.state() + wca.text("lblTm") + QString::number(wca.count("select * from W_Time")),
            kIdleUnderWay + "12.34" + "1");
    }

    // Ctrl+2 and Ctrl+3 mark the last solve +2 and DNF; the series saved at
    // its last solve keeps the marks, the DNF its worst and left out.
    void penaltiesByKeys()
    {
        MainFixture f(kNoWaiting);
        f.window->show();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        for (int i = 0; i < 5; ++i) {
            f.solve(10000 + 1000 * i);
            if (i == 1 || i == 3)
                QTest::keyClick(f.window.get(), i == 1 ? Qt::Key_2 : Qt::Key_3,
                                Qt::ControlModifier);
        }
        QCOMPARE(rowsOf(f.world.program.records->database(),
                        "select Time1, Time2, Time4, AveTime, BestTimeNo, WorstTimeNo from T_Time"),
                 QStringList{"10.00|13.00+|DNF|13.00|1|4"});
    }

    // Declined at first, saved from the menu after a first try fails; the
    // best values follow.
    void savedSeriesAndTheBestValues()
    {
        MainFixture f(kNoWaiting, {"update MT_Type set TypeCnt=2, TypeBW='1' where TypeID='1'",
                                   "insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, "
                                   "AveTimeSS) values ('1', '11.00', 11, '12.00', 12)"});
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm"), QString("11.00 12.00"));
        f.world.prompts.answers = {Answer::No};
        f.solve(10000);
        f.solve(13000);
        f.exec("alter table T_Time rename to T_Away");
        f.action("M_File4")->trigger();
        QVERIFY(f.world.prompts.texts().last().startsWith("保存エラー\r\n"));
        QCOMPARE(f.state() + QString::number(f.count("select * from W_Time")), kComplete + '2');
        QVERIFY(!QApplication::overrideCursor());
        f.exec("alter table T_Away rename to T_Time");
        f.action("M_File4")->trigger();
        QCOMPARE(f.state() + f.solves(), kIdleEmpty + ",,");
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm") + ' ' + f.text("lblAveTime"),
                 QString("10.00 11.50 "));
    }

    // The status bar's ao5 and ao12 of the type's saved solves follow the
    // type chosen and each save.
    void recentAveragesInTheStatusBar()
    {
        const QString series =
            "insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, "
            "AveTimeSS, Time1, Time2, Time3, Time4, Time5) values ('1', "
            "'10.00', 10, '12.00', 12, '10.00', '11.00', '12.00', '13.00', "
            "'14.00')";
        MainFixture f(kNoWaiting, {series, series}, std::nullopt);
        f.types()->setCurrentIndex(1);
        QCOMPARE(f.text("statusAverages"), "ao5: -  ao12: -");
        f.types()->setCurrentIndex(0);
        QCOMPARE(f.text("statusAverages"), "ao5: 12.00  ao12: -");
        for (int i = 0; i < 5; ++i) f.solve(9000);
        QCOMPARE(f.text("statusAverages"), "ao5: 9.00  ao12: 10.90");
    }

    // While a series is under way the status bar's current ao5 and the
    // statistics window's are one figure, its solves counted in both; a
    // type renamed shows in both at once, the series kept.
    void statusBarAndStatisticsAgree()
    {
        const QString series =
            "insert into T_Time (DateTime, TypeID, BestTime, BestTimeSS, AveTime, AveTimeSS, "
            "Time1, Time2, Time3, Time4, Time5) values ('2007/05/01 10:00:00', '1', '10.00', 10, "
            "'12.00', 12, '10.00', '11.00', '12.00', '13.00', '14.00')";
        MainFixture f(kNoWaiting, {series, series}, std::nullopt);
        f.window->show();
        f.action("M_ToolStats")->trigger();
        auto *stats = f.window->findChild<StatsWindow *>();
        QVERIFY(stats && stats->isVisible());
        const auto statsAo5 = [stats] {
            return stats->findChild<QTableWidget *>("tblFigures")->item(8, 0)->text();
        };
        const auto barAo5 = [&f] { return f.text("statusAverages").section(' ', 1, 1); };
        QCOMPARE(barAo5(), "12.00");
        QCOMPARE(statsAo5(), "12.00");
        f.solve(9000);
        f.solve(9500);
        // 12, 13, 14, 9.00 and 9.50: the best and the worst left out.
        QTRY_COMPARE(statsAo5(), "11.50");
        QCOMPARE(barAo5(), "11.50");
        // An import of older solves, saved last: counted where they were done.
        f.world.program.records->history.add(seriesOfAttempts(
            "2007/04/30 10:00:00", TypeId("1"), std::vector<Attempt>(5, {2000, Penalty::None}),
            AverageRule::LeaveOutBestWorst));
        QTRY_COMPARE(stats->findChild<QTableWidget *>("tblFigures")->item(0, 0)->text(), "17");
        QCOMPARE(statsAo5(), "11.50");
        QCOMPARE(barAo5(), "11.50");
        // Twelve solves of 2006 imported: two series and two solves without
        // one, all counted, none of them current.
        f.folder.write("older.txt", twelveSolves("3x3x3").replace("17000000", "11500000"));
        HistoryImporter importer(f.world.program.records->history, f.world.program.records->types);
        HistoryImport older = importer.plan(f.folder.file("older.txt"));
        QVERIFY(importer.run(older, QDateTime()));
        QTRY_COMPARE(stats->findChild<QTableWidget *>("tblFigures")->item(0, 0)->text(), "29");
        QCOMPARE(statsAo5(), "11.50");
        QCOMPARE(barAo5(), "11.50");

        std::vector<PuzzleType> renamed = f.world.program.records->types.all();
        renamed[0].name = "3x3x3 OH";
        f.world.program.records->types.rewrite(renamed);
        QCOMPARE(stats->findChild<QComboBox *>("cmbType")->itemText(1), "3x3x3 OH");
        QTRY_COMPARE(f.types()->currentText(), "3x3x3 OH");
        QCOMPARE(f.solves(), "9.00,9.50,,,,");
    }

    // Types after the fifth listed by number here and in the statistics,
    // chosen by DefType, saved under their TypeID; the type taken out gives
    // way to the first without a box, one with a series under way stays.
    void typesAfterTheFifth()
    {
        QStringList sql{
            "CREATE TABLE MT_TypeExtra (TypeID TEXT, TypeNm TEXT, TypeCnt INTEGER, "
            "TypeBW TEXT, ImportID TEXT)"};
        for (int n = 20; n >= 6; --n)
            sql << QString("insert into MT_TypeExtra values ('%1', 'type %1', 2, '1', '')").arg(n);
        MainFixture f("[Main]\r\nDefType=12\r\n" + kNoWaiting, sql, std::nullopt);
        QCOMPARE(f.types()->itemText(9) + ' ' + f.types()->currentText(), "type 10 type 13");
        f.action("M_ToolStats")->trigger();
        const auto *stats = f.window->findChild<StatsWindow *>()->findChild<QComboBox *>("cmbType");
        QCOMPARE(
            QString("%1 %2 ").arg(f.types()->count()).arg(stats->count()) + stats->itemText(13),
            "20 21 type 13");
        f.solve(5000);
        f.solve(7000);
        QCOMPARE(rowsOf(f.world.program.records->database(), "select TypeID, AveTime from T_Time"),
                 QStringList("13|6.00"));

        PuzzleTypeStore &types = f.world.program.records->types;
        const QStringList boxes = f.world.prompts.texts();  // the save's question
        f.types()->setCurrentIndex(13);                     // type 14
        std::vector<PuzzleType> all = types.all();
        all.erase(all.begin() + 13);
        types.rewrite(all, {TypeId("14")});
        QTRY_COMPARE(f.types()->count(), 19);
        QCOMPARE(f.types()->currentIndex(), 0);
        QCOMPARE(f.world.prompts.texts(), boxes);
        f.types()->setCurrentIndex(13);  // type 15, a solve under way
        f.solve(4000);
        all.erase(all.begin() + 6);
        types.rewrite(all, {TypeId("7")});
        QTRY_COMPARE(f.types()->count(), 18);
        QCOMPARE(f.types()->currentText() + ' ' + f.solves(), "type 15 4.00,,");
    }

    // A crash after the first solve must not move the series to the type
    // the last clean exit stored.
    void aCrashKeepsTheSeriesUnderItsType()
    {
        MainFixture f(kNoWaiting);
        f.types()->setCurrentIndex(4);  // 3x3x3目隠し, three solves
        f.solve(12340);
        f.window.reset();  // killed: no exit sequence
        f.world.program.session.reset();
        f.world.program.records.reset();
        FakeWorld next(f.folder.path());
        QVERIFY(Fun_MDBOpen(next.program, f.folder.file("Spinlog.mdb")));
        next.program.settings.load();
        const auto again = mainWindow(next.program);
        QCOMPARE(again->findChild<QComboBox *>("cmbType")->currentIndex(), 4);
        QCOMPARE(next.program.session->solves().size(), std::size_t(1));
    }

    // Refused while the clock runs; the display goes on from the true
    // elapsed time after ticks were held up.
    void refusedExitWhileTheClockRuns()
    {
        MainFixture f(kNoWaiting);
        f.window->show();
        f.press();
        f.window->tmrCount_Timer();
        f.world.clock.advanceMs(7900);
        f.window->close();
        QVERIFY(f.window->isVisible());
        f.window->tmrCount_Timer();
        QCOMPARE(f.state() + f.text("lblTm"), kTiming + '8');
    }

    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("ended");
        QTest::addColumn<int>("type");
        QTest::newRow("no type chosen at the last exit")
            << QByteArray("[Main]\r\nDefType=-1\r\n") << "" << 0 << 0;
        QTest::newRow("a type past the list")
            << QByteArray("[Main]\r\nDefType=5\r\n")
            << "タイプセットエラー\r\nプロパティの値が不正です。" << 0 << 0;
        QTest::newRow("the last type") << QByteArray("[Main]\r\nDefType=4\r\n") << "" << 0 << 4;
    }
    void loadFailures()
    {
        QFETCH(QByteArray, ini);
        MainFixture f(ini);
        QTEST(f.world.prompts.texts().join(""), "report");
        QTEST(f.world.app.ended, "ended");
        QTEST(f.types()->currentIndex(), "type");
    }

    // A type whose count cannot be timed says so when chosen and at every
    // press, and stores nothing; the other types time as ever.
    void aTypeThatCannotBeTimed()
    {
        MainFixture f(kNoWaiting, {"update MT_Type set TypeCnt=NULL where TypeID='1'"});
        const QString told =
            "タイプ「3x3x3」の回数(なし)では計測できません。\r\n"
            "オプションのタイプ設定で回数を1～12から選んでください";
        QCOMPARE(f.world.prompts.texts(), QStringList{told});
        f.solve(5000);
        QCOMPARE(f.world.prompts.texts(), QStringList(3, told));
        QCOMPARE(f.state() + f.solves() + QString::number(f.count("select * from W_Time")),
                 kIdleEmpty + "0");
        f.types()->setCurrentIndex(1);
        f.solve(5000);
        QCOMPARE(f.solves(), "5.00,,,,,");
    }

    // A stored place that does not convert or is on no screen: the default
    // place, a log entry and no box; the next exit stores plain decimals.
    void unusablePlaces_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("logged");
        const QPoint usual(px(4000), px(5000));
        QTest::newRow("usable") << QByteArray("[Main]\r\nLeft=1500\r\nTop=750.5\r\n")
                                << QPoint(100, 50) << "";
        QTest::newRow("not a number")
            << QByteArray("[Main]\r\nTop=abc\r\n") << usual << "(Top=abc)";
        QTest::newRow("empty") << QByteArray("[Main]\r\nLeft=\r\n") << usual << "(Left=)";
        QTest::newRow("beyond a single")
            << QByteArray("[Main]\r\nLeft=1e40\r\n") << usual << "(Left=1e40)";
        QTest::newRow("off every screen")
            << QByteArray("[Main]\r\nTop=300000\r\n") << usual << "(Left=4000, Top=300000)";
        QTest::newRow("left of every screen")
            << QByteArray("[Main]\r\nLeft=-90000\r\n") << usual << "(Left=-90000, Top=5000)";
    }
    void unusablePlaces()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QPoint, at);
        QFETCH(QString, logged);
        const QPoint usual(px(4000), px(5000));
        MainFixture f(ini + "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n");
        QCOMPARE(f.world.prompts.texts(), QStringList());
        QCOMPARE(f.world.app.ended, 0);
        QCOMPARE(f.window->pos(), at);
        const QString log = logged.isEmpty() ? QString() : logTextAt(f.folder, 2);
        QCOMPARE(log, logged.isEmpty() ? QString()
                                       : "[frmMain]-[Form_Load] 位置の設定" + logged +
                                             "を使えないため、既定の値で表示しました");
        f.window->move(at.x(), at.y() + 1000);  // far down: plain decimals, no exponent
        f.action("M_File6")->trigger();
        const QByteArray stored = f.folder.read("Spinlog.ini");
        QVERIFY(stored.contains("Top=" + QByteArray::number((at.y() + 1000) * 15) + "\r\n"));
        QVERIFY(stored.contains(at == usual ? "Left=4000\r\n" : "Left=1500\r\n"));
    }

    // The options change the type's name, count and inspection; series deleted or added
    // while the history window is open show at its close.
    void optionsAndHistoryRefreshTheDisplay()
    {
        MainWindowCommands commands;
        MainFixture *fixture = nullptr;
        commands.openOptions = [&](QWidget *) {
            fixture->exec("update MT_Type set TypeNm='B', TypeCnt=2");
            fixture->world.program.settings.store(Setting::NoInspection, "5");
        };
        commands.openHistory = [&](QWidget *) {
            HistoryWriter &history = fixture->world.program.records->history;
            history.remove(rowsOf(fixture->world.program.records->database(),
                                  "select rowid from T_Time where AveTimeSS=60")
                               .first()
                               .toLongLong());
            history.removeListed(TypeFilter(TypeId("3")));  // another type's: nothing to read
        };
        MainFixture f(kNoWaiting,
                      {"insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, AveTimeSS) "
                       "values ('5', '59.00', 59, '1:00.00', 60)",
                       "insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, AveTimeSS) "
                       "values ('5', '1:11.00', 71, '1:12.00', 72)"},
                      commands);
        fixture = &f;
        f.types()->setCurrentIndex(4);
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm"), QString("59.00 1:00.00"));
        f.action("M_Tool3")->trigger();
        QCOMPARE(f.types()->currentText() + ' ' + f.solves(), QString("B ,,"));
        QVERIFY(!f.world.program.session->type().inspected);  // "auto" would inspect B
        // A delete in the history window shows in the best values at once.
        f.action("M_Tool1")->trigger();
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm"), QString("1:11.00 1:12.00"));
    }

    // A solve label's menu gives its solve a comment, which its label tells
    // and the save keeps; a cancel changes nothing.
    void aCommentOnASolve()
    {
        MainFixture f(kNoWaiting, {}, std::nullopt);
        f.window->show();
        f.types()->setCurrentIndex(4);  // three solves
        f.solve(5000);
        f.solve(6000);
        const auto comment = [&](const std::optional<QString> &answer) {
            f.world.prompts.inputs = {answer};
            QTimer::singleShot(0, [] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                menu->setActiveAction(menu->findChild<QAction *>("M_SolveComment"));
                QTest::keyClick(menu, Qt::Key_Return);
            });
            emit f.child("lblTime2")->customContextMenuRequested(QPoint(2, 2));
        };
        comment(QString("  a pop, lucky  "));
        QCOMPARE(f.child("lblTime2")->toolTip(), "コメント: a pop, lucky");
        comment(std::nullopt);
        QCOMPARE(f.world.prompts.inputShown.last(), "a pop, lucky");
        f.solve(7000);
        const SeriesRecord saved = f.world.program.records->history.series(1);
        QCOMPARE(saved.details[1].comment, "a pop, lucky");
        QCOMPARE(saved.details[0].comment + saved.details[2].comment, "");
    }

    // F6 shows the scramble for the next solve; a stored solve brings the
    // next one and keeps the one used; the window comes back at the next start.
    void scrambleWindow()
    {
        MainFixture f(kNoWaiting, {}, std::nullopt);  // the scramble window as start-up wires it
        f.window->show();
        f.types()->setCurrentIndex(1);  // 2x2x2
        auto *scramble = f.window->findChild<QWidget *>("frmScramble");
        f.action("M_ToolScramble")->trigger();
        auto *next = scramble->findChild<QLabel *>("lblScramble");
        QTRY_VERIFY_WITH_TIMEOUT(next->text().contains(u' '), 30000);
        const QString first = next->text();
        f.solve(5000);
        // The solve keeps the scramble the window showed and the moment it stopped.
        const SolveDetails &stored = f.world.program.session->solves().front().details;
        QCOMPARE(stored.scramble, first);
        QCOMPARE(stored.moment, f.world.clock.now.toMSecsSinceEpoch());
        QCOMPARE(f.child("lblTime1")->toolTip(), "スクランブル: " + first);
        QTRY_VERIFY_WITH_TIMEOUT(next->text().contains(u' ') && next->text() != first, 30000);
        QCOMPARE(scramble->findChild<QLabel *>("lblPrevious")->text(), "前回: " + first);
        scramble->move(300, 200);
        f.action("M_File2")->trigger();  // reset; type 5 renamed: a Pyraminx scramble and picture
        f.exec("update MT_Type set TypeNm='Pyraminx' where TypeID='5'");
        f.types()->setCurrentIndex(4);
        QTRY_VERIFY_WITH_TIMEOUT(next->text().contains(QRegularExpression("^([ULRB]'? ){5,}")),
                                 30000);
        const QImage picture = scramble->findChild<QWidget *>("picNet")->grab().toImage();
        QSet<QRgb> colours;  // the Pyraminx's four
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y));
        for (QRgb c : {qRgb(0, 155, 72), qRgb(200, 30, 40), qRgb(0, 70, 173), qRgb(255, 213, 0)})
            QVERIFY(colours.contains(c));
        f.exec("update MT_Type set TypeNm='FTO' where TypeID='3'");  // a type without scrambles
        f.types()->setCurrentIndex(2);
        QCOMPARE(next->text(), QString("このタイプのスクランブルはありません"));
        f.action("M_File6")->trigger();
        const QByteArray ini = f.folder.read("Spinlog.ini");
        QVERIFY(ini.contains("[Scramble]\r\nLeft=4500\r\nTop=3000\r\n") &&
                ini.contains("Visible=1"));
    }
};
SPINLOG_TEST(MainWindowTest)

#include "tst_main_window.moc"
