// The main window as a user drives it: the controls of every state, the three
// ways to press and held keys, saving, the series kept over a crash and a
// restart, the refused exit, load failures and the exit sequence.

#include "main_fixture.h"
#include "support/test_main.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// A key as the window system delivers it, pressed or auto-repeated.
void key(QWidget *widget, Qt::Key code, bool repeat = false)
{
    QTest::simulateEvent(widget, true, code, Qt::NoModifier, QString(), repeat);
    if (!repeat)
        QTest::simulateEvent(widget, false, code, Qt::NoModifier, QString(), false);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void controlsOfEveryState()
    {
        MainFixture f("[Option]\r\nCntDownTm=1\r\nAlarmTm=0\r\n");
        frmMain &w = f.open();
        f.world.prompts.answers = {Answer::No};  // the save question
        QStringList states{f.state()};
        for (int i = 0; i < 5; ++i) {
            f.press();
            states << f.state();
            w.tmrCountDown_Timer();
            states << f.state();
            f.world.clock.advanceMs(10000 + 500 * i);
            f.press();
            states << f.state();
        }
        QStringList expected{kIdleEmpty};
        for (int i = 0; i < 4; ++i) expected << kCountdown << kTiming << kIdleUnderWay;
        QCOMPARE(states, expected << kCountdown << kTiming << kComplete);
        QCOMPARE(f.world.prompts.texts(), QStringList{"平均タイム: 11.00\r\n結果を保存しますか"});
        f.action("M_File2")->trigger();  // reset, Yes
        QCOMPARE(f.state() + f.text("lblTm"), kIdleEmpty + u'1');
        QCOMPARE(f.count(QStringLiteral("W_Time")), 0);
    }

    void threeWaysToPressAndHeldKeys()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *types = f.child<QComboBox>("cmbType");
        auto *button = f.child<QPushButton>("cmdStartStop");
        types->setFocus();
        key(types, Qt::Key_A);  // only Enter presses from the type list
        key(types, Qt::Key_Return);
        key(types, Qt::Key_Return, true);  // held: one press
        QCOMPARE(f.state(), kTiming);
        key(types, Qt::Key_Enter);
        key(&w, Qt::Key_F5);
        key(&w, Qt::Key_F5, true);
        key(&w, Qt::Key_F5, true);
        QCOMPARE(f.state(), kTiming);
        key(&w, Qt::Key_F5);
        button->setFocus();
        key(button, Qt::Key_Space);
        key(button, Qt::Key_Return, true);
        key(button, Qt::Key_Space, true);
        QCOMPARE(f.state(), kTiming);
        key(button, Qt::Key_Return);
        QCOMPARE(f.count(QStringLiteral("W_Time")), 3);
        // Held F12 and F1 open one window each.
        int histories = 0;
        w.openHistory = [&] { ++histories; };
        key(&w, Qt::Key_F12);
        key(&w, Qt::Key_F12, true);
        key(&w, Qt::Key_F1);
        key(&w, Qt::Key_F1, true);
        QCOMPARE(histories, 1);
        QCOMPARE(f.world.shell.files.size(), 1);
    }

    void savedSeriesAndTheBestValues()
    {
        MainFixture f(kNoWaiting);
        f.exec(QStringLiteral("update MT_Type set TypeCnt=2, TypeBW='1' where TypeID='1'"));
        f.exec(
            QStringLiteral("insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, "
                           "AveTimeSS) values ('1', '11.00', 11, '12.00', 12)"));
        f.open();
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm"), QStringLiteral("11.00 12.00"));
        f.world.prompts.answers = {Answer::No};
        f.solve(10000);
        f.solve(13000);
        QCOMPARE(f.state(), kComplete);
        // Saved later from the menu, after a first try fails.
        f.exec(QStringLiteral("alter table T_Time rename to T_Away"));
        f.action("M_File4")->trigger();
        QVERIFY(f.world.prompts.texts().last().startsWith("保存エラー\r\n"));
        QVERIFY(f.log().contains("[frmMain]-[Sub_Save] "));
        QCOMPARE(f.state() + QString::number(f.count(QStringLiteral("W_Time"))), kComplete + '2');
        QVERIFY(QApplication::overrideCursor() == nullptr);
        f.exec(QStringLiteral("alter table T_Away rename to T_Time"));
        f.action("M_File4")->trigger();
        QCOMPARE(f.state(), kIdleEmpty);
        QCOMPARE(f.solves().join(u','), QStringLiteral(","));
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm") + ' ' + f.text("lblAveTime"),
                 QStringLiteral("10.00 11.50 "));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // A crash after the first solve must not move the series to the type
    // the last clean exit stored.
    void aCrashKeepsTheSeriesUnderItsType()
    {
        MainFixture f(kNoWaiting);
        f.open();
        f.child<QComboBox>("cmbType")->setCurrentIndex(4);  // 3x3x3目隠し, three solves
        f.solve(12340);
        f.window.reset();  // killed: no exit sequence
        f.world.program.gDB.reset();

        FakeWorld next(f.folder.path());
        QVERIFY(Fun_MDBOpen(next.program, f.folder.file(QStringLiteral("Spinlog.mdb"))));
        next.program.settings.load();
        frmMain again(next.program);
        auto *types = again.findChild<QComboBox *>(QStringLiteral("cmbType"));
        QCOMPARE(types->currentIndex(), 4);
        QCOMPARE(again.session().solves().size(), std::size_t(1));
        QCOMPARE(again.session().type().count, 3);
    }

    void refusedExitWhileTheClockRuns()
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
        w.tmrCount_Timer();
        QCOMPARE(f.state() + f.text("lblTm"), kTiming + '8');  // on from the true elapsed time
        QCOMPARE(f.folder.read(QStringLiteral("Spinlog.ini")), kNoWaiting);
        QCOMPARE(f.world.app.ended, 0);
    }

    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("ended");
        QTest::addColumn<int>("type");
        QTest::newRow("empty Top") << QByteArray("[Main]\r\nTop=\r\n")
                                   << "フォームロードエラー\r\n型が一致しません。" << 1 << -1;
        QTest::newRow("Left beyond any screen")
            << QByteArray("[Main]\r\nLeft=1e40\r\n")
            << "フォームロードエラー\r\nオーバーフローしました。" << 1 << -1;
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
        f.open();
        QTEST(f.world.prompts.texts().join(""), "report");
        QTEST(f.world.app.ended, "ended");
        QTEST(f.child<QComboBox>("cmbType")->currentIndex(), "type");
    }

    void exitWritesItsPlaceThenCompacts()
    {
        MainFixture f("; kept\r\n[Option]\r\nCntDownTm=15\r\n");
        frmMain &w = f.open();
        f.child<QComboBox>("cmbType")->setCurrentIndex(3);
        w.move(px(6000), px(4500));
        f.action("M_File6")->trigger();
        QCOMPARE(f.folder.read(QStringLiteral("Spinlog.ini")),
                 QByteArray("; kept\r\n[Option]\r\nCntDownTm=15\r\n"
                            "[Main]\r\nTop=4500\r\nLeft=6000\r\nDefType=3\r\n"));
        QCOMPARE(f.text("statusPanel"), QStringLiteral("MDB最適化中..."));
        QCOMPARE(f.world.app.ended, 1);
        QCOMPARE(QDir(f.folder.path()).entryList({"*.mdb"}), QStringList{"Spinlog.mdb"});
    }

    void optionsAndHistoryRefreshTheDisplay()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        f.child<QComboBox>("cmbType")->setCurrentIndex(4);
        w.openOptions = [&] {
            f.exec(QStringLiteral("update MT_Type set TypeNm='BLD', TypeCnt=2 where TypeID='5'"));
        };
        f.action("M_Tool3")->trigger();
        QCOMPARE(f.child<QComboBox>("cmbType")->currentText() + f.solves().join(u','),
                 QStringLiteral("BLD,"));
        // Series deleted or added while the history window is open show at
        // its close.
        f.exec(
            QStringLiteral("insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, "
                           "AveTimeSS) values ('5', '1:11.00', 71, '1:12.00', 72)"));
        QTimer::singleShot(0, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        w.show();
        f.action("M_Tool1")->trigger();
        QCOMPARE(f.text("lblBTm") + ' ' + f.text("lblBAveTm"), QStringLiteral("1:11.00 1:12.00"));
    }

    // F6 shows the scramble for the next solve; a stored solve brings the
    // next one and keeps the one used; the window comes back at the next start.
    void scrambleWindow()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        w.show();
        f.child<QComboBox>("cmbType")->setCurrentIndex(1);  // 2x2x2
        auto *scramble = w.findChild<QWidget *>(QStringLiteral("frmScramble"));
        f.action("M_ToolScramble")->trigger();
        QVERIFY(scramble->isVisible() && f.action("M_ToolScramble")->isChecked());
        auto *next = scramble->findChild<QLabel *>(QStringLiteral("lblScramble"));
        QTRY_VERIFY_WITH_TIMEOUT(next->text().contains(u' '), 30000);
        const QString first = next->text();
        f.solve(5000);
        QTRY_VERIFY_WITH_TIMEOUT(next->text().contains(u' ') && next->text() != first, 30000);
        QCOMPARE(scramble->findChild<QLabel *>(QStringLiteral("lblPrevious"))->text(),
                 QStringLiteral("前回: ") + first);
        scramble->move(300, 200);
        f.action("M_File2")->trigger();  // reset; then a type without scrambles
        f.exec(QStringLiteral("update MT_Type set TypeNm='Megaminx' where TypeID='3'"));
        f.child<QComboBox>("cmbType")->setCurrentIndex(2);
        QCOMPARE(next->text(), QStringLiteral("このタイプのスクランブルはありません"));
        f.action("M_File6")->trigger();
        QVERIFY(f.folder.read(QStringLiteral("Spinlog.ini"))
                    .contains("[Scramble]\r\nLeft=4500\r\nTop=3000\r\n"));
        QVERIFY(f.folder.read(QStringLiteral("Spinlog.ini")).contains("Visible=1"));
    }
};
SPINLOG_TEST(MainWindowTest)

#include "tst_main_window.moc"
