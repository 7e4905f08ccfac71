// The history window driven as a user drives it: lists, keys, menus, the
// context menu, the save dialog, questions answered through the fakes.

#include "app/ini_file.h"
#include "history/ui/history_window.h"
#include "support/history_world.h"
#include "support/test_main.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

const QString kD1 = "2007/05/01 21:03:09", kD2 = "2007/05/02 08:00:00", kD3 = "2007/05/03 12:30:45";

QStringList dates(const frmView &v)
{
    QStringList list;
    for (int r = 1; r < v.vsFlex->rows(); ++r) list << v.vsFlex->textMatrix(r, 0);
    return list;
}

QString stored(const HistoryWorld &w, const QString &key)
{
    return iniRead(w.folder.file("Spinlog.ini"), "View", key, "(none)");
}

QString deleteQuestion(const QString &date)
{
    return "日時: " + date + " のデータを削除します、よろしいですか";
}
QString deleteAllQuestion(int n)
{
    return QString("表示中の全てのデータ(%1件)を削除します、よろしいですか").arg(n);
}

// Normal pointer and an empty status panel: nothing left busy.
bool idle(const frmView &v)
{
    return !QApplication::overrideCursor() && v.statusPanel->text().isEmpty();
}

void showActive(frmView &v)
{
    v.show();
    QApplication::setActiveWindow(&v);
    QVERIFY(QTest::qWaitForWindowActive(&v));
}

}  // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstOpening()
    {
        HistoryWorld w;
        w.seedThree();
        w.program().settings.store(Setting::DefColor, "255");  // red
        frmView v(w.program());
        QCOMPARE(v.pos(), QPoint(px(1000), px(3000)));
        QCOMPARE(v.size(), QSize(px(12615), px(5000)));
        QCOMPARE(v.cmbType->itemText(5), "3x3x3目隠し");
        QCOMPARE(v.cmbType->currentText(), "全て");
        QCOMPARE(v.cmbOrder->currentText(), "日時 [昇順]");
        // Setting both lists during the load does not query again.
        QCOMPARE(v.dataSetRuns(), 1);
        const Grid &g = *v.vsFlex;
        QCOMPARE(g.textMatrix(0, 14), "平均");
        QCOMPARE(dates(v), (QStringList{kD1, kD2, kD3}));
        QCOMPARE(g.cellBackColor(1, 2), QColor(Qt::red));
        QCOMPARE(g.cellBackColor(1, 7), QColor(Qt::white));
        QCOMPARE(v.lblKensu->text(), "3");
        QCOMPARE(v.lblBTm->text(), "4.20");
        QCOMPARE(v.lblBAveTm->text(), "5.00");
        QCOMPARE(QPoint(g.row(), g.col()), QPoint(1, 14));
        QVERIFY(idle(v));

        w.db().execute("delete from T_Time");
        v.Sub_DataSet();
        QCOMPARE(g.rows(), 1);
        QCOMPARE(g.row(), 0);
        QCOMPARE(QStringList({v.lblKensu->text(), v.lblBTm->text(), v.lblBAveTm->text()}),
                 (QStringList{"0", "-", "-"}));
        QVERIFY(w.prompts().boxes.empty());
    }

    void sizeRule()
    {
        HistoryWorld w;
        frmView v(w.program());
        v.show();
        // The rules are about the outer size, the frame included (2 pixels
        // each side here).
        v.resize(300, 50);
        QCOMPARE(v.frameGeometry().size(), QSize(px(12615), px(3000)));
        QCOMPARE(v.vsFlex->height(), px(3000 - 285 - 1300));
        v.resize(2000, 600);
        QCOMPARE(v.frameGeometry().size(), QSize(px(12615), 604));
        QCOMPARE(v.vsFlex->height(), 498);
    }

    // Choices, position and height come back at the next opening.
    void settingsRoundTrip()
    {
        HistoryWorld w;
        w.seedThree();
        {
            frmView v(w.program());
            showActive(v);
            QTest::keyClick(v.cmbType, Qt::Key_Down);
            for (int i = 0; i < 3; ++i) QTest::keyClick(v.cmbOrder, Qt::Key_Down);
            QCOMPARE(v.dataSetRuns(), 5);
            QCOMPARE(dates(v), (QStringList{kD1, kD3}));
            QCOMPARE(v.lblBTm->text(), "15.20");
            v.move(150, 90);
            v.resize(v.width(), 400);
            v.M_File[3]->trigger();
            QVERIFY(!v.isVisible());
        }
        QCOMPARE(QStringList({stored(w, "Top"), stored(w, "Left"), stored(w, "Height"),
                              stored(w, "SearchType"), stored(w, "SearchOrder")}),
                 (QStringList{"1350", "2250", "6060", "1", "3"}));
        frmView again(w.program());
        again.show();
        QCOMPARE(again.frameGeometry(), QRect(150, 90, px(12615), 404));
        QCOMPARE(again.cmbOrder->currentIndex(), 3);
        QCOMPARE(again.dataSetRuns(), 1);
        QCOMPARE(dates(again), (QStringList{kD1, kD3}));
    }

    // Defaults that fall between pixels are written back unchanged.
    void unmovedWindowKeepsItsStoredTwips()
    {
        HistoryWorld w;
        {
            frmView v(w.program());
            showActive(v);
            v.M_File[3]->trigger();
        }
        QCOMPARE(QStringList({stored(w, "Top"), stored(w, "Left"), stored(w, "Height")}),
                 (QStringList{"3000", "1000", "5000"}));
    }

    void badStoredSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("description");
        const QString invalid = "プロパティの値が不正です。";
        QTest::newRow("type above 5") << QByteArray("[View]\nSearchType=6\n") << invalid;
        QTest::newRow("type below 0") << QByteArray("[View]\nSearchType=-1\n") << invalid;
        QTest::newRow("not a number")
            << QByteArray("[View]\nSearchType=a\n") << describe::typeMismatch();
    }
    void badStoredSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, description);
        HistoryWorld w;
        w.seedThree();
        w.folder.write("Spinlog.ini", ini);
        {
            frmView v(w.program());
            QCOMPARE(w.prompts().texts(), QStringList{"フォームロードエラー\r\n" + description});
            QCOMPARE(w.prompts().boxes[0].icon, Icon::Critical);
            QCOMPARE(w.logTexts(), QStringList{"[frmView]-[Form_Load] " + description});
            QCOMPARE(v.LoadEnd, "0");
            v.cmbType->setCurrentIndex(v.cmbType->count() - 1);
            QCOMPARE(v.dataSetRuns(), 0);
            v.show();
            v.close();
        }
        // The failed opening stores usable positions: the next one works.
        w.prompts().boxes.clear();
        frmView again(w.program());
        QVERIFY(w.prompts().boxes.empty());
        QCOMPARE(again.LoadEnd, "1");
    }

    void deleteCurrentRecord()
    {
        HistoryWorld w;
        w.seedThree();
        addSeries(w.db(), {kD3, "5", {"30.00"}, "30.00"});  // the same DateTime again
        frmView v(w.program());
        showActive(v);
        v.vsFlex->setRow(3);
        v.statusPanel->setText("untouched");
        w.prompts().answers = {Answer::No, Answer::Yes};
        QTest::keyClick(v.vsFlex, Qt::Key_Delete);
        QCOMPARE(w.prompts().texts(), QStringList{deleteQuestion(kD3)});
        const ShownBox &box = w.prompts().boxes[0];
        QVERIFY(box.icon == Icon::Question && box.buttons == Buttons::YesNo &&
                box.defaultButton == Answer::Yes);
        QCOMPARE(countRows(w.db()), 4);
        QCOMPARE(v.statusPanel->text(), "untouched");

        QTest::keyClick(v.vsFlex, Qt::Key_Delete);
        QCOMPARE(countRows(w.db()), 2);  // both series of that DateTime
        QCOMPARE(v.lblKensu->text(), "2");
        QVERIFY(idle(v));
        // Every refill makes the first listed record current.
        QTest::keyClick(v.vsFlex, Qt::Key_Delete);
        QCOMPARE(w.prompts().texts().last(), deleteQuestion(kD1));
        QCOMPARE(dates(v), QStringList{kD2});
    }

    void deleteAllListed()
    {
        HistoryWorld w;
        frmView v(w.program());
        v.M_Edit[1]->trigger();
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts(), QStringList(2, "削除するデータがありません"));
        QCOMPARE(w.prompts().boxes[0].icon, Icon::Exclamation);
        w.prompts().boxes.clear();

        w.seedThree();
        addSeries(w.db(), {kD1, "9", {"1.00"}, "1.00"});  // a type without an entry
        v.cmbType->setCurrentIndex(1);
        v.vsFlex->setRow(0);
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts(), QStringList{"削除するデータを選択してください"});
        v.vsFlex->setRow(1);
        w.prompts().answers = {Answer::No, Answer::Yes};
        v.M_Edit[2]->trigger();
        QCOMPARE(countRows(w.db()), 4);
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts().last(), deleteAllQuestion(2));
        QCOMPARE(countRows(w.db(), "where TypeID='1'"), 0);
        QCOMPARE(v.lblKensu->text(), "0");

        // "全て" empties the table, the unlisted type included.
        v.cmbType->setCurrentIndex(0);
        QCOMPARE(v.lblBTm->text(), "1.00");
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts().last(), deleteAllQuestion(1));
        QCOMPARE(countRows(w.db()), 0);
        QVERIFY(idle(v));
    }

    void csvExport()
    {
        HistoryWorld w;
        frmView v(w.program());
        v.M_File[1]->trigger();
        QCOMPARE(w.prompts().texts(), QStringList{"出力データがありません"});
        QVERIFY(w.prompts().saveRequests.empty());
        w.prompts().boxes.clear();

        w.seedThree();
        w.db().execute("update MT_Type set TypeNm='3x3, OH' where TypeID='2'");
        v.Sub_DataSet();
        v.vsFlex->setRow(3);
        const QString path = w.folder.file("results.csv");
        w.folder.write("results.csv", QByteArray(5000, 'x'));  // truncated, not appended to
        w.prompts().saveFiles = {path};
        v.M_File[1]->trigger();
        QVERIFY(w.prompts().saveRequests.at(0).confirmOverwrite);
        QCOMPARE(w.folder.read("results.csv"),
                 "\x93\xfa\x8e\x9e,\x83\x5e\x83\x43\x83\x76,1,2,3,4,5,6,7,8,9,10,11,12,"
                 "\x95\xbd\x8b\xcf\r\n"
                 "2007/05/01 21:03:09,3x3x3,20.00,18.50,22.10,19.00,21.00,-,-,-,-,-,-,-,20.00\r\n"
                 "2007/05/02 08:00:00,\"3x3, OH\",5.10,4.20,6.30,5.00,4.90,-,-,-,-,-,-,-,5.00\r\n"
                 "2007/05/03 12:30:45,3x3x3,17.00,16.00,19.50,18.00,15.20,-,-,-,-,-,-,-,17.00\r\n");
        QCOMPARE(QPoint(v.vsFlex->row(), v.vsFlex->col()), QPoint(1, 14));
        QVERIFY(idle(v));

        // A cancel: nothing at all.
        QFile::remove(path);
        v.M_File[1]->trigger();
        QVERIFY(!QFile::exists(path));
        QVERIFY(w.prompts().boxes.empty());
    }

    void csvExportFailure()
    {
        HistoryWorld w;
        w.seedThree();
        frmView v(w.program());
        v.vsFlex->setRow(2);
        bool busyDuringBox = true;
        w.prompts().onMessage = [&](const ShownBox &) {
            busyDuringBox = QApplication::overrideCursor();
        };
        w.prompts().saveFiles = {w.folder.file("no such folder/out.csv")};
        v.M_File[1]->trigger();
        QCOMPARE(w.prompts().boxes.size(), std::size_t(1));
        const QString text = w.prompts().boxes[0].text;
        QVERIFY(text.startsWith("CSV出力エラー\r\n") && text.size() > 10);
        QCOMPARE(w.logTexts(), QStringList{"[frmView]-[Sub_OutputCSV] " + text.mid(10)});
        QVERIFY(!busyDuringBox);
        QVERIFY(idle(v));
        QCOMPARE(v.vsFlex->row(), 2);  // the file never opened: the walk never started
    }

    // However it closes, the window says so once: the main window then reads
    // its best values again.
    void closingIsAnnouncedOnce()
    {
        HistoryWorld w;
        frmView v(w.program());
        int closings = 0;
        QObject::connect(&v, &frmView::closing, [&] { ++closings; });
        v.show();
        v.M_File[3]->trigger();
        v.done(QDialog::Rejected);
        QCOMPARE(closings, 1);
    }
};

SPINLOG_TEST(HistoryWindowTest)
#include "tst_history_window.moc"
