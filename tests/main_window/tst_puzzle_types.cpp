// The type list, the chosen type's display and its best values.

#include "main_fixture.h"
#include "support/test_main.h"

#include <QAction>
#include <QComboBox>

using namespace spinlog;
using namespace spinlog::test;

class PuzzleTypesTest : public QObject {
    Q_OBJECT
private slots:
    void storedTypeIsChosenWithoutTouchingTheWorkTable()
    {
        MainFixture f("[Main]\r\nDefType=2\r\n");
        f.addWork(1, QStringLiteral("12.00"), 12.0);
        frmMain &w = f.open();
        QCOMPARE(w.cmbType->currentIndex(), 2);
        QCOMPARE(f.world.program.CurTypeID, QStringLiteral("3"));
        QCOMPARE(f.count(QStringLiteral("W_Time")), 1);
        QVERIFY(f.world.prompts.boxes.empty());
    }

    void choosingAnotherTypeEmptiesTheWorkTable()
    {
        MainFixture f("[Option]\r\nCntDownTm=0\r\n");
        frmMain &w = f.open();
        f.addWork(1, QStringLiteral("12.00"), 12.0);
        w.lblTm->setText(QStringLiteral("12.00"));
        w.lblTime[1]->setText(QStringLiteral("12.00"));
        frmMain::setBackColor(w.lblTime[1], 16744576);
        QTest::keyClick(w.cmbType, Qt::Key_Down);
        QCOMPARE(w.cmbType->currentIndex(), 1);
        QCOMPARE(f.count(QStringLiteral("W_Time")), 0);
        QVERIFY(w.lblTime[1]->text().isEmpty());
        QCOMPARE(frmMain::backColor(w.lblTime[1]), 14671839u);
        QCOMPARE(w.lblTm->text(), QStringLiteral("0"));
    }

    void labelsFollowTheTypesCount()
    {
        MainFixture f;
        frmMain &w = f.open();
        w.cmbType->setCurrentIndex(3);
        QCOMPARE(w.cmbType->currentText(), QStringLiteral("5x5x5"));
        QCOMPARE(f.shownLabels(), range(1, 5));
        w.cmbType->setCurrentIndex(4);
        QCOMPARE(f.shownLabels(), range(1, 3));
        QCOMPARE(f.world.program.CurTypeCnt, std::int16_t(3));
        QCOMPARE(f.world.program.CurTypeBW, QStringLiteral("1"));
        f.db().execute(QStringLiteral("update MT_Type set TypeCnt=12 where TypeID='1'"));
        w.cmbType->setCurrentIndex(0);
        QCOMPARE(f.shownLabels(), range(1, 12));
    }

    void bestValuesComeFromTheTypesSavedSeries()
    {
        MainFixture f;
        f.addSaved("1", "2007/05/01 10:00:00", "12.50", 12.5, "15.00", 15.0);
        f.addSaved("1", "2007/05/02 10:00:00", "11.20", 11.2, "1:05.40", 65.4);
        f.addSaved("1", "2007/05/03 10:00:00", "1:00.00", 60.0, "14.00", 14.0);
        f.addSaved("2", "2007/05/04 10:00:00", "3.10", 3.1, "4.00", 4.0);
        frmMain &w = f.open();
        QCOMPARE(w.lblBTm->text(), QStringLiteral("11.20"));
        QCOMPARE(w.lblBAveTm->text(), QStringLiteral("14.00"));
        w.cmbType->setCurrentIndex(1);
        QCOMPARE(w.lblBTm->text(), QStringLiteral("3.10"));
        QCOMPARE(w.lblBAveTm->text(), QStringLiteral("4.00"));
        w.cmbType->setCurrentIndex(2);
        QCOMPARE(w.lblBTm->text(), QStringLiteral("-"));
        QCOMPARE(w.lblBAveTm->text(), QStringLiteral("-"));
    }

    // A stored position that names no type still leaves the window with one.
    void storedTypeOutsideTheList_data()
    {
        QTest::addColumn<QByteArray>("defType");
        QTest::addColumn<QString>("report");
        QTest::newRow("nothing chosen at the last exit") << QByteArray("-1") << QString();
        QTest::newRow("beyond the list")
            << QByteArray("5")
            << QStringLiteral("タイプセットエラー\r\nプロパティの値が不正です。");
        QTest::newRow("not a number")
            << QByteArray("x") << QStringLiteral("タイプセットエラー\r\n型が一致しません。");
    }
    void storedTypeOutsideTheList()
    {
        QFETCH(QByteArray, defType);
        QFETCH(QString, report);
        MainFixture f("[Main]\r\nDefType=" + defType + "\r\n");
        frmMain &w = f.open();
        QCOMPARE(f.world.prompts.texts(), report.isEmpty() ? QStringList() : QStringList{report});
        if (!report.isEmpty())
            QVERIFY(f.log().contains("[frmMain]-[Sub_cmbTypeSet] "));
        QCOMPARE(w.cmbType->currentIndex(), 0);
        QCOMPARE(f.shownLabels(), range(1, 5));
        QCOMPARE(f.world.app.ended, 0);
    }

    void typeTableFailuresAreReported()
    {
        MainFixture f;
        frmMain &w = f.open();
        f.db().execute(QStringLiteral("update MT_Type set TypeCnt=NULL where TypeID='2'"));
        w.cmbType->setCurrentIndex(1);
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("メイン画面更新エラー\r\nNull の使い方が不正です。")});
        QVERIFY(f.log().contains("[frmMain]-[Sub_MainDspSet] "));
        // The type it could not read does not replace the current one.
        QCOMPARE(f.world.program.CurTypeID, QStringLiteral("1"));

        f.db().execute(QStringLiteral("drop table MT_Type"));
        w.Sub_cmbTypeSet(0);
        QCOMPARE(f.world.prompts.boxes.size(), size_t(2));
        QVERIFY(f.world.prompts.boxes[1].text.startsWith(QStringLiteral("タイプセットエラー\r\n")));
        QVERIFY(f.log().contains("[frmMain]-[Sub_cmbTypeSet] "));
    }
};
SPINLOG_TEST(PuzzleTypesTest)

#include "tst_puzzle_types.moc"
