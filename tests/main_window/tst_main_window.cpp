// The main window: layout, load, the type list and best values, menus, reset
// and exit.

#include "main_fixture.h"
#include "support/test_main.h"
#include "widgets/units.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QMenu>
#include <QTimer>

using namespace spinlog;
using namespace spinlog::test;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartAndLayout()
    {
        MainFixture f;
        frmMain &w = f.open();
        QCOMPARE(w.pos(), QPoint(px(4000), px(5000)));
        QCOMPARE(w.cmbType->currentText() + w.lblBTm->text() + w.lblBAveTm->text() +
                     w.lblTm->text() + f.colours(),
                 "3x3x3--15" + QString(12, u'd'));
        QCOMPARE(f.shownTexts(), empties(5));
        QCOMPARE(f.state(), kIdleEmpty);
        QCOMPARE(w.centralWidget()->size() + QSize(0, w.StatusBar->height()),
                 QSize(px(4950), px(3210)));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.cmbType->geometry(), twipsRect(3480, 120, 1365, 315));
        QCOMPARE(w.lblTime[7]->geometry(), twipsRect(2505, 2115, 1140, 330));
        // Fixed texts in the Japanese face the layout was drawn with, uncut.
        QCOMPARE(QFontInfo(w.lbl[0]->font()).family(), QStringLiteral("IPAPGothic"));
        for (QLabel *label : w.lbl)
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QStringList menus;
        for (QMenu *menu : {w.M_FileMain, w.M_ToolMain, w.M_HelpMain})
            for (QAction *a : QList<QAction *>{menu->menuAction()} + menu->actions())
                menus << (a->isSeparator() ? "-" : a->text() + ' ' + a->shortcut().toString());
        QCOMPARE(menus.join(','),
                 "ファイル(&F) ,計測開始/停止(&T) F5,リセット(&R) ,-,保存(&S) ,-,終了(&X) ,"
                 "ツール(&T) ,計測結果(&R)... F12,-,オプション(&O)... ,ヘルプ(&H) ,"
                 "Readme.txt(&R)... F1,Webページ(&W)... ,-,バージョン情報(&A)... ");
    }

    void positionThatIsNotANumberEndsTheProgram()
    {
        for (const char *top : {"", "abc", "1e40"}) {
            MainFixture f(QByteArray("[Main]\r\nTop=") + top + "\r\n");
            f.open();
            QVERIFY(f.world.prompts.texts().value(0).startsWith("フォームロードエラー\r\n"));
            QVERIFY(f.log().contains("[frmMain]-[Form_Load] "));
            QCOMPARE(f.world.app.ended, 1);
        }
    }

    void typesTheirBestValuesAndTheOptionsDialog()
    {
        MainFixture f("[Main]\r\nDefType=2\r\n[Option]\r\nCntDownTm=0\r\n");
        const QString saved = QStringLiteral(
            "insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, AveTimeSS) "
            "values ('3', ?, ?, ?, ?)");
        f.exec(saved, {"11.20", 11.2, "1:05.40", 65.4});
        f.exec(saved, {"1:00.00", 60.0, "14.00", 14.0});
        f.exec(QStringLiteral("insert into W_Time values (1, '12.00', 12)"));
        frmMain &w = f.open();
        // The stored type, its best values; the work table left for the restore.
        QCOMPARE(w.cmbType->currentIndex(), 2);
        QCOMPARE(w.lblBTm->text() + ' ' + w.lblBAveTm->text(), QStringLiteral("11.20 14.00"));
        QCOMPARE(f.work().size(), 1);

        // Another type chosen after the load empties the table (the list and
        // options are enabled by hand: a restored series keeps them disabled).
        f.exec(QStringLiteral("update MT_Type set TypeCnt=12 where TypeID='4'"));
        w.cmbType->setEnabled(true);
        w.M_Tool[3]->setEnabled(true);
        w.cmbType->setFocus();
        QTest::keyClick(w.cmbType, Qt::Key_Down);
        QVERIFY(f.work().isEmpty());
        QCOMPARE(f.shownTexts(), empties(12));
        QCOMPARE(w.lblBTm->text() + w.lblBAveTm->text() + w.lblTm->text(), QStringLiteral("--0"));

        // The options dialog may rename and recount types: the same one is
        // chosen again with its new values.
        w.cmbType->setCurrentIndex(4);
        QCOMPARE(f.shownTexts(), empties(3));
        w.openOptions = [&] {
            f.exec(QStringLiteral("update MT_Type set TypeNm='BLD', TypeCnt=2 where TypeID='5'"));
        };
        w.M_Tool[3]->trigger();
        QCOMPARE(w.cmbType->currentText(), QStringLiteral("BLD"));
        QCOMPARE(f.shownTexts(), empties(2));
    }

    // A stored position that names no type still leaves the window with one.
    void storedTypeOutsideTheList()
    {
        for (auto [defType, report] : {std::pair{"-1", ""},
                                       {"5", "プロパティの値が不正です。"},
                                       {"x", "型が一致しません。"}}) {
            MainFixture f(QByteArray("[Main]\r\nDefType=") + defType + "\r\n");
            frmMain &w = f.open();
            QCOMPARE(f.world.prompts.texts().join(""),
                     *report ? "タイプセットエラー\r\n" + QString::fromUtf8(report) : "");
            QCOMPARE(w.cmbType->currentIndex(), 0);
            QCOMPARE(f.shownTexts(), empties(5));
        }
    }

    void resetAskedBothWays()
    {
        MainFixture f;
        frmMain &w = f.open();
        f.exec(QStringLiteral("insert into W_Time values (1, '9.87', 9.87)"));
        w.cmbType->setEnabled(false);
        f.world.prompts.answers = {Answer::No, Answer::Yes};
        w.M_File[2]->trigger();
        QCOMPARE(f.work().size(), 1);
        w.M_File[2]->trigger();
        QVERIFY(f.work().isEmpty());
        QCOMPARE(f.state(), kIdleEmpty);
        const ShownBox &box = f.world.prompts.boxes[0];
        QCOMPARE(box.text, QStringLiteral("リセットします、よろしいですか"));
        QVERIFY(box.icon == Icon::Question && box.buttons == Buttons::YesNo &&
                box.defaultButton == Answer::Yes);
    }

    void exitWritesPositionAndTypeAndTheNextStartUsesThem()
    {
        MainFixture f("; kept\r\n[Option]\r\nCntDownTm=15\r\n");
        frmMain &w = f.open();
        w.cmbType->setCurrentIndex(3);
        w.move(px(6000), px(4500));
        w.M_File[6]->trigger();
        QCOMPARE(f.folder.read(QStringLiteral("Spinlog.ini")),
                 QByteArray("; kept\r\n[Option]\r\nCntDownTm=15\r\n"
                            "[Main]\r\nTop=4500\r\nLeft=6000\r\nDefType=3\r\n"));
        QVERIFY(!f.world.program.gDB);
        QCOMPARE(w.statusPanel->text(), QStringLiteral("MDB最適化中..."));
        QCOMPARE(f.world.app.ended, 1);
        QCOMPARE(QDir(f.folder.path()).entryList({"*.mdb"}), QStringList{"Spinlog.mdb"});

        FakeWorld next(f.folder.path());
        QVERIFY(Fun_MDBOpen(next.program, f.folder.file(QStringLiteral("Spinlog.mdb"))));
        readSettings(next.program);
        frmMain again(next.program);
        QCOMPARE(again.pos(), QPoint(px(6000), px(4500)));
        QCOMPARE(again.cmbType->currentIndex(), 3);
    }

    void anUnmovedWindowKeepsItsStoredPosition()
    {
        // 4000 and 5000 twips fall between pixels; they must not creep.
        MainFixture f("[Main]\r\nLeft=4000\r\nTop=5000\r\n");
        frmMain &w = f.open();
        w.M_File[6]->trigger();
        QCOMPARE(f.folder.read(QStringLiteral("Spinlog.ini")),
                 QByteArray("[Main]\r\nLeft=4000\r\nTop=5000\r\nDefType=0\r\n"));
    }

    void shortcutsAndTheOtherWindows()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.cmdStartStop));
        int history = 0;
        w.openHistory = [&] { ++history; };
        QTest::keyClick(&w, Qt::Key_F12);
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(history, 1);
        QCOMPARE(f.world.shell.files, QStringList{f.folder.file(QStringLiteral("Readme.txt"))});
        QString title;
        QPoint offset;
        QTimer::singleShot(0, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                offset = modal->geometry().center() - w.geometry().center();
                modal->close();
            }
        });
        w.M_Help[4]->trigger();
        QCOMPARE(title, QStringLiteral("バージョン情報"));
        QVERIFY(offset.manhattanLength() <= 2);  // centred over the main window
    }
};
SPINLOG_TEST(MainWindowTest)

#include "tst_main_window.moc"
