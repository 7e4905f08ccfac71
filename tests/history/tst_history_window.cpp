// The history window driven as a user drives it: lists, keys, menus, the
// context menu, the save dialog and the questions answered through the fakes.

#include "app/ini_file.h"
#include "history/history_window.h"
#include "history_fixture.h"
#include "support/test_main.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

const QString kD1 = QStringLiteral("2007/05/01 21:03:09");
const QString kD2 = QStringLiteral("2007/05/02 08:00:00");
const QString kD3 = QStringLiteral("2007/05/03 12:30:45");

QStringList column(const Grid &grid, int col)
{
    QStringList list;
    for (int r = 1; r < grid.rows(); ++r) list << grid.textMatrix(r, col);
    return list;
}

QString view(const HistoryWorld &w, const QString &key)
{
    return iniRead(w.folder.file(QStringLiteral("Spinlog.ini")), QStringLiteral("View"), key,
                   QStringLiteral("(none)"));
}

void showActive(frmView &v)
{
    v.show();
    QApplication::setActiveWindow(&v);
    QVERIFY(QTest::qWaitForWindowActive(&v));
}

QPoint cellCentre(Grid &grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col)).center();
}

// Nothing left busy: normal pointer, empty status panel.
bool idle(const frmView &v)
{
    return QApplication::overrideCursor() == nullptr && v.statusPanel->text().isEmpty();
}

}  // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstOpening()
    {
        HistoryWorld w;
        w.seedThree();
        frmView v(w.program(), nullptr, nullptr);
        QCOMPARE(v.windowTitle(), QStringLiteral("計測結果"));
        QCOMPARE(v.pos(), QPoint(px(1000), px(3000)));
        QCOMPARE(v.size(), QSize(px(12615), px(5000)));
        QCOMPARE(v.cmbType->count(), 6);
        QCOMPARE(v.cmbType->itemText(0), QStringLiteral("全て"));
        QCOMPARE(v.cmbType->itemText(5), QStringLiteral("3x3x3目隠し"));
        QCOMPARE(v.cmbType->currentIndex(), 0);
        QCOMPARE(v.cmbOrder->itemText(3), QStringLiteral("平均 [降順]"));
        QCOMPARE(v.cmbOrder->currentIndex(), 0);
        // Setting both lists during the load does not query again.
        QCOMPARE(v.dataSetRuns(), 1);
        QCOMPARE(v.LoadEnd, QStringLiteral("1"));

        Grid &g = *v.vsFlex;
        QCOMPARE(g.cols(), 15);
        QCOMPARE(g.textMatrix(0, 0), QStringLiteral("日時"));
        QCOMPARE(g.textMatrix(0, 13), QStringLiteral("12"));
        QCOMPARE(g.textMatrix(0, 14), QStringLiteral("平均"));
        QCOMPARE(column(g, 0), (QStringList{kD1, kD2, kD3}));
        QCOMPARE(column(g, 1), (QStringList{"3x3x3", "2x2x2", "3x3x3"}));
        QCOMPARE(g.colAlignment(1), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(g.colAlignment(0), Qt::AlignCenter);
        QCOMPARE(g.fixedAlignment(1), Qt::AlignCenter);
        const QFontMetricsF metrics(v.font());
        QCOMPARE(g.colWidth(0),
                 int(std::lround(metrics.horizontalAdvance("  0000/00/00 00:00:00  ") * 15)));
        QCOMPARE(g.colWidth(2), g.colWidth(14));

        QCOMPARE(v.lblKensu->text(), QStringLiteral("3"));
        QCOMPARE(v.lblBTm->text(), QStringLiteral("4.20"));
        QCOMPARE(v.lblBAveTm->text(), QStringLiteral("5.00"));
        QCOMPARE(g.row(), 1);
        QCOMPARE(g.col(), 14);
        QCOMPARE(g.topRow(), 1);
        QVERIFY(idle(v));
        QVERIFY(w.prompts().boxes.empty());
    }

    void gridColours()
    {
        HistoryWorld w;
        w.program().settings.DefColor = QStringLiteral("255");        // red
        w.program().settings.BestColor = QStringLiteral("16711680");  // blue
        w.program().settings.WorstColor = QStringLiteral("65280");    // green
        addSeries(
            w.db(),
            {kD1, QStringLiteral("1"), {"12.00", "13.00", "10.00", "12.50", "15.00"}, "12.50"});
        addSeries(w.db(), {kD2, QStringLiteral("2"), {"9.87"}, "9.87"});
        frmView v(w.program(), nullptr, nullptr);
        const Grid &g = *v.vsFlex;
        QCOMPARE(g.cellBackColor(1, 2), QColor(Qt::red));
        QCOMPARE(g.cellBackColor(1, 4), QColor(Qt::blue));
        QCOMPARE(g.cellBackColor(1, 6), QColor(Qt::green));
        QCOMPARE(g.cellBackColor(1, 7), QColor(Qt::white));
        QCOMPARE(g.textMatrix(1, 7), QStringLiteral("-"));
        QVERIFY(!g.cellBackColor(1, 0).isValid());
        QVERIFY(!g.cellBackColor(1, 14).isValid());
        QCOMPARE(g.cellBackColor(2, 2), QColor(Qt::blue));
    }

    void emptyHistory()
    {
        HistoryWorld w;
        frmView v(w.program(), nullptr, nullptr);
        QCOMPARE(v.vsFlex->rows(), 1);
        QCOMPARE(v.vsFlex->textMatrix(0, 1), QStringLiteral("タイプ"));
        QCOMPARE(v.vsFlex->row(), 0);
        QCOMPARE(v.lblKensu->text(), QStringLiteral("0"));
        QCOMPARE(v.lblBTm->text(), QStringLiteral("-"));
        QCOMPARE(v.lblBAveTm->text(), QStringLiteral("-"));
    }

    void sizeRule()
    {
        HistoryWorld w;
        frmView v(w.program(), nullptr, nullptr);
        v.show();
        v.resize(300, 50);
        QCOMPARE(v.size(), QSize(px(12615), px(3000)));
        QCOMPARE(v.vsFlex->height(), px(3000 - 285 - 1300));
        v.resize(2000, 600);
        QCOMPARE(v.size(), QSize(px(12615), 600));
        QCOMPARE(v.vsFlex->height(), px(600 * 15 - 285 - 1300));
        QCOMPARE(v.vsFlex->geometry().topLeft(), QPoint(px(45), px(450)));
    }

    // The user's choices, position and height come back at the next opening.
    void settingsRoundTrip()
    {
        HistoryWorld w;
        w.seedThree();
        {
            frmView v(w.program(), nullptr, nullptr);
            showActive(v);
            QTest::keyClick(v.cmbType, Qt::Key_Down);
            for (int i = 0; i < 3; ++i) QTest::keyClick(v.cmbOrder, Qt::Key_Down);
            QCOMPARE(v.dataSetRuns(), 5);
            QCOMPARE(column(*v.vsFlex, 0), (QStringList{kD1, kD3}));
            QCOMPARE(v.lblBTm->text(), QStringLiteral("15.20"));
            v.move(150, 90);
            v.resize(v.width(), 400);
            v.M_File[3]->trigger();
            QVERIFY(!v.isVisible());
        }
        QCOMPARE(view(w, "Top"), QStringLiteral("1350"));
        QCOMPARE(view(w, "Left"), QStringLiteral("2250"));
        QCOMPARE(view(w, "Height"), QStringLiteral("6000"));
        QCOMPARE(view(w, "SearchType"), QStringLiteral("1"));
        QCOMPARE(view(w, "SearchOrder"), QStringLiteral("3"));

        frmView again(w.program(), nullptr, nullptr);
        QCOMPARE(again.pos(), QPoint(150, 90));
        QCOMPARE(again.height(), 400);
        QCOMPARE(again.cmbType->currentIndex(), 1);
        QCOMPARE(again.cmbOrder->currentIndex(), 3);
        QCOMPARE(again.dataSetRuns(), 1);
        QCOMPARE(column(*again.vsFlex, 0), (QStringList{kD1, kD3}));
    }

    void badStoredSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("description");
        QTest::newRow("type above 5") << QByteArray("[View]\r\nSearchType=6\r\n")
                                      << QStringLiteral("プロパティの値が不正です。");
        QTest::newRow("type below 0") << QByteArray("[View]\r\nSearchType=-1\r\n")
                                      << QStringLiteral("プロパティの値が不正です。");
        QTest::newRow("type no number")
            << QByteArray("[View]\r\nSearchType=abc\r\n") << describe::typeMismatch();
        QTest::newRow("order above 3") << QByteArray("[View]\r\nSearchOrder=4\r\n")
                                       << QStringLiteral("プロパティの値が不正です。");
        QTest::newRow("top no number")
            << QByteArray("[View]\r\nTop=\r\n") << describe::typeMismatch();
    }
    void badStoredSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, description);
        HistoryWorld w;
        w.seedThree();
        w.folder.write(QStringLiteral("Spinlog.ini"), ini);
        {
            frmView v(w.program(), nullptr, nullptr);
            QCOMPARE(w.prompts().texts(),
                     QStringList{QStringLiteral("フォームロードエラー\r\n") + description});
            QCOMPARE(w.prompts().boxes[0].icon, Icon::Critical);
            QCOMPARE(w.logTexts(),
                     QStringList{QStringLiteral("[frmView]-[Form_Load] ") + description});
            QCOMPARE(v.LoadEnd, QStringLiteral("0"));
            QCOMPARE(v.dataSetRuns(), 0);
            v.cmbType->setCurrentIndex(v.cmbType->count() - 1);
            QCOMPARE(v.dataSetRuns(), 0);
            v.show();
            v.close();
        }
        // The failed opening leaves usable positions behind: the next one works.
        QVERIFY(view(w, "SearchType").toInt() >= 0);
        QVERIFY(view(w, "SearchOrder").toInt() >= 0);
        w.prompts().boxes.clear();
        frmView again(w.program(), nullptr, nullptr);
        QVERIFY(w.prompts().boxes.empty());
        QCOMPARE(again.LoadEnd, QStringLiteral("1"));
    }

    void listErrorIsReported()
    {
        HistoryWorld w;
        w.seedThree();
        w.db().execute(QStringLiteral("update T_Time set AveTime=NULL where DateTime=?"), {kD2});
        frmView v(w.program(), nullptr, nullptr);
        const QString description = describe::invalidNull();
        QCOMPARE(w.prompts().texts(),
                 QStringList{QStringLiteral("データ表示エラー\r\n") + description});
        QCOMPARE(w.logTexts(),
                 QStringList{QStringLiteral("[frmView]-[Sub_DataSet] ") + description});
        // The rows before the failure stay; the boxes keep their texts.
        QCOMPARE(v.vsFlex->rows(), 3);
        QCOMPARE(v.vsFlex->textMatrix(2, 13), QStringLiteral("-"));
        QCOMPARE(v.lblKensu->text(), QStringLiteral("999999"));
        QVERIFY(idle(v));
    }

    // Del right after opening asks about the first listed record.
    void deleteCurrentRecord()
    {
        HistoryWorld w;
        w.seedThree();
        addSeries(w.db(), {kD3, QStringLiteral("5"), {"30.00"}, "30.00"});  // same DateTime
        frmView v(w.program(), nullptr, nullptr);
        showActive(v);
        v.vsFlex->setRow(3);
        v.statusPanel->setText(QStringLiteral("untouched"));
        w.prompts().answers = {Answer::No};
        QTest::keyClick(v.vsFlex, Qt::Key_Delete);
        const QString question = QStringLiteral("日時: ") + kD3 +
                                 QStringLiteral(" のデータを削除します、よろしいですか");
        QCOMPARE(w.prompts().texts(), QStringList{question});
        QCOMPARE(w.prompts().boxes[0].icon, Icon::Question);
        QCOMPARE(w.prompts().boxes[0].buttons, Buttons::YesNo);
        QCOMPARE(w.prompts().boxes[0].defaultButton, Answer::Yes);
        QCOMPARE(countRows(w.db()), 4);
        QCOMPARE(v.statusPanel->text(), QStringLiteral("untouched"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        w.prompts().answers = {Answer::Yes};
        QTest::keyClick(v.vsFlex, Qt::Key_Delete);
        // Both records of that DateTime go.
        QCOMPARE(countRows(w.db()), 2);
        QCOMPARE(v.lblKensu->text(), QStringLiteral("2"));
        QCOMPARE(v.vsFlex->row(), 1);
        QVERIFY(idle(v));

        w.prompts().answers = {Answer::Yes};
        QTest::keyClick(v.vsFlex, Qt::Key_Delete);
        QCOMPARE(w.prompts().texts().last(),
                 QStringLiteral("日時: ") + kD1 +
                     QStringLiteral(" のデータを削除します、よろしいですか"));
        QCOMPARE(column(*v.vsFlex, 0), QStringList{kD2});
    }

    void deleteAllListed()
    {
        HistoryWorld w;
        w.seedThree();
        addSeries(w.db(), {kD1, QStringLiteral("9"), {"1.00"}, "1.00"});  // type without entry
        frmView v(w.program(), nullptr, nullptr);
        v.cmbType->setCurrentIndex(1);
        w.prompts().answers = {Answer::No, Answer::Yes};
        v.M_Edit[2]->trigger();
        QCOMPARE(countRows(w.db()), 4);
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts().last(),
                 QStringLiteral("表示中の全てのデータ(2件)を削除します、よろしいですか"));
        QCOMPARE(countRows(w.db()), 2);
        QCOMPARE(countRows(w.db(), QStringLiteral("where TypeID='1'")), 0);
        QCOMPARE(v.vsFlex->rows(), 1);
        QCOMPARE(v.lblKensu->text(), QStringLiteral("0"));

        // "全て" empties the table, the unlisted type included.
        v.cmbType->setCurrentIndex(0);
        QCOMPARE(v.lblKensu->text(), QStringLiteral("1"));
        QCOMPARE(v.lblBTm->text(), QStringLiteral("1.00"));
        w.prompts().answers = {Answer::Yes};
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts().last(),
                 QStringLiteral("表示中の全てのデータ(1件)を削除します、よろしいですか"));
        QCOMPARE(countRows(w.db()), 0);
        QVERIFY(idle(v));
    }

    void deleteGuards()
    {
        HistoryWorld w;
        frmView v(w.program(), nullptr, nullptr);
        v.M_Edit[1]->trigger();
        v.M_Edit[2]->trigger();
        v.M_RightClick[1]->trigger();
        QCOMPARE(w.prompts().texts(), QStringList(3, QStringLiteral("削除するデータがありません")));
        QCOMPARE(w.prompts().boxes[0].icon, Icon::Exclamation);

        w.seedThree();
        v.Sub_DataSet();
        w.prompts().boxes.clear();
        v.vsFlex->setRow(0);
        v.M_Edit[1]->trigger();
        v.M_Edit[2]->trigger();
        QCOMPARE(w.prompts().texts(),
                 QStringList(2, QStringLiteral("削除するデータを選択してください")));
        QCOMPARE(countRows(w.db()), 3);
    }

    // Only the right button opens the context menu, and it leaves the current
    // row where it was.
    void contextMenu()
    {
        HistoryWorld w;
        w.seedThree();
        frmView v(w.program(), nullptr, nullptr);
        showActive(v);
        Grid &g = *v.vsFlex;
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 3, 2));
        QCOMPARE(g.row(), 3);
        QVERIFY(!v.M_RightClickMain->isVisible());
        QTest::mouseClick(g.viewport(), Qt::MiddleButton, {}, cellCentre(g, 2, 2));
        QVERIFY(!v.M_RightClickMain->isVisible());
        QTest::mousePress(g.viewport(), Qt::RightButton, {}, cellCentre(g, 2, 2));
        QVERIFY(v.M_RightClickMain->isVisible());
        QCOMPARE(g.row(), 3);
        QVERIFY(!v.menuBar->actions().contains(v.M_RightClickMain->menuAction()));
        w.prompts().answers = {Answer::No};
        v.M_RightClick[1]->trigger();
        v.M_RightClickMain->hide();
        QCOMPARE(w.prompts().texts(),
                 QStringList{QStringLiteral("日時: ") + kD3 +
                             QStringLiteral(" のデータを削除します、よろしいですか")});
    }

    void csvExport()
    {
        HistoryWorld w;
        w.seedThree();
        w.db().execute(QStringLiteral("update MT_Type set TypeNm='3x3, OH' where TypeID='2'"));
        frmView v(w.program(), nullptr, nullptr);
        v.vsFlex->setRow(3);
        const QString path = w.folder.file(QStringLiteral("results.csv"));
        w.prompts().saveFiles = {path};
        v.M_File[1]->trigger();

        QCOMPARE(w.prompts().saveRequests.size(), std::size_t(1));
        const SaveFileRequest &request = w.prompts().saveRequests[0];
        QCOMPARE(request.title, QStringLiteral("CSVファイル保存先の選択"));
        QCOMPARE(request.filters, (QStringList{QStringLiteral("CSVファイル(*.csv)"),
                                               QStringLiteral("すべてのファイル(*.*)")}));
        QCOMPARE(request.selectedFilter, 0);
        QCOMPARE(request.defaultSuffix, QStringLiteral("csv"));
        QVERIFY(request.confirmOverwrite);
        QVERIFY(request.initialName.isEmpty());

        const QByteArray expected =
            "\x93\xfa\x8e\x9e,\x83\x5e\x83\x43\x83\x76,1,2,3,4,5,6,7,8,9,10,11,12,"
            "\x95\xbd\x8b\xcf\r\n"
            "2007/05/01 21:03:09,3x3x3,20.00,18.50,22.10,19.00,21.00,-,-,-,-,-,-,-,20.00\r\n"
            "2007/05/02 08:00:00,\"3x3, OH\",5.10,4.20,6.30,5.00,4.90,-,-,-,-,-,-,-,5.00\r\n"
            "2007/05/03 12:30:45,3x3x3,17.00,16.00,19.50,18.00,15.20,-,-,-,-,-,-,-,17.00\r\n";
        QCOMPARE(w.folder.read(QStringLiteral("results.csv")), expected);
        QCOMPARE(v.vsFlex->row(), 1);
        QCOMPARE(v.vsFlex->col(), 14);
        QVERIFY(idle(v));
        QVERIFY(w.prompts().boxes.empty());

        // Another order, exported again over the same file.
        v.cmbOrder->setCurrentIndex(1);
        w.prompts().saveFiles = {path};
        v.M_File[1]->trigger();
        const QList<QByteArray> lines = w.folder.read(QStringLiteral("results.csv")).split('\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[1].startsWith(kD3.toLatin1()));
        QVERIFY(lines[3].startsWith(kD1.toLatin1()));

        // Cancel: nothing at all.
        QFile::remove(path);
        w.prompts().saveFiles = {QString()};
        v.M_File[1]->trigger();
        QVERIFY(!QFile::exists(path));
        QVERIFY(w.prompts().boxes.empty());
    }

    void csvExportRefusals()
    {
        HistoryWorld w;
        frmView v(w.program(), nullptr, nullptr);
        v.M_File[1]->trigger();
        QCOMPARE(w.prompts().texts(), QStringList{QStringLiteral("出力データがありません")});
        QVERIFY(w.prompts().saveRequests.empty());

        w.seedThree();
        v.Sub_DataSet();
        w.prompts().boxes.clear();
        v.vsFlex->setRow(2);
        bool pointerDuringBox = true;
        w.prompts().onMessage = [&pointerDuringBox](const ShownBox &) {
            pointerDuringBox = QApplication::overrideCursor() != nullptr;
        };
        w.prompts().saveFiles = {w.folder.file(QStringLiteral("no such folder/out.csv"))};
        v.M_File[1]->trigger();
        QCOMPARE(w.prompts().boxes.size(), std::size_t(1));
        const QString text = w.prompts().boxes[0].text;
        QVERIFY(text.startsWith(QStringLiteral("CSV出力エラー\r\n")));
        const QString description = text.mid(text.indexOf('\n') + 1);
        QVERIFY(!description.isEmpty());
        QCOMPARE(w.logTexts(),
                 QStringList{QStringLiteral("[frmView]-[Sub_OutputCSV] ") + description});
        QVERIFY(!pointerDuringBox);
        QVERIFY(idle(v));
        QCOMPARE(v.vsFlex->row(), 2);  // the file never opened: the cursor did not move
    }

    // Closing refreshes the main window's best labels for its own current type.
    void mainBestLabels()
    {
        HistoryWorld w;
        w.seedThree();
        w.program().CurTypeID = QStringLiteral("1");
        QLabel best, average;
        {
            frmView v(w.program(), &best, &average);
            v.cmbType->setCurrentIndex(2);  // the history's own filter does not matter
            v.show();
            v.close();
        }
        QCOMPARE(best.text(), QStringLiteral("15.20"));
        QCOMPARE(average.text(), QStringLiteral("17.00"));
        {
            frmView v(w.program(), &best, &average);
            v.cmbType->setCurrentIndex(1);
            v.vsFlex->setRow(2);  // the type's best series
            v.M_Edit[1]->trigger();
            v.show();
            v.close();
        }
        QCOMPARE(best.text(), QStringLiteral("18.50"));
        QCOMPARE(average.text(), QStringLiteral("20.00"));
        {
            frmView v(w.program(), &best, &average);
            v.M_Edit[2]->trigger();
            v.show();
            v.close();
        }
        QCOMPARE(best.text(), QStringLiteral("-"));
        QCOMPARE(average.text(), QStringLiteral("-"));
    }
};

SPINLOG_TEST(HistoryWindowTest)
#include "tst_history_window.moc"
