// The chart window offscreen: saving the picture through the save dialog
// (cancelled, failing, done) and its place in the settings file.

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
using namespace spinlog::test;

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void savePictureAndPlace()
    {
        TempAppFolder folder(false);
        FakeWorld w(folder.path());
        const QString ini = folder.file("Spinlog.ini");
        for (const char *key : {"Left", "Top", "Width", "Height"}) iniWrite(ini, "Chart", key, "x");
        ListedSeries listed;
        listed.data.typeNames << "3x3x3";
        for (int day = 1; day <= 28; ++day)
            listed.data.add(QString("2007/05/%1 21:00:00").arg(day, 2, 10, QChar('0')).toLatin1(),
                            0, 2500 - day * 20, 1900 - day * 10);
        auto chart = std::make_unique<frmChart>(w.program, listed, "3x3x3");
        QCOMPARE(chart->geometry(), QRect(px(1500), px(1500), px(12000), px(8000)));
        chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart.get()));

        const QString png = folder.file("chart.png");
        w.prompts.saveFiles = {"", folder.file("no such folder/chart.png"), png};
        chart->M_SavePNG->trigger();
        QVERIFY(w.prompts.boxes.empty());
        QCOMPARE(QDir(folder.path()).entryList({"*.png"}), QStringList());
        chart->M_SavePNG->trigger();
        QCOMPARE(w.prompts.boxes.size(), std::size_t(1));
        QVERIFY(w.prompts.boxes[0].text.startsWith("グラフ保存エラー\r\n"));
        QVERIFY(logTextAt(folder, 2).startsWith("[frmChart]-[Sub_SavePNG] "));
        chart->M_SavePNG->trigger();
        QCOMPARE(w.prompts.boxes.size(), std::size_t(1));
        const QImage image(png);
        QCOMPARE(image.size(), chart->chartView->size());
        // The dots are there in their colour, inside the plot.
        const QRect plot = chart->chartView->chart()->plotArea().toRect();
        int dotPixels = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                dotPixels += image.pixelColor(x, y) == chart->averages->color();
        QVERIFY2(dotPixels >= 28, qPrintable(QString::number(dotPixels)));

        chart->move(130, 70);
        chart->resize(900, 600);
        chart->close();
        chart = std::make_unique<frmChart>(w.program, listed, "3x3x3");
        QCOMPARE(chart->geometry(), QRect(130, 70, 900, 600));
    }
};

SPINLOG_TEST(ChartWindowTest)
#include "tst_chart_window.moc"
