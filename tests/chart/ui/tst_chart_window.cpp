// The chart window offscreen: its place from unusable settings, the picture
// saved through the save dialog (cancelled, failing, done), the mouse on it.

#include "app/log_reading.h"
#include "chart/ui/chart_window.h"
#include "support/fakes.h"
#include "support/test_main.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QScatterSeries>
#include <QTest>
#include <QValueAxis>

using namespace spinlog;

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void placePictureAndDrag()
    {
        test::TempAppFolder folder(false);
        test::FakeWorld w(folder.path());
        // The least size is 4500 by 3000 twips; anything else unusable is the default.
        folder.write("Spinlog.ini",
                     "[Chart]\r\nLeft=x\r\nTop=-1e40\r\nWidth=4499\r\nHeight=3000\r\n");
        ListedSeries listed;
        for (int day = 10; day < 30; ++day)
            listed.data.add(QString("2007/05/%1 21:00:00").arg(day).toLatin1(), 0, 3000 - day, {});
        ChartWindow chart({w.program.settings, w.prompts, w.program.reporter}, listed, "3x3x3");
        // The position as one, each size on its own.
        QCOMPARE(chart.geometry(), QRect(100, 100, 800, 200));
        QCOMPARE(test::logTextAt(folder, 2),
                 "[frmChart]-[Form_Load] 位置の設定(Left=x, Top=-1e40, Width=4499)"
                 "を使えないため、既定の値で表示しました");
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));

        w.prompts.saveFiles = {"", folder.file("none/a.png"), folder.file("a.png"),
                               folder.file("a.jpg"), folder.file("a.gif")};
        QAction *save = chart.findChild<QAction *>("M_SavePNG");
        save->trigger();  // cancelled
        QVERIFY(w.prompts.boxes.empty());
        save->trigger();
        QVERIFY(w.prompts.texts().value(0).startsWith("グラフ保存エラー\r\n"));
        QVERIFY(test::logTextAt(folder, 3).startsWith("[frmChart]-[SavePicture] "));
        save->trigger();
        QCOMPARE(w.prompts.boxes.size(), std::size_t(1));
        const QImage image(folder.file("a.png"));
        const QRect plot = chart.findChild<QChartView *>("chartView")->chart()->plotArea().toRect();
        const QColor dotColour(0x2f, 0x6f, 0xc0);
        int dots = 0;  // pixels of the dots' colour inside the plot
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                dots += image.pixelColor(x, y) == dotColour;
        QVERIFY2(dots >= 20, qPrintable(QString::number(dots)));
        // The format the name asks for; any other name gets ".png".
        save->trigger();
        save->trigger();
        QVERIFY(folder.read("a.jpg").startsWith("\xff\xd8\xff"));
        QVERIFY(folder.read("a.gif.png").startsWith("\x89PNG"));
        QVERIFY(!QFile::exists(folder.file("a.gif")));
        QCOMPARE(w.prompts.boxes.size(), std::size_t(1));
        // Never over the database, not even through a link.
        QVERIFY(QFile::link("Spinlog.mdb", folder.file("db.png")));
        const QByteArray database = folder.read("Spinlog.mdb");
        w.prompts.saveFiles = {folder.file("db.png")};
        save->trigger();
        QCOMPARE(w.prompts.texts().value(1),
                 "グラフ保存エラー\r\nSpinlog.mdb は Spinlog "
                 "が使うファイルなので、出力先にできません。");
        QCOMPARE(folder.read("Spinlog.mdb"), database);

        // Zoomed in, a drag pans the time axis; once the button is up, moving
        // the mouse leaves it where it is.
        auto *view = chart.findChild<QChartView *>("chartView");
        const auto *axis = static_cast<QValueAxis *>(view->chart()->axes(Qt::Horizontal).at(0));
        QWidget *port = view->viewport();
        const QPoint at = port->rect().center();
        const auto mouse = [&](QEvent::Type type, int dx, Qt::MouseButtons held) {
            QMouseEvent event(type, at + QPoint(dx, 0), port->mapToGlobal(at + QPoint(dx, 0)),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
            QApplication::sendEvent(port, &event);
        };
        QWheelEvent wheel(at, port->mapToGlobal(at), {}, {0, 360}, {}, {}, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(port, &wheel);
        const double zoomed = axis->min();
        mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton);
        mouse(QEvent::MouseMove, -100, Qt::LeftButton);
        const double dragged = axis->min();
        mouse(QEvent::MouseButtonRelease, -100, {});
        mouse(QEvent::MouseMove, -200, {});
        QVERIFY(dragged > zoomed);
        QCOMPARE(axis->min(), dragged);
    }
};

SPINLOG_TEST(ChartWindowTest)
#include "tst_chart_window.moc"
