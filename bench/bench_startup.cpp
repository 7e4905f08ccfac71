// Start-up until the main window is painted, with the delivered (empty)
// database and with 100 000 saved series, and the first start-up with 100 000
// series an older program saved, which gains its indexes then. Each run is a
// fresh process (this program started again with --child), as every start of
// the program is: it sets Qt up as the program does, then calls Main() with
// the real seams on the offscreen platform and waits for the window's first
// paint. Medians of 20 runs (5 first start-ups, each on a fresh copy) of
// Main() to painted and of process start to painted, and the peak memory at
// that moment. Then the same 100 000 series in a file of 100 puzzle types
// against the five, runs of the two taken in turn: start-up, and a type
// chosen in the main window's list until its display is painted (the median
// of 40 changes in each run), each with its ratio to the five types'.

#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "app/ui/startup.h"
#include "base/errors.h"
#include "bench_support.h"
#include "main_window/ui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstring>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

constexpr int kRuns = 20;
constexpr int kSeries = 100000;
constexpr int kFirstRuns = 5;
constexpr int kTypeChanges = 40;

// The real seams in a folder of our choosing, the instance lock included.
class FolderRealApp : public RealApp {
public:
    explicit FolderRealApp(QString folder) : folder_(std::move(folder)) {}
    QString folder() const override { return folder_; }
    void endNow() override { ended = true; }
    bool ended = false;

private:
    QString folder_;
};

// Notes the first paint of any top-level window.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow())
            painted = true;
        return false;
    }
};

// The main window's type list set to its first and second entry in turn,
// each change until the window is painted again; the median in ms.
double typeChangeMs(frmMain &window, PaintWatch &watch)
{
    auto *list = window.findChild<QComboBox *>(QStringLiteral("cmbType"));
    std::vector<double> ms;
    for (int i = 0; i < kTypeChanges; ++i) {
        watch.painted = false;
        const std::int64_t start = nowNs();
        list->setCurrentIndex(1 - i % 2);
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ms.push_back(msSince(start));
    }
    return median(ms);
}

// One start-up: prints "<Main called ns> <painted ns> <peak kB> <type change ms>".
int child(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    setUpApplication();
    PaintWatch watch;
    app.installEventFilter(&watch);

    QtPrompts prompts;
    SteadyClock clock;
    QtSound sound;
    DesktopShell shell;
    FolderRealApp realApp(folder);
    Program program(Seams{prompts, clock, sound, shell, realApp});

    const std::int64_t called = nowNs();
    std::unique_ptr<frmMain> window = Main(program);
    if (!window) {
        std::fprintf(stderr, "bench_startup: Main ended the program\n");
        return 1;
    }
    const std::int64_t deadline = called + 20'000'000'000;
    while (!watch.painted && nowNs() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const std::int64_t painted = nowNs();
    if (!watch.painted) {
        std::fprintf(stderr, "bench_startup: the window was never painted\n");
        return 1;
    }
    const double peakKb = peakRssMb() * 1024;
    const double change = typeChangeMs(*window, watch);
    std::printf("%lld %lld %.0f %.4f\n", static_cast<long long>(called),
                static_cast<long long>(painted), peakKb, change);
    std::fflush(stdout);
    window.reset();
    return 0;
}

struct Figures {
    std::vector<double> main, process, peak, change;
};

// One start-up in a process of its own, in the folder, added to the figures.
void startOnce(const QString &folder, Figures &figures)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const std::int64_t started = nowNs();
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), folder});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        throw SpinlogError(QStringLiteral("a start-up run failed"));
    const QList<QByteArray> out = process.readAllStandardOutput().trimmed().split(' ');
    if (out.size() != 4)
        throw SpinlogError(QStringLiteral("a start-up run gave no figures"));
    const double called = out[0].toDouble(), painted = out[1].toDouble();
    figures.main.push_back((painted - called) / 1e6);
    figures.process.push_back((painted - double(started)) / 1e6);
    figures.peak.push_back(out[2].toDouble() / 1024);
    figures.change.push_back(out[3].toDouble());
}

// Runs start-up RUNS times; a fresh copy of the file for each when fresh.
Figures measure(const QString &database, int runs = kRuns, bool fresh = false)
{
    QTemporaryDir dir;
    installDatabase(database, dir.path());
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        if (fresh && run > 0)
            installDatabase(database, dir.path());
        startOnce(dir.path(), figures);
    }
    return figures;
}

// Start-ups of two files taken in turn, so a machine busy for a while
// weighs on both alike.
std::pair<Figures, Figures> measureInTurn(const QString &first, const QString &second)
{
    QTemporaryDir one, two;
    installDatabase(first, one.path());
    installDatabase(second, two.path());
    std::pair<Figures, Figures> figures;
    for (int run = 0; run < kRuns; ++run) {
        startOnce(one.path(), figures.first);
        startOnce(two.path(), figures.second);
    }
    return figures;
}

void print(const QString &name, const QString &what, const Figures &f)
{
    printRuns(what + QStringLiteral(": Main() to painted"), f.main);
    printRuns(what + QStringLiteral(": process start to painted"), f.process);
    report(name, median(f.main), "ms");
    report(name + QStringLiteral(".process"), median(f.process), "ms");
    report(name + QStringLiteral(".peak_rss"), worst(f.peak), "MB");
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return child(1, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    try {
        std::printf("start-up until the main window is painted, %d runs each\n", kRuns);
        print(QStringLiteral("startup.empty"), QStringLiteral("empty database"),
              measure(deliveredDatabase()));
        const QString many = seriesDatabase(kSeries);
        print(QStringLiteral("startup.%1").arg(kSeries), QStringLiteral("%1 series").arg(kSeries),
              measure(many));
        const QString older = olderSeriesDatabase(kSeries);
        print(QStringLiteral("startup.%1.first").arg(kSeries),
              QStringLiteral("%1 series, first start after an older program").arg(kSeries),
              measure(older, kFirstRuns, true));

        const auto [five, hundred] = measureInTurn(many, manyTypesDatabase(kSeries));
        printRuns(QStringLiteral("five types: Main() to painted"), five.main);
        printRuns(QStringLiteral("100 types: Main() to painted"), hundred.main);
        printRuns(QStringLiteral("five types: a type chosen until painted"), five.change);
        printRuns(QStringLiteral("100 types: a type chosen until painted"), hundred.change);
        report(QStringLiteral("startup.types5"), median(five.main), "ms");
        report(QStringLiteral("startup.types100"), median(hundred.main), "ms");
        report(QStringLiteral("startup.types100.ratio"), median(hundred.main) / median(five.main),
               "x");
        report(QStringLiteral("typechange.types5"), median(five.change), "ms");
        report(QStringLiteral("typechange.types100"), median(hundred.change), "ms");
        report(QStringLiteral("typechange.types100.ratio"),
               median(hundred.change) / median(five.change), "x");
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_startup: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
