// The main window's layout, load, menus, reset and exit.

#include "main_fixture.h"
#include "support/test_main.h"
#include "widgets/units.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using namespace spinlog;
using namespace spinlog::test;

namespace {

const QString kLoadError = QStringLiteral("フォームロードエラー\r\n");

}  // namespace

class MainWindowLoadTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutSettings()
    {
        MainFixture f;
        frmMain &w = f.open();
        QCOMPARE(w.pos(), QPoint(px(4000), px(5000)));
        QCOMPARE(w.cmbType->currentIndex(), 0);
        QCOMPARE(w.cmbType->currentText(), QStringLiteral("3x3x3"));
        QCOMPARE(w.cmbType->count(), 5);
        QCOMPARE(f.shownLabels(), range(1, 5));
        for (int n = 1; n <= 12; ++n) {
            QVERIFY(w.lblTime[n]->text().isEmpty());
            QCOMPARE(frmMain::backColor(w.lblTime[n]), 14671839u);
        }
        QCOMPARE(w.lblBTm->text(), QStringLiteral("-"));
        QCOMPARE(w.lblBAveTm->text(), QStringLiteral("-"));
        QCOMPARE(w.lblTm->text(), QStringLiteral("15"));
        QCOMPARE(w.lblAveTime->text(), QString());
        QCOMPARE(w.cmdStartStop->text(), QStringLiteral("計測開始"));
        QVERIFY(!w.M_File[4]->isEnabled());
        QVERIFY(w.cmbType->isEnabled() && w.M_Tool[3]->isEnabled() && w.M_File[2]->isEnabled());
        QVERIFY(!w.tmrCount->isActive() && !w.tmrCountDown->isActive());
        QCOMPARE(w.tmrCount->interval(), 1000);
        QCOMPARE(w.tmrCountDown->interval(), 1000);
        QCOMPARE(w.LoadEnd, std::int16_t(1));
        QCOMPARE(f.world.program.CurTypeID, QStringLiteral("1"));
        QCOMPARE(f.world.program.CurTypeCnt, std::int16_t(5));
        QCOMPARE(f.world.program.CurTypeBW, QStringLiteral("0"));
        QVERIFY(f.world.prompts.boxes.empty());
        QCOMPARE(f.world.app.ended, 0);
    }

    void settingsPlaceTheWindowAndShowTheCountdown()
    {
        MainFixture f("[Main]\r\nLeft=1500\r\nTop= 750.5 \r\n[Option]\r\nCntDownTm=0\r\n");
        frmMain &w = f.open();
        QCOMPARE(w.pos(), QPoint(100, 50));
        QCOMPARE(w.lblTm->text(), QStringLiteral("0"));
        QCOMPARE(f.world.app.ended, 0);
    }

    void positionThatIsNotANumberEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("description");
        QTest::newRow("letters") << QByteArray("[Main]\r\nLeft=abc\r\n") << "型が一致しません。";
        QTest::newRow("empty top") << QByteArray("[Main]\r\nTop=\r\n") << "型が一致しません。";
        QTest::newRow("beyond single")
            << QByteArray("[Main]\r\nTop=1e40\r\n") << "オーバーフローしました。";
    }
    void positionThatIsNotANumberEndsTheProgram()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, description);
        MainFixture f(ini);
        f.open();
        QCOMPARE(f.world.prompts.texts(), QStringList{kLoadError + description});
        QCOMPARE(f.world.prompts.boxes[0].icon, Icon::Critical);
        QVERIFY(f.log().contains("[frmMain]-[Form_Load] "));
        QCOMPARE(f.world.app.ended, 1);
    }

    void layoutInTwips()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.show();
        QCOMPARE(w.centralWidget()->size(), QSize(px(4950), px(2925)));
        QCOMPARE(w.StatusBar->height(), px(285));
        QCOMPARE(w.StatusBar->geometry().top(), w.centralWidget()->geometry().bottom() + 1);
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w.windowTitle(), QStringLiteral("Spinlog"));

        QCOMPARE(w.cmbType->geometry(), twipsRect(3480, 120, 1365, 315));
        QCOMPARE(w.cmdStartStop->geometry(), twipsRect(105, 930, 1590, 645));
        QCOMPARE(w.lblTm->geometry(), twipsRect(105, 330, 1590, 420));
        QCOMPARE(w.lblBTm->geometry(), twipsRect(3480, 540, 1365, 270));
        QCOMPARE(w.lblAveTime->geometry(), twipsRect(3480, 1305, 1365, 270));
        QCOMPARE(w.lblBAveTm->geometry(), twipsRect(3480, 930, 1365, 270));
        QCOMPARE(w.lbl[0]->geometry(), twipsRect(2055, 1350, 1395, 195));
        QCOMPARE(w.lbl[1]->geometry(), twipsRect(1860, 975, 1590, 195));
        QCOMPARE(w.lbl[2]->geometry(), twipsRect(2295, 585, 1155, 195));
        QCOMPARE(w.lbl[3]->geometry(), twipsRect(2790, 195, 660, 195));
        QCOMPARE(w.lbl[4]->geometry(), twipsRect(135, 135, 1035, 195));
        QCOMPARE(w.lbl[0]->text(), QStringLiteral("今回平均タイム:"));
        QCOMPARE(w.lbl[1]->text(), QStringLiteral("ベストタイム(平均):"));
        QCOMPARE(w.lbl[2]->text(), QStringLiteral("ベストタイム:"));
        QCOMPARE(w.lbl[3]->text(), QStringLiteral("タイプ:"));
        QCOMPARE(w.lbl[4]->text(), QStringLiteral("計測タイム:"));
        QVERIFY(w.lbl[3]->alignment() & Qt::AlignRight);
        for (QLabel *label : w.lbl)
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
        QCOMPARE(w.lblTime[7]->geometry(), twipsRect(2505, 2115, 1140, 330));
        QCOMPARE(w.lblTime[12]->geometry(), twipsRect(3705, 2535, 1140, 330));
        QCOMPARE(w.lblTime[1]->property("Tag").toString(), QStringLiteral("1st"));
        QCOMPARE(w.lblTime[12]->property("Tag").toString(), QStringLiteral("12th"));

        // The Japanese face is the one the layout was drawn with.
        QCOMPARE(QFontInfo(w.lbl[0]->font()).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(w.lblTm->font().pointSizeF(), 15.75);
        QVERIFY(w.lblTm->font().bold() && w.cmdStartStop->font().bold());
        QCOMPARE(w.lblTime[1]->font().pointSizeF(), 12.0);
        QCOMPARE(w.cmbType->font().pointSizeF(), 9.75);
        QCOMPARE(frmMain::backColor(w.lblTm), 16777215u);
        QCOMPARE(frmMain::backColor(w.lblBTm), 16777215u);
    }

    void menusWithCaptionsAndShortcuts()
    {
        MainFixture f;
        frmMain &w = f.open();
        const QList<QAction *> bar = w.menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar[0]->text(), QStringLiteral("ファイル(&F)"));
        QCOMPARE(bar[1]->text(), QStringLiteral("ツール(&T)"));
        QCOMPARE(bar[2]->text(), QStringLiteral("ヘルプ(&H)"));

        auto items = [](QMenu *menu) {
            QStringList list;
            for (QAction *a : menu->actions())
                list << (a->isSeparator()
                             ? QStringLiteral("-")
                             : a->text() + QLatin1Char('|') + a->shortcut().toString());
            return list;
        };
        QCOMPARE(items(w.M_FileMain), QStringList({"計測開始/停止(&T)|F5", "リセット(&R)|", "-",
                                                   "保存(&S)|", "-", "終了(&X)|"}));
        QCOMPARE(items(w.M_ToolMain),
                 QStringList({"計測結果(&R)...|F12", "-", "オプション(&O)...|"}));
        QCOMPARE(items(w.M_HelpMain), QStringList({"Readme.txt(&R)...|F1", "Webページ(&W)...|", "-",
                                                   "バージョン情報(&A)...|"}));
    }
};
SPINLOG_TEST(MainWindowLoadTest)

