// The history window driven as a user drives it: lists, keys, menus, the
// context menu, the save dialog, questions answered through the fakes.

#include "app/log_reading.h"
#include "base/ini_file.h"
#include "history/ui/history_window.h"
#include "support/history_world.h"
#include "support/test_main.h"
#include "widgets/grid.h"
#include "widgets/grid_cells.h"
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

Grid *grid(const frmView &v)
{
    return v.findChild<Grid *>("vsFlex");
}
QComboBox *list(const frmView &v, const char *name)
{
    return v.findChild<QComboBox *>(name);
}
QString label(const frmView &v, const char *name)
{
    return v.findChild<QLabel *>(name)->text();
}
void trigger(const frmView &v, const char *name)
{
    v.findChild<QAction *>(name)->trigger();
}

// The window over the world's stores, settings and fakes.
struct View : frmView {
    explicit View(HistoryWorld &w) : frmView(partsOf(w)) {}
    static HistoryWindowParts partsOf(HistoryWorld &w)
    {
        RecordStores &r = *w.program().records;
        return {r.history, r.historyList,        r.historyChart, r.historyExport,
                r.types,   w.program().settings, w.prompts(),    w.program().reporter};
    }
};

const QString kD1 = "2007/05/01 21:03:09", kD2 = "2007/05/02 08:00:00", kD3 = "2007/05/03 12:30:45";

