// The progress chart with 1 000, 10 000 and 100 000 saved series, every type
// listed: reading the series, building the window and its first paint, as the
// history window's graph item does; then one wheel step of zoom and the way
// back to the whole period. Medians of several runs, the peak memory of the
// opening and its growth over what the process held before.
// SPINLOG_CHART_SCREENSHOT=FILE saves the window at 1 000 series as a PNG.

#include "base/errors.h"
#include "bench_support.h"
#include "chart/listed_series.h"
#include "chart/ui/chart_window.h"
#include "data/record_stores.h"

#include <QApplication>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kRuns = 7;

void measure(int series)
{
    QTemporaryDir dir;
    const QString dbPath = installDatabase(seriesDatabase(series), dir.path());
    BenchWorld world(dir.path());
    Program &program = world.program;
    program.records = std::make_unique<RecordStores>(Database::open(dbPath));

    std::vector<double> query, open, openCpu, zoom, whole, peak, growth;
    int drawn = 0, shown = 0;
    for (int run = 0; run < kRuns; ++run) {
        QApplication::processEvents();
        resetPeakRss();
        const double before = rssMb();
        const std::int64_t start = nowNs();
        const double startCpu = cpuMs();
        ListedSeries listed = listedSeries(program.records->historyChart, {});
        query.push_back(msSince(start));
        drawn = int(listed.data.series.size());
        auto chart = std::make_unique<ChartWindow>(
            ChartWindowParts{program.settings, world.prompts, program.reporter}, std::move(listed),
            QStringLiteral("全て"));
        chart->show();
        QApplication::processEvents();
        open.push_back(msSince(start));
        openCpu.push_back(cpuMs() - startCpu);
        peak.push_back(peakRssMb());
        growth.push_back(peakRssMb() - before);
        shown = chart->shownDots();

        std::int64_t step = nowNs();
        chart->zoomTime(0.8, (chart->timeFrom() + chart->timeTo()) / 2);
        QApplication::processEvents();
        zoom.push_back(msSince(step));
        step = nowNs();
        chart->showAll();
        QApplication::processEvents();
        whole.push_back(msSince(step));

        const QString shot = qEnvironmentVariable("SPINLOG_CHART_SCREENSHOT");
        if (series == 1000 && run == 0 && !shot.isEmpty())
            chart->grab().save(shot);
        chart->close();
        chart.reset();
    }
    if (drawn != series || world.prompts.messages != 0)
        throw SpinlogError(QStringLiteral("the chart read %1 of %2 series").arg(drawn).arg(series));

    std::printf("chart, %d series (%d points handed to the chart), medians of %d runs\n", series,
                shown, kRuns);
    printRuns(QStringLiteral("read the series"), query);
    printRuns(QStringLiteral("open, read included, painted"), open);
    printRuns(QStringLiteral("the same, processor time"), openCpu);
    printRuns(QStringLiteral("zoom one wheel step"), zoom);
    printRuns(QStringLiteral("back to the whole period"), whole);
    std::printf("  peak memory %.1f MB, growth %.1f MB\n", worst(peak), worst(growth));
    const QString name = QStringLiteral("chart.%1").arg(series);
    report(name + QStringLiteral(".open"), median(open), "ms");
    report(name + QStringLiteral(".read"), median(query), "ms");
    report(name + QStringLiteral(".zoom"), median(zoom), "ms");
    report(name + QStringLiteral(".peak_rss"), worst(peak), "MB");
    report(name + QStringLiteral(".growth"), worst(growth), "MB");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    try {
        for (int series : kSizes) measure(series);
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_chart: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