class MainWindowMenuTest : public QObject {
    Q_OBJECT
private slots:
    void resetAnsweredNoKeepsTheSeries()
    {
        MainFixture f;
        frmMain &w = f.open();
        f.addWork(1, QStringLiteral("9.87"), 9.87);
        w.lblTime[1]->setText(QStringLiteral("9.87"));
        f.world.prompts.answers = {Answer::No};
        w.M_File[2]->trigger();
        QCOMPARE(f.world.prompts.boxes.size(), size_t(1));
        const ShownBox &box = f.world.prompts.boxes[0];
        QCOMPARE(box.text, QStringLiteral("リセットします、よろしいですか"));
        QCOMPARE(box.icon, Icon::Question);
        QCOMPARE(box.buttons, Buttons::YesNo);
        QCOMPARE(box.defaultButton, Answer::Yes);
        QCOMPARE(f.count(QStringLiteral("W_Time")), 1);
        QCOMPARE(w.lblTime[1]->text(), QStringLiteral("9.87"));
    }

    void resetAnsweredYesEmptiesTheSeries()
    {
        MainFixture f;
        frmMain &w = f.open();
        f.addWork(1, QStringLiteral("9.87"), 9.87);
        w.lblTime[1]->setText(QStringLiteral("9.87"));
        w.lblAveTime->setText(QStringLiteral("9.87"));
        // As a complete series leaves them.
        w.cmdStartStop->setEnabled(false);
        w.M_File[1]->setEnabled(false);
        w.M_File[4]->setEnabled(true);
        w.cmbType->setEnabled(false);
        w.M_Tool[3]->setEnabled(false);
        f.world.prompts.answers = {Answer::Yes};
        w.M_File[2]->trigger();
        QCOMPARE(f.count(QStringLiteral("W_Time")), 0);
        QVERIFY(w.lblTime[1]->text().isEmpty());
        QVERIFY(w.lblAveTime->text().isEmpty());
        QCOMPARE(w.cmdStartStop->text(), QStringLiteral("計測開始"));
        QVERIFY(w.cmdStartStop->isEnabled() && w.M_File[1]->isEnabled());
        QVERIFY(w.cmbType->isEnabled() && w.M_Tool[3]->isEnabled());
        QVERIFY(!w.M_File[4]->isEnabled());
    }