QStringList dates(const frmView &v)
{
    QStringList list;
    for (int r = 1; r <= grid(v)->model()->rowCount(); ++r) list << cellText(*grid(v), r, 0);
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
    return !QApplication::overrideCursor() && label(v, "statusPanel").isEmpty();
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
        View v(w);
        QCOMPARE(v.pos(), QPoint(px(1000), px(3000)));
        QCOMPARE(v.size(), QSize(px(12615), px(5000)));
        QCOMPARE(list(v, "cmbType")->itemText(5), "3x3x3目隠し");
        QCOMPARE(list(v, "cmbType")->currentText(), "全て");
        QCOMPARE(list(v, "cmbOrder")->currentText(), "日時 [昇順]");
        // Setting both lists during the load does not query again.
        QCOMPARE(v.dataSetRuns(), 1);
        const Grid &g = *grid(v);
        QCOMPARE(cellText(g, 0, 14), "平均");
        QCOMPARE(dates(v), (QStringList{kD1, kD2, kD3}));
        QCOMPARE(cellColour(g, 1, 2), QColor(Qt::red));
        QCOMPARE(cellColour(g, 1, 7), QColor(Qt::white));
        QCOMPARE(label(v, "lblKensu"), "3");
        QCOMPARE(label(v, "lblBTm"), "4.20");
        QCOMPARE(label(v, "lblBAveTm"), "5.00");
        QCOMPARE(QPoint(g.row(), g.col()), QPoint(1, 14));
        QVERIFY(idle(v));

        w.history().removeListed({});  // the list follows the store
        QCOMPARE(g.model()->rowCount(), 0);
        QCOMPARE(g.row(), 0);
        QCOMPARE(QStringList({label(v, "lblKensu"), label(v, "lblBTm"), label(v, "lblBAveTm")}),
                 (QStringList{"0", "-", "-"}));
        QVERIFY(w.prompts().boxes.empty());
    }

    // A time of 596 hours is shown whole: its columns widen to it, the
    // others keep their width, and they narrow again once it is gone.
    void longTimesWidenTheirColumns()
    {
        HistoryWorld w;
        w.seedThree();
        addSeries(w.db(), {"2007/05/04 09:00:00", "2", {"596:31:23.60", "5.00"}, "298:15:44.30"});
        View v(w);
        const Grid &g = *grid(v);
        const int normal = g.columnWidth(3);
        const QFontMetrics metrics(g.font());
        QVERIFY(g.columnWidth(2) > metrics.horizontalAdvance("596:31:23.60"));
        QVERIFY(g.columnWidth(14) > metrics.horizontalAdvance("298:15:44.30"));
        QVERIFY(normal > metrics.horizontalAdvance("59:59.99"));
        QCOMPARE(g.columnWidth(13), normal);
        w.history().removeListed(TypeFilter(TypeId("2")));  // its type
        QCOMPARE(std::pair(g.columnWidth(2), g.columnWidth(14)), std::pair(normal, normal));
    }

    // Each order as its entry reads, chosen by its text.
    void ordersByTheirNames_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("日時 [昇順]") << QStringList{kD1, kD2, kD3};
        QTest::newRow("日時 [降順]") << QStringList{kD3, kD2, kD1};
        QTest::newRow("平均 [昇順]") << QStringList{kD2, kD3, kD1};  // 5.00, 17.00, 20.00
        QTest::newRow("平均 [降順]") << QStringList{kD1, kD3, kD2};
    }
    void ordersByTheirNames()
    {
        HistoryWorld w;
        w.seedThree();
        View v(w);
        QComboBox *orders = list(v, "cmbOrder");
        orders->setCurrentIndex(orders->findText(QString::fromUtf8(QTest::currentDataTag())));
        QTEST(dates(v), "listed");
    }

    void sizeRule()
    {
        HistoryWorld w;
        View v(w);
        v.show();
        // The rules are about the outer size, the frame included (2 pixels
        // each side here).
        v.resize(300, 50);
        QCOMPARE(v.frameGeometry().size(), QSize(px(12615), px(3000)));
        v.resize(2000, 600);
        QCOMPARE(v.frameGeometry().size(), QSize(px(12615), 604));
        QCOMPARE(grid(v)->height(), 498);  // the list takes the height gained
    }

    // Choices, position and height come back at the next opening.
    void settingsRoundTrip()
    {
        HistoryWorld w;
        w.seedThree();
        {
            View v(w);
            showActive(v);
            QTest::keyClick(list(v, "cmbType"), Qt::Key_Down);
            for (int i = 0; i < 3; ++i) QTest::keyClick(list(v, "cmbOrder"), Qt::Key_Down);
            QCOMPARE(v.dataSetRuns(), 5);
            QCOMPARE(dates(v), (QStringList{kD1, kD3}));
            QCOMPARE(label(v, "lblBTm"), "15.20");
            v.move(150, 90);
            v.resize(v.width(), 400);
            trigger(v, "M_File3");
            QVERIFY(!v.isVisible());
        }
        QCOMPARE(QStringList({stored(w, "Top"), stored(w, "Left"), stored(w, "Height"),
                              stored(w, "SearchType"), stored(w, "SearchOrder")}),
                 (QStringList{"1350", "2250", "6060", "1", "3"}));
        View again(w);
        again.show();
        QCOMPARE(again.frameGeometry(), QRect(150, 90, px(12615), 404));
        QCOMPARE(list(again, "cmbOrder")->currentIndex(), 3);
        QCOMPARE(again.dataSetRuns(), 1);
        QCOMPARE(dates(again), (QStringList{kD1, kD3}));
    }

    // Defaults that fall between pixels are written back unchanged.
    void unmovedWindowKeepsItsStoredTwips()
    {
        HistoryWorld w;
        {
            View v(w);
            showActive(v);
            trigger(v, "M_File3");
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
            View v(w);
            QCOMPARE(w.prompts().texts(), QStringList{"フォームロードエラー\r\n" + description});
            QCOMPARE(w.prompts().boxes[0].icon, Icon::Critical);
            QCOMPARE(logEntries(w.folder), QStringList{"[frmView]-[Form_Load] " + description});
            list(v, "cmbType")->setCurrentIndex(list(v, "cmbType")->count() - 1);
            QCOMPARE(v.dataSetRuns(), 0);
            v.show();
            v.close();
        }
        // The failed opening stores usable positions: the next one works.
        w.prompts().boxes.clear();
        View again(w);
        QVERIFY(w.prompts().boxes.empty());
        QCOMPARE(again.dataSetRuns(), 1);
    }

    void deleteCurrentRecord()
    {
        HistoryWorld w;
        w.seedThree();
        addSeries(w.db(), {kD3, "5", {"30.00"}, "30.00"});  // the same DateTime again
        View v(w);
        showActive(v);
        grid(v)->setRow(3);
        v.findChild<QLabel *>("statusPanel")->setText("untouched");
        w.prompts().answers = {Answer::No, Answer::Yes};
        QTest::keyClick(grid(v), Qt::Key_Delete);
        QCOMPARE(w.prompts().texts(), QStringList{deleteQuestion(kD3)});
        const ShownBox &box = w.prompts().boxes[0];
        QVERIFY(box.icon == Icon::Question && box.buttons == Buttons::YesNo &&
                box.defaultButton == Answer::Yes);
        QCOMPARE(countRows(w.db()), 4);
        QCOMPARE(label(v, "statusPanel"), "untouched");

        QTest::keyClick(grid(v), Qt::Key_Delete);
        // Only the series chosen, not the other one saved in the same second.
        QCOMPARE(countRows(w.db()), 3);
        QCOMPARE(dates(v), (QStringList{kD1, kD2, kD3}));
        QCOMPARE(label(v, "lblKensu"), "3");
        QVERIFY(idle(v));
        // Every refill makes the first listed record current.
        QTest::keyClick(grid(v), Qt::Key_Delete);
        QCOMPARE(w.prompts().texts().last(), deleteQuestion(kD1));
        QCOMPARE(dates(v), (QStringList{kD2, kD3}));
    }

    // A penalty given later through the context menu on the current row: the
    // raw time kept, the row, its kept tokens, marks and the average by the
    // type's rule as it stands, the best values; a DNF average is never best.
    void penaltyOnSavedSeries()
    {
        HistoryWorld w;
        w.seedThree();
        View v(w);
        showActive(v);
        list(v, "cmbType")->setCurrentIndex(1);  // type 1: 05/01, then 05/03
        const auto choose = [&](int no, const QString &caption, const QString &penalty) {
            grid(v)->setRow(2);
            QTest::mouseClick(grid(v)->viewport(), Qt::RightButton, {}, QPoint(10, 10));
            auto *solve = v.findChild<QMenu *>(QString("M_Penalty%1").arg(no));
            QCOMPARE(solve->title(), caption);
            for (QAction *action : solve->actions())
                if (action->text() == penalty)
                    action->trigger();
            v.findChild<QMenu *>("M_RightClickMain")->hide();
        };
        choose(2, "2: 16.00", "+2");
        choose(4, "4: 18.00", "DNF");
        QCOMPARE(cellText(*grid(v), 2, 3) + " " + cellText(*grid(v), 2, 5) + " " +
                     cellText(*grid(v), 2, 14),
                 "18.00+ DNF 18.17");
        Recordset row(
            w.db(),
            "select AveTimeSS, BestTimeNo, WorstTimeNo, Solves from T_Time where DateTime=?",
            {kD3});
        QCOMPARE(QStringList({row.text(0), row.text(1), row.text(2), row.text(3)}),
                 (QStringList{"18.17", "5", "4", "1700 1600+ 1950 1800D 1520"}));
        QCOMPARE(label(v, "lblBAveTm"), "18.17");
        choose(1, "1: 17.00", "DNF");
        QCOMPARE(cellText(*grid(v), 2, 14), "DNF");
        QCOMPARE(label(v, "lblBAveTm"), "20.00");
        // Every solve counted: one DNF is enough.
        w.db().execute("update MT_Type set TypeBW='1' where TypeID='1'");
        choose(1, "1: DNF", "ペナルティなし");
        QCOMPARE(cellText(*grid(v), 2, 2) + " " + cellText(*grid(v), 2, 14), "17.00 DNF");
        QVERIFY(w.prompts().boxes.empty());
    }

    void deleteAllListed()
    {
        HistoryWorld w;
        View v(w);
        trigger(v, "M_Edit1");
        trigger(v, "M_Edit2");
        QCOMPARE(w.prompts().texts(), QStringList(2, "削除するデータがありません"));
        QCOMPARE(w.prompts().boxes[0].icon, Icon::Exclamation);
        w.prompts().boxes.clear();

        w.seedThree();
        addSeries(w.db(), {kD1, "9", {"1.00"}, "1.00"});  // a type without an entry
        list(v, "cmbType")->setCurrentIndex(1);
        grid(v)->setRow(0);
        trigger(v, "M_Edit2");
        QCOMPARE(w.prompts().texts(), QStringList{"削除するデータを選択してください"});
        grid(v)->setRow(1);
        w.prompts().answers = {Answer::No, Answer::Yes};
        trigger(v, "M_Edit2");
        QCOMPARE(countRows(w.db()), 4);
        trigger(v, "M_Edit2");
        QCOMPARE(w.prompts().texts().last(), deleteAllQuestion(2));
        QCOMPARE(countRows(w.db(), "where TypeID='1'"), 0);
        QCOMPARE(label(v, "lblKensu"), "0");

        // "全て" empties the table, the unlisted type included.
        list(v, "cmbType")->setCurrentIndex(0);
        QCOMPARE(label(v, "lblBTm"), "1.00");
        trigger(v, "M_Edit2");
        QCOMPARE(w.prompts().texts().last(), deleteAllQuestion(1));
        QCOMPARE(countRows(w.db()), 0);
        QVERIFY(idle(v));
    }

    void csvExport()
    {
        HistoryWorld w;
        View v(w);
        trigger(v, "M_File1");
        QCOMPARE(w.prompts().texts(), QStringList{"出力データがありません"});
        QVERIFY(w.prompts().saveRequests.empty());
        w.prompts().boxes.clear();

        w.seedThree();
        w.db().execute("update MT_Type set TypeNm='3x3, OH' where TypeID='2'");
        list(v, "cmbOrder")->setCurrentIndex(1);
        list(v, "cmbOrder")->setCurrentIndex(0);
        grid(v)->setRow(3);
        const QString path = w.folder.file("results.csv");
        w.folder.write("results.csv", QByteArray(5000, 'x'));  // truncated, not appended to
        w.prompts().saveFiles = {path};
        trigger(v, "M_File1");
        QVERIFY(w.prompts().saveRequests.at(0).confirmOverwrite);
        QCOMPARE(w.folder.read("results.csv"),
                 "\x93\xfa\x8e\x9e,\x83\x5e\x83\x43\x83\x76,1,2,3,4,5,6,7,8,9,10,11,12,"
                 "\x95\xbd\x8b\xcf\r\n"
                 "2007/05/01 21:03:09,3x3x3,20.00,18.50,22.10,19.00,21.00,-,-,-,-,-,-,-,20.00\r\n"
                 "2007/05/02 08:00:00,\"3x3, OH\",5.10,4.20,6.30,5.00,4.90,-,-,-,-,-,-,-,5.00\r\n"
                 "2007/05/03 12:30:45,3x3x3,17.00,16.00,19.50,18.00,15.20,-,-,-,-,-,-,-,17.00\r\n");
        QCOMPARE(QPoint(grid(v)->row(), grid(v)->col()), QPoint(1, 14));
        QVERIFY(idle(v));

        // Characters code page 932 has no place for: "?" and one word after.
        w.db().execute("update MT_Type set TypeNm='3x3 😀' where TypeID='1'");
        list(v, "cmbOrder")->setCurrentIndex(1);
        w.prompts().saveFiles = {path};
        trigger(v, "M_File1");
        QCOMPARE(w.prompts().texts(),
                 QStringList{"Shift_JIS(CP932)で表せない文字を含む項目が2件あり、"
                             "その文字を「?」にして出力しました"});
        QVERIFY(w.folder.read("results.csv").contains("\r\n2007/05/03 12:30:45,3x3 ?,"));
        w.prompts().boxes.clear();

        // A cancel: nothing at all.
        QFile::remove(path);
        trigger(v, "M_File1");
        QVERIFY(!QFile::exists(path));
        QVERIFY(w.prompts().boxes.empty());
    }

    void csvExportFailure()
    {
        HistoryWorld w;
        w.seedThree();
        View v(w);
        grid(v)->setRow(2);
        bool busyDuringBox = true;
        w.prompts().onMessage = [&](const ShownBox &) {
            busyDuringBox = QApplication::overrideCursor();
        };
        w.prompts().saveFiles = {w.folder.file("no such folder/out.csv")};
        trigger(v, "M_File1");
        QCOMPARE(w.prompts().boxes.size(), std::size_t(1));
        const QString text = w.prompts().boxes[0].text;
        QVERIFY(text.startsWith("CSV出力エラー\r\n") && text.size() > 10);
        QCOMPARE(logEntries(w.folder), QStringList{"[frmView]-[Sub_OutputCSV] " + text.mid(10)});
        QVERIFY(!busyDuringBox);
        QVERIFY(idle(v));
        QCOMPARE(grid(v)->row(), 2);  // the file never opened: the walk never started
    }
};

SPINLOG_TEST(HistoryWindowTest)
#include "tst_history_window.moc"
