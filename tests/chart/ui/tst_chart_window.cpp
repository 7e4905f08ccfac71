// The chart window offscreen: its place from bad settings, the picture saved
// through the save dialog (cancelled, failing, done).

#include "app/ini_file.h"
#include "app/log_reading.h"
#include "chart/ui/chart_window.h"
#include "support/fakes.h"
#include "support/test_main.h"
#include "widgets/units.h"

#include <QChart>
#include <QScatterSeries>
#include <QTest>

using namespace spinlog;

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void savePicture()
    {
        test::TempAppFolder folder(false);
        test::FakeWorld w(folder.path());
        for (const char *key : {"Left", "Top", "Width", "Height"})
            iniWrite(folder.file("Spinlog.ini"), "Chart", key, "x");
        ListedSeries listed;
        for (int day = 10; day < 30; ++day)
            listed.data.add(QString("2007/05/%1 21:00:00").arg(day).toLatin1(), 0, 3000 - day, {});
        frmChart chart(w.program, listed, "3x3x3");
        QCOMPARE(chart.geometry(), QRect(px(1500), px(1500), px(12000), px(8000)));
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));

        w.prompts.saveFiles = {"", folder.file("none/a.png"), folder.file("a.png")};
        chart.M_SavePNG->trigger();  // cancelled
        QVERIFY(w.prompts.boxes.empty());
        chart.M_SavePNG->trigger();
        QCOMPARE(w.prompts.texts().value(0).section("\r\n", 0, 0), "グラフ保存エラー");
        QVERIFY(test::logTextAt(folder, 2).startsWith("[frmChart]-[Sub_SavePNG] "));
        chart.M_SavePNG->trigger();
        QCOMPARE(w.prompts.boxes.size(), std::size_t(1));
        const QImage image(folder.file("a.png"));
        QCOMPARE(image.size(), chart.chartView->size());
        const QRect plot = chart.chartView->chart()->plotArea().toRect();
        int dots = 0;  // pixels of the dots' colour inside the plot
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                dots += image.pixelColor(x, y) == chart.averages->color();
        QVERIFY2(dots >= 20, qPrintable(QString::number(dots)));
    }
};

SPINLOG_TEST(ChartWindowTest)
#include "tst_chart_window.moc"
