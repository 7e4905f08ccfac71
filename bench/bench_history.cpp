// The history window with 1 000, 10 000 and 100 000 saved series: opening the
// window (the list by date, filled and painted) and re-sorting it by average,
// each against the engine alone stepping through the same list statement on
// a connection opened as the program opens its own (the limit), and against
// the sqlcipher command line running it on the same file; and the CSV export
// of every row. Medians of several runs, wall clock and processor time (the
// machine may be shared), and the peak memory of each step.

#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "base/errors.h"
#include "bench_support.h"
#include "data/record_stores.h"
#include "history/ui/history_window.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <optional>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kRuns = 7;

struct Times {
    std::vector<double> wall, cpu;
};

class Stopwatch {
public:
    void stop(Times &times) const
    {
        times.wall.push_back(msSince(wall_));
        times.cpu.push_back(cpuMs() - cpu_);
    }

private:
    std::int64_t wall_ = nowNs();
    double cpu_ = cpuMs();
};

void print(const char *what, const Times &times, const Times *limit = nullptr)
{
    std::printf("  %-34s wall %7.1f ms  cpu %7.1f ms", what, median(times.wall), median(times.cpu));
    if (limit)
        std::printf("  ratio wall %.2f cpu %.2f", median(times.wall) / median(limit->wall),
                    median(times.cpu) / median(limit->cpu));
    QStringList runs;
    for (double v : times.wall) runs << QString::number(v, 'f', 0);
    std::printf("  (wall %s)\n", qPrintable(runs.join(QLatin1Char(' '))));
}

void runCli(const QString &folder, const QString &database, const QString &statement, Times &times,
            std::vector<double> &peaks)
{
    const CliRun run =
        runSqlcipher(folder, database, "PRAGMA key = 'wubd';\n" + statement.toUtf8() + ";\n");
    times.wall.push_back(run.ms);
    times.cpu.push_back(run.cpuMs);
    peaks.push_back(run.peakRssMb);
}

void measure(int series)
{
    QTemporaryDir dir;
    const QString dbPath = installDatabase(seriesDatabase(series), dir.path());
    BenchWorld world(dir.path());
    BenchPrompts &prompts = world.prompts;
    Program &program = world.program;
    prompts.exportPath = dir.filePath(QStringLiteral("all.csv"));

    // Every type, by date (the window's first list) and by average, as the
    // window lists them from this file.
    QString byDate, byAverage;
    {
        auto db = Database::open(dbPath);
        const HistoryList history(*db);
        byDate = history.listStatement({}, HistoryOrder::DateAscending);
        byAverage = history.listStatement({}, HistoryOrder::AverageAscending);
    }
    Times cliList, cliAverage, bareList, bareAverage, open, resort, exportAll;
    std::vector<double> cliPeak, viewPeak, csvPeak;
    int listed = 0;
    for (int run = 0; run < kRuns; ++run) {
        // The program holds the file exclusively; the command line runs
        // while it is closed.
        runCli(dir.path(), dbPath, byDate, cliList, cliPeak);
        runCli(dir.path(), dbPath, byAverage, cliAverage, cliPeak);
        {
            // In the window's own sequence: a fresh connection, then the re-sort.
            auto db = Database::open(dbPath);
            Stopwatch bare;
            stepAllMs(*db, byDate);
            bare.stop(bareList);
            Stopwatch again;
            stepAllMs(*db, byAverage);
            again.stop(bareAverage);
        }

        program.records = std::make_unique<RecordStores>(Database::open(dbPath));
        resetPeakRss();
        std::optional<Stopwatch> watch(std::in_place);
        RecordStores &r = *program.records;
        auto view = std::make_unique<frmView>(
            HistoryWindowParts{r.history, r.historyList, r.historyChart, r.historyExport, r.types,
                               program.settings, prompts, program.reporter});
        view->show();
        QApplication::processEvents();
        watch->stop(open);
        listed = view->findChild<QLabel *>(QStringLiteral("lblKensu"))->text().toInt();
        auto *order = view->findChild<QComboBox *>(QStringLiteral("cmbOrder"));

        watch.emplace();
        order->setCurrentIndex(2);
        QApplication::processEvents();
        watch->stop(resort);
        viewPeak.push_back(peakRssMb());

        resetPeakRss();
        watch.emplace();
        view->findChild<QAction *>(QStringLiteral("M_File1"))->trigger();
        watch->stop(exportAll);
        csvPeak.push_back(peakRssMb());

        // Closing stores the order; the next run opens by date again.
        order->setCurrentIndex(0);
        view->close();
        view.reset();
        QApplication::processEvents();
        program.records.reset();
    }
    if (listed != series || prompts.messages != 0)
        throw SpinlogError(
            QStringLiteral("the window listed %1 of %2 series").arg(listed).arg(series));

    std::printf("history, %d series: CSV %.1f MB, medians of %d runs\n", series,
                double(QFileInfo(prompts.exportPath).size()) / 1e6, kRuns);
    print("sqlcipher CLI, list by date", cliList);
    print("sqlcipher CLI, list by average", cliAverage);
    print("engine alone, list by date", bareList);
    print("engine alone, then by average", bareAverage);
    print("open window", open, &bareList);
    print("re-sort by average", resort, &bareAverage);
    print("CSV export of all rows", exportAll);
    std::printf("  peak memory: window %.1f MB, export %.1f MB, command line %.1f MB\n",
                worst(viewPeak), worst(csvPeak), worst(cliPeak));

    const QString name = QStringLiteral("history.%1").arg(series);
    report(name + QStringLiteral(".open"), median(open.wall), "ms");
    report(name + QStringLiteral(".open.cli"), median(cliList.wall), "ms");
    report(name + QStringLiteral(".open.bare"), median(bareList.wall), "ms");
    report(name + QStringLiteral(".resort"), median(resort.wall), "ms");
    report(name + QStringLiteral(".resort.cli"), median(cliAverage.wall), "ms");
    report(name + QStringLiteral(".resort.bare"), median(bareAverage.wall), "ms");
    report(name + QStringLiteral(".peak_rss"), worst(viewPeak), "MB");
    report(name + QStringLiteral(".cli_peak_rss"), worst(cliPeak), "MB");
    report(QStringLiteral("csv.%1").arg(series), median(exportAll.wall), "ms");
    report(QStringLiteral("csv.%1.peak_rss").arg(series), worst(csvPeak), "MB");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    try {
        for (int series : kSizes) measure(series);
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_history: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