    void exitWritesPositionAndTypeThenCompacts()
    {
        MainFixture f("; kept\r\n[Option]\r\nCntDownTm=15\r\n");
        frmMain &w = f.open();
        w.cmbType->setCurrentIndex(3);
        w.move(px(6000), px(4500));
        w.M_File[6]->trigger();
        const QByteArray ini = f.folder.read(QStringLiteral("Spinlog.ini"));
        QVERIFY(ini.startsWith("; kept\r\n[Option]\r\nCntDownTm=15\r\n"));
        const qsizetype top = ini.indexOf("Top=4500"), left = ini.indexOf("Left=6000"),
                        type = ini.indexOf("DefType=3");
        QVERIFY2(top > 0 && top < left && left < type, ini.constData());
        QVERIFY(!f.world.program.gDB);
        QCOMPARE(w.statusPanel->text(), QStringLiteral("MDB最適化中..."));
        QCOMPARE(f.world.app.ended, 1);
        QVERIFY(QFile::exists(f.folder.file(QStringLiteral("Spinlog.mdb"))));
        QVERIFY(!QFile::exists(f.folder.file(QStringLiteral("BKSpinlog.mdb"))));
        QVERIFY(!QFile::exists(f.folder.file(QStringLiteral("COMSpinlog.mdb"))));

        // The next start opens where the window was, with the same type.
        FakeWorld next(f.folder.path());
        QVERIFY(Fun_MDBOpen(next.program, f.folder.file(QStringLiteral("Spinlog.mdb"))));
        readSettings(next.program);
        frmMain again(next.program);
        QCOMPARE(again.pos(), QPoint(px(6000), px(4500)));
        QCOMPARE(again.cmbType->currentIndex(), 3);
    }

