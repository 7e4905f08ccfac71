// The stopwatch with the real clock and a real database file:
//  1. stop latency: from the stop key (the F5 item) to the solve shown in its
//     label, painted, with its row committed in W_Time; median and worst of
//     1000 stops; again with the scramble window open, for the 3x3x3 and for
//     Square-1, the scramble that takes longest to make;
//  2. accuracy: the measured solve against the interval between the two
//     handled presses, read from the same clock around them.

#include "app/mdb.h"
#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "app/ui/startup.h"
#include "bench_support.h"
#include "data/record_stores.h"
#include "main_window/ui/main_window.h"
#include "scramble/scramble.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

double ms(std::int64_t ns)
{
    return double(ns) / 1e6;
}

void printFigures(const char *what, const QString &name, std::vector<std::int64_t> values)
{
    const auto worstAt = std::max_element(values.begin(), values.end()) - values.begin();
    std::sort(values.begin(), values.end());
    std::printf("%-44s median %7.3f ms  99%% %7.3f ms  worst %7.3f ms (sample %td of %zu)\n", what,
                ms(values[values.size() / 2]), ms(values[values.size() * 99 / 100]),
                ms(values.back()), worstAt + 1, values.size());
    report(name + QStringLiteral(".median"), ms(values[values.size() / 2]), "ms");
    report(name + QStringLiteral(".p99"), ms(values[values.size() * 99 / 100]), "ms");
    report(name + QStringLiteral(".worst"), ms(values.back()), "ms");
}

// Notes when a watched widget is painted.
class PaintClock : public QObject {
public:
    explicit PaintClock(std::int64_t (*now)()) : now_(now) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at == 0)
            at = now_();
        return false;
    }
    std::int64_t at = 0;

private:
    std::int64_t (*now_)();
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Spinlog.mdb"));
    if (!QFile::copy(QStringLiteral(SPINLOG_APP_DIR "/Spinlog.mdb"), db)) {
        std::fprintf(stderr, "bench_stopwatch: no delivered database in %s\n", SPINLOG_APP_DIR);
        return 1;
    }
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    QFile ini(dir.filePath(QStringLiteral("Spinlog.ini")));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write("[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n") < 0)
        return 1;
    ini.close();

    BenchWorld world(dir.path());
    Program &program = world.program;
    if (!Fun_MDBOpen(program, db))
        return 1;
    program.settings.load();
    // Twelve solves a series, so a stop never runs into the save question;
    // a Square-1 type of the same count.
    program.records->database().execute(
        QStringLiteral("update MT_Type set TypeCnt=12 where TypeID='1'"));
    program.records->database().execute(
        QStringLiteral("insert into MT_Type values ('6', 'Square-1', 12, '0')"));
    std::unique_ptr<frmMain> shown = makeMainWindow(program);
    frmMain &window = *shown;
    window.show();
    QCoreApplication::processEvents();

    std::int64_t (*steady)() = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    QAction *startStop = window.findChild<QAction *>(QStringLiteral("M_File1"));
    QAction *reset = window.findChild<QAction *>(QStringLiteral("M_File2"));
    const SolveSession &session = *program.session;
    const auto seriesFull = [&session] { return session.solves().size() >= 11; };

    // 1. Stop latency, then the same with the scramble window open, making
    //    the next scramble on its worker thread after every stop.
    resetPeakRss();
    // The solve is shown when its label is painted: the moment a label's
    // paint event arrives, whatever else the event loop then goes on to do.
    PaintClock painted(steady);
    for (QLabel *label : window.findChildren<QLabel *>())
        if (label->objectName().startsWith(QStringLiteral("lblTime")))
            label->installEventFilter(&painted);
    const auto stops = [&] {
        std::vector<std::int64_t> latency;
        for (int i = 0; i < 1000; ++i) {
            if (seriesFull())
                reset->trigger();  // a new series
            startStop->trigger();
            // The shortest of solves: what the event loop has to do in
            // between (the next scramble made, shown and painted) is done.
            for (int wait = 0; wait < 4; ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                QCoreApplication::processEvents();
            }
            const std::int64_t pressed = steady();
            painted.at = 0;
            startStop->trigger();
            QCoreApplication::processEvents();
            latency.push_back((painted.at ? painted.at : steady()) - pressed);
        }
        return latency;
    };
    printFigures("stop key to label shown and row committed:", QStringLiteral("stop"), stops());
    report(QStringLiteral("stop.peak_rss"), peakRssMb(), "MB");
    QAction *scramble = window.findChild<QAction *>(QStringLiteral("M_ToolScramble"));
    scramble->trigger();
    QCoreApplication::processEvents();
    printFigures("the same, scramble window open:", QStringLiteral("stop.scramble"), stops());
    scramble->trigger();
    // Square-1's, its tables built first as its first scramble would.
    prepareTables(ScrambleKind::Square1);
    QComboBox *types = window.findChild<QComboBox *>(QStringLiteral("cmbType"));
    reset->trigger();
    types->setCurrentIndex(types->findText(QStringLiteral("Square-1")));
    scramble->trigger();
    QCoreApplication::processEvents();
    printFigures("the same, Square-1's scramble window open:", QStringLiteral("stop.scramble.sq1"),
                 stops());
    scramble->trigger();
    reset->trigger();
    types->setCurrentIndex(0);

    // 1b. A penalty given (Ctrl+2) to the solve just stopped, until its label
    //     shows the new text: the row updated, marks and labels again.
    QAction *plusTwo = window.findChild<QAction *>(QStringLiteral("M_Penalty1"));
    std::vector<std::int64_t> penalties;
    for (int i = 0; i < 1000; ++i) {
        if (seriesFull())
            reset->trigger();
        startStop->trigger();
        startStop->trigger();
        QCoreApplication::processEvents();
        const std::int64_t pressed = steady();
        painted.at = 0;
        plusTwo->trigger();
        QCoreApplication::processEvents();
        penalties.push_back((painted.at ? painted.at : steady()) - pressed);
    }
    printFigures("penalty key to label shown and row committed:", QStringLiteral("penalty"),
                 penalties);

    // 2. Accuracy: the solve against the interval between the handled presses.
    reset->trigger();
    std::vector<std::int64_t> error;
    for (int i = 0; i < 200; ++i) {
        if (seriesFull())
            reset->trigger();
        // Each press is handed to the window right after its reading.
        const std::int64_t started = steady();
        startStop->trigger();
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + (i * 7) % 40));
        const std::int64_t stopped = steady();
        startStop->trigger();
        const std::int64_t measured = session.lastSolveNs();
        error.push_back(std::abs(measured - (stopped - started)));
        QCoreApplication::processEvents();
    }
    printFigures("solve vs interval between handled presses:", QStringLiteral("stop.accuracy"),
                 error);
    return 0;
}
