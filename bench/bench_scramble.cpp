// Scrambles: the tables a kind needs, built in a fresh process each run (this
// program started again with --tables KIND; median of 5); the time per
// scramble once they are built (median and worst of 1000 for each kind, 10 000 for
// Square-1, whose time varies most, with its 99th percentile and lengths); the
// lengths of 10 000 3x3x3 scrambles; and the command line
// `spinlog --scramble 3x3x3 1000`, tables included (median of 5, through
// measure_child).

#include "base/errors.h"
#include "bench_support.h"
#include "scramble/scramble.h"

#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

constexpr int kProcessRuns = 5;
constexpr int kScrambles = 1000;
constexpr int kLengths = 10000;

// Child: builds KIND's tables and prints the milliseconds, the processor
// milliseconds and the peak memory.
int buildTables(const char *name)
{
    const std::optional<ScrambleKind> kind = kindFromName(QLatin1String(name));
    if (!kind)
        return 2;
    const std::int64_t start = nowNs();
    const double startCpu = cpuMs();
    prepareTables(*kind);
    std::printf("%.3f %.3f %.1f\n", msSince(start), cpuMs() - startCpu, peakRssMb());
    return 0;
}

void tables(const QString &self)
{
    for (ScrambleKind kind : {ScrambleKind::Cube2, ScrambleKind::Cube3, ScrambleKind::Pyraminx,
                              ScrambleKind::Skewb, ScrambleKind::Square1}) {
        std::vector<double> ms, cpu, peak;
        for (int run = 0; run < kProcessRuns; ++run) {
            QProcess child;
            child.start(self, {QStringLiteral("--tables"), kindName(kind)});
            child.waitForFinished(-1);
            const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
            if (child.exitCode() != 0 || figures.size() != 3)
                qFatal("the table-building child failed");
            ms.push_back(figures[0].toDouble());
            cpu.push_back(figures[1].toDouble());
            peak.push_back(figures[2].toDouble());
        }
        printRuns(QStringLiteral("tables %1").arg(kindName(kind)), ms);
        printRuns(QStringLiteral("  processor time"), cpu);
        report(QStringLiteral("scramble.tables.%1").arg(kindName(kind)), median(ms), "ms");
        report(QStringLiteral("scramble.tables.%1.cpu").arg(kindName(kind)), median(cpu), "ms");
        report(QStringLiteral("scramble.tables.%1.peak_rss").arg(kindName(kind)), median(peak),
               "MB");
    }
}

// This thread's processor time in milliseconds: unlike the wall clock it does
// not count the time other work on the shared machine holds the processor.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Square-1's in the notation's count: a turn is a move, a slice is one.
void square1Lengths(const std::vector<int> &moves)
{
    double sum = 0;
    for (int m : moves) sum += m;
    const int most = *std::max_element(moves.begin(), moves.end());
    std::printf("  sq1 lengths: mean %.2f moves, at most %d\n", sum / moves.size(), most);
    report(QStringLiteral("scramble.sq1.mean_length"), sum / moves.size(), "moves");
    report(QStringLiteral("scramble.sq1.max_length"), most, "moves");
}

void perScramble()
{
    std::mt19937_64 rng = scrambleEngine();
    for (ScrambleKind kind : kScrambleKinds) {
        prepareTables(kind);
        std::vector<double> ms, cpu;
        std::vector<int> moves;
        const bool square1 = kind == ScrambleKind::Square1;
        const int runs = square1 ? 10 * kScrambles : kScrambles;
        for (int i = 0; i < runs; ++i) {
            const std::int64_t start = nowNs();
            const double startCpu = threadCpuMs();
            const Scramble s = generateScramble(kind, rng);
            ms.push_back(msSince(start));
            cpu.push_back(threadCpuMs() - startCpu);
            if (square1)
                moves.push_back(
                    int(s.text.count(QLatin1Char('/')) + s.text.count(QLatin1Char(','))));
        }
        std::printf("  %-10s median %.3f ms, worst %.2f ms (processor: median %.3f, worst %.2f)\n",
                    qPrintable(kindName(kind)), median(ms), worst(ms), median(cpu), worst(cpu));
        report(QStringLiteral("scramble.%1.median").arg(kindName(kind)), median(ms), "ms");
        report(QStringLiteral("scramble.%1.worst").arg(kindName(kind)), worst(ms), "ms");
        report(QStringLiteral("scramble.%1.worst_cpu").arg(kindName(kind)), worst(cpu), "ms");
        if (square1) {
            std::sort(cpu.begin(), cpu.end());
            std::printf("  sq1 processor time, 99th percentile %.2f ms\n",
                        cpu[cpu.size() * 99 / 100]);
            report(QStringLiteral("scramble.sq1.p99_cpu"), cpu[cpu.size() * 99 / 100], "ms");
            square1Lengths(moves);
        }
    }
    report(QStringLiteral("scramble.peak_rss"), peakRssMb(), "MB");
}

void lengths()
{
    std::mt19937_64 rng = scrambleEngine();
    std::map<int, int> count;
    double sum = 0;
    for (int i = 0; i < kLengths; ++i) {
        const int moves = int(generateScramble(ScrambleKind::Cube3, rng).text.count(' ')) + 1;
        ++count[moves];
        sum += moves;
    }
    std::printf("  lengths of %d 3x3x3 scrambles:\n", kLengths);
    for (const auto &[moves, n] : count)
        std::printf("    %2d moves %6d %s\n", moves, n,
                    QByteArray(n * 60 / kLengths, '#').constData());
    report(QStringLiteral("scramble.3x3x3.mean_length"), sum / kLengths, "moves");
    report(QStringLiteral("scramble.3x3x3.max_length"), count.rbegin()->first, "moves");
}

// The program itself, its output thrown away.
void commandLine()
{
    std::vector<double> wall, cpu;
    for (int run = 0; run < kProcessRuns; ++run) {
        const CliRun figures = runMeasured(
            QStringLiteral(SPINLOG_APP_DIR "/spinlog"),
            {QStringLiteral("--scramble"), QStringLiteral("3x3x3"), QString::number(kScrambles)});
        wall.push_back(figures.ms);
        cpu.push_back(figures.cpuMs);
    }
    printRuns(QStringLiteral("spinlog --scramble 3x3x3 1000"), wall);
    printRuns(QStringLiteral("  processor time"), cpu);
    report(QStringLiteral("scramble.cli.3x3x3.1000"), median(wall), "ms");
    report(QStringLiteral("scramble.cli.3x3x3.1000.cpu"), median(cpu), "ms");
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--tables") == 0)
        return buildTables(argv[2]);
    QCoreApplication app(argc, argv);
    tables(QCoreApplication::applicationFilePath());
    perScramble();
    lengths();
    try {
        commandLine();
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_scramble: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