    void exitIsRefusedWhileTiming()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.show();
        // The running clock as a started solve leaves it, 7.9 s ago.
        w.M_File[2]->setEnabled(false);
        w.StartTm = f.world.clock.ns;
        f.world.clock.advanceMs(7900);
        w.ElapsedSec = QStringLiteral("3");
        w.tmrCount->start();
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("計測中です、計測を停止してから終了してください")});
        QCOMPARE(f.world.prompts.boxes[0].icon, Icon::Exclamation);
        QCOMPARE(w.ElapsedSec, QStringLiteral("7"));
        QVERIFY(w.tmrCount->isActive());
        QVERIFY(f.world.program.gDB);
        QVERIFY(!QFile::exists(f.folder.file(QStringLiteral("Spinlog.ini"))));
        QCOMPARE(f.world.app.ended, 0);
        w.tmrCount->stop();
    }

    void exitIsRefusedDuringTheCountdown()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.M_File[2]->setEnabled(false);
        w.tmrCountDown->start();
        w.ElapsedSec = QStringLiteral("12");
        QVERIFY(w.Form_Unload());
        QCOMPARE(w.ElapsedSec, QStringLiteral("12"));
        QCOMPARE(f.world.app.ended, 0);
        w.tmrCountDown->stop();
    }

    void toolsItemsCallTheirWindows()
    {
        MainFixture f;
        frmMain &w = f.open();
        int history = 0;
        w.openHistory = [&] { ++history; };
        w.M_Tool[1]->trigger();
        QCOMPARE(history, 1);

        // The options dialog may rename and recount the types; the same type
        // is chosen again with its new values.
        w.cmbType->setCurrentIndex(2);
        w.openOptions = [&] {
            f.db().execute(
                QStringLiteral("update MT_Type set TypeNm=?, TypeCnt=?, TypeBW=? where TypeID=?"),
                {QStringLiteral("4x4x4 BLD"), 12, QStringLiteral("1"), QStringLiteral("3")});
        };
        w.M_Tool[3]->trigger();
        QCOMPARE(w.cmbType->currentIndex(), 2);
        QCOMPARE(w.cmbType->currentText(), QStringLiteral("4x4x4 BLD"));
        QCOMPARE(f.shownLabels(), range(1, 12));
        QCOMPARE(f.world.program.CurTypeBW, QStringLiteral("1"));
        QVERIFY(f.world.prompts.boxes.empty());
    }

    void shortcutsReachTheirItems()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // The start button is first in the tab order, the type list next.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.cmdStartStop));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.cmbType));
        int history = 0;
        w.openHistory = [&] { ++history; };
        QTest::keyClick(&w, Qt::Key_F12);
        QCOMPARE(history, 1);
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(f.world.shell.files, QStringList{f.folder.file(QStringLiteral("Readme.txt"))});
        w.M_Help[2]->trigger();
        QCOMPARE(f.world.shell.urls.size(), 1);
    }

    void versionItemOpensTheVersionWindowModally()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.show();
        QString title;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal) {
                title = modal->windowTitle();
                modal->close();
            }
        });
        w.M_Help[4]->trigger();
        QCOMPARE(title, QStringLiteral("バージョン情報"));
    }
};
SPINLOG_TEST(MainWindowMenuTest)

#include "tst_main_window.moc"
