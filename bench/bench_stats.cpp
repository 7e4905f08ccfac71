// The statistics with 1 000, 10 000 and 100 000 saved series, every type
// counted: the window opened (every solve read, the figures, the histogram
// and the days worked out, painted) beside the history window's opening in
// the same run; the window's update after one more save, from the history's
// signal to the repaint (the save's own write is not in it); and
// `spinlog --stats` at 100 000 series, process start included, through
// measure_child. Medians of several runs and the peak memory of each.

#include "base/errors.h"
#include "bench_support.h"
#include "data/record_stores.h"
#include "history/ui/history_window.h"
#include "stats/ui/stats_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kRuns = 7;
constexpr int kSaves = 20;
constexpr int kProcessRuns = 5;

SeriesRecord oneSeries(int n)
{
    SeriesRecord r;
    // Later than every saved series, each a minute after the one before, as
    // saves come.
    r.dateTime = QDateTime(QDate(2030, 1, 1), QTime(10, 0))
                     .addSecs(60 * n)
                     .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    r.typeId = TypeId(QStringLiteral("1"));
    const QStringList times{"12.34", "11.02", "13.50", "DNF", "12.00"};
    for (int i = 0; i < 12; ++i) r.times[std::size_t(i)] = times.value(i, QStringLiteral("-"));
    // With its solves, as the timing saves them: 10 s apart, the last at the
    // save.
    const std::int64_t raws[] = {1234, 1102, 1350, 1587, 1200};
    const std::int64_t saved =
        QDateTime::fromString(r.dateTime, QStringLiteral("yyyy/MM/dd HH:mm:ss"))
            .toMSecsSinceEpoch();
    for (int i = 0; i < 5; ++i) {
        r.attempts[std::size_t(i)] = Attempt{raws[i], i == 3 ? Penalty::Dnf : Penalty::None};
        r.details[std::size_t(i)].moment = saved - (4 - i) * 10'000;
        r.details[std::size_t(i)].scramble = QStringLiteral("R U R' U' F2 D L2 B' R2 U2 F");
    }
    r.aveTime = QStringLiteral("12.61");
    r.aveHundredths = 1261;
    r.bestNo = 2;
    r.bestTime = QStringLiteral("11.02");
    r.bestHundredths = 1102;
    r.worstNo = 4;
    r.worstTime = QStringLiteral("DNF");
    r.worstHundredths = kDnfHundredths;
    return r;
}

void settle()
{
    // The deferred update, then the repaint it asks for.
    QApplication::processEvents();
    QApplication::processEvents();
}

void measure(int series)
{
    QTemporaryDir dir;
    const QString dbPath = installDatabase(seriesDatabase(series), dir.path());
    BenchWorld world(dir.path());
    Program &program = world.program;

    std::vector<double> historyOpen, open, openCpu, update, peak;
    int saved = 0;  // the series the runs have added to the file
    QString solves;
    for (int run = 0; run < kRuns; ++run) {
        program.records = std::make_unique<RecordStores>(Database::open(dbPath));
        RecordStores &r = *program.records;
        {
            const std::int64_t start = nowNs();
            frmView view(HistoryWindowParts{r.history, r.historyList, r.historyChart,
                                            r.historyExport, r.types, program.settings,
                                            world.prompts, program.reporter});
            view.show();
            QApplication::processEvents();
            historyOpen.push_back(msSince(start));
        }
        QApplication::processEvents();
        // A fresh connection again, as the statistics are opened in a run of
        // their own.
        program.records.reset();
        program.records = std::make_unique<RecordStores>(Database::open(dbPath));
        HistoryWriter &history = program.records->history;
        std::int64_t signalled = 0;
        QObject::connect(&history, &HistoryWriter::changed, [&signalled] { signalled = nowNs(); });
        StatsWindowParts parts{history,
                               program.records->historySolves,
                               program.records->types,
                               program.reporter,
                               world.clock,
                               [] {
                                   return SeriesUnderWay{TypeId("1"), {}};
                               }};

        resetPeakRss();
        const std::int64_t start = nowNs();
        const double startCpu = cpuMs();
        auto window = std::make_unique<StatsWindow>(parts, TypeFilter());
        window->show();
        QApplication::processEvents();
        open.push_back(msSince(start));
        openCpu.push_back(cpuMs() - startCpu);
        solves =
            window->findChild<QTableWidget *>(QStringLiteral("tblFigures"))->item(0, 0)->text();

        for (int save = 0; save < (run == 0 ? kSaves : 3); ++save) {
            history.add(oneSeries(saved++));
            settle();
            update.push_back(msSince(signalled));
        }
        peak.push_back(peakRssMb());
        window.reset();
        program.records.reset();
    }
    if (world.prompts.messages != 0)
        throw SpinlogError(QStringLiteral("the statistics window reported a failure"));

    std::printf("statistics, %d series (%s solves), medians of %d runs\n", series,
                qPrintable(solves), kRuns);
    printRuns(QStringLiteral("history window open"), historyOpen);
    printRuns(QStringLiteral("statistics window open, every type"), open);
    printRuns(QStringLiteral("the same, processor time"), openCpu);
    printRuns(QStringLiteral("update after one save"), update);
    std::printf("  ratio to the history window's opening %.2f; peak memory %.1f MB\n",
                median(open) / median(historyOpen), worst(peak));
    const QString name = QStringLiteral("stats.%1").arg(series);
    report(name + QStringLiteral(".open"), median(open), "ms");
    report(name + QStringLiteral(".history_open"), median(historyOpen), "ms");
    report(name + QStringLiteral(".open_ratio"), median(open) / median(historyOpen), "x");
    report(name + QStringLiteral(".update"), median(update), "ms");
    report(name + QStringLiteral(".update.worst"), worst(update), "ms");
    report(name + QStringLiteral(".peak_rss"), worst(peak), "MB");
}

// The program itself in a folder of its own with the database, its output
// thrown away.
void commandLine(int series)
{
    QTemporaryDir dir;
    installDatabase(seriesDatabase(series), dir.path());
    const QString program = dir.filePath(QStringLiteral("spinlog"));
    if (!QFile::copy(QStringLiteral(SPINLOG_APP_DIR "/spinlog"), program))
        throw SpinlogError(QStringLiteral("cannot copy the program"));
    std::vector<double> wall, cpu, peak;
    for (int run = 0; run < kProcessRuns; ++run) {
        const CliRun figures = runMeasured(program, {QStringLiteral("--stats")});
        wall.push_back(figures.ms);
        peak.push_back(figures.peakRssMb);
        cpu.push_back(figures.cpuMs);
    }
    printRuns(QStringLiteral("spinlog --stats, %1 series").arg(series), wall);
    printRuns(QStringLiteral("  processor time"), cpu);
    const QString name = QStringLiteral("stats.cli.%1").arg(series);
    report(name, median(wall), "ms");
    report(name + QStringLiteral(".peak_rss"), worst(peak), "MB");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    try {
        for (int series : kSizes) measure(series);
        commandLine(100000);
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_stats: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
