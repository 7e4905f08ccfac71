// The main window and the statistics window as start-up assembles them, after
// weeks of saved series and three solves of a new one, looked at as pictures:
// the marks must be painted where the solve labels are. The same pictures are
// the screenshots of the desktop's software listing: with SPINLOG_PICTURES=DIR
// (scripts/screenshots) they are written there.

#include "app/mdb.h"
#include "app/ui/startup.h"
#include "data/record_stores.h"
#include "main_window/ui/main_window.h"
#include "session/series_rules.h"
#include "stats/ui/stats_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"
#include "widgets/units.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Five weeks of 3x3x3 series, none to four a day, getting faster, one solve
// in twenty a DNF. Returns the number of solves.
int addWeeks(HistoryWriter &history)
{
    int solves = 0;
    std::uint32_t noise = 12345;
    const auto next = [&noise](int below) {
        noise = noise * 1103515245 + 12345;
        return int(noise >> 16) % below;
    };
    for (int day = 0; day < 35; ++day) {
        for (int series = next(5); series > 0; --series) {
            std::vector<Attempt> attempts;
            for (int n = 0; n < 5; ++n)
                attempts.push_back(
                    {2750 - day * 18 + next(500), next(20) == 0 ? Penalty::Dnf : Penalty::None});
            const QTime at = QTime(7, 0).addSecs(series * 3 * 3600 + next(3000));
            history.add(seriesOfAttempts(
                QDateTime(QDate(2007, 4, 1).addDays(day), at).toString("yyyy/MM/dd HH:mm:ss"),
                TypeId("1"), attempts, AverageRule::LeaveOutBestWorst));
            solves += 5;
        }
    }
    return solves;
}

// The colour painted a few pixels inside a label, in the window's picture.
QColor paintedIn(const QImage &picture, QWidget *window, const char *label)
{
    const QPoint at = window->findChild<QLabel *>(label)->mapTo(window, QPoint(4, 4));
    return picture.pixelColor(at * picture.devicePixelRatio());
}

void keep(const QImage &picture, const char *name)
{
    const QString folder = qEnvironmentVariable("SPINLOG_PICTURES");
    if (!folder.isEmpty())
        QVERIFY(picture.save(QDir(folder).filePath(name)));
}

}  // namespace

class WindowPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void aSeriesUnderWayAndItsStatistics()
    {
        QApplication::setFont(layoutFont(9));
        TempAppFolder folder;
        folder.write("Spinlog.ini", "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n");
        FakeWorld world(folder.path());
        world.clock.now = QDateTime(QDate(2007, 5, 5), QTime(20, 30));
        QVERIFY(Fun_MDBOpen(world.program, folder.file("Spinlog.mdb")));
        const int saved = addWeeks(world.program.records->history);
        world.program.settings.load();
        std::unique_ptr<frmMain> window = makeMainWindow(world.program);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (int ms : {21870, 19640, 23120}) {
            window->findChild<QAction *>("M_File1")->trigger();
            world.clock.advanceMs(ms);
            window->findChild<QAction *>("M_File1")->trigger();
        }
        const QImage main = window->grab().toImage();
        QCOMPARE(main.size(), window->size() * main.devicePixelRatio());
        const QStringList marks{paintedIn(main, window.get(), "lblTime1").name(),
                                paintedIn(main, window.get(), "lblTime2").name(),
                                paintedIn(main, window.get(), "lblTime3").name(),
                                paintedIn(main, window.get(), "lblTime4").name()};
        QCOMPARE(marks, (QStringList{"#dfdfdf", "#8080ff", "#ff8080", "#dfdfdf"}));
        keep(main, "main-window.png");

        window->findChild<QAction *>("M_ToolStats")->trigger();
        StatsWindow *stats = nullptr;
        QTRY_VERIFY((stats = window->findChild<StatsWindow *>()) && stats->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(stats));
        // The figures include the series under way.
        QCOMPARE(stats->findChild<QTableWidget *>("tblFigures")->item(0, 0)->text(),
                 QString::number(saved + 3));
        keep(stats->grab().toImage(), "statistics-window.png");
    }
};

SPINLOG_TEST(WindowPicturesTest)
#include "tst_window_pictures.moc"
