// Compaction at exit of a database holding 100 000 saved series: our
// Fun_MDBCompact (backup, keyed export into COMSpinlog.mdb, replace) against
// the sqlcipher command line's own export of the same file, each on a fresh
// copy per run, alternating. Medians, their ratio and the peak memory of both.

#include "app/mdb.h"
#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "base/errors.h"
#include "bench_support.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

constexpr int kSeries = 100000;
constexpr int kRuns = 9;

const QByteArray kCliExport = QByteArrayLiteral(
    "PRAGMA key = 'wubd';\n"
    "ATTACH DATABASE 'COMSpinlog.mdb' AS com KEY 'wubd';\n"
    "SELECT sqlcipher_export('com');\n"
    "DETACH DATABASE com;\n");

QString rowCount(const QString &database)
{
    return querySqlcipher(database, "select count(*) from T_Time;").value(0);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    try {
        std::printf("compaction at exit, %d series\n", kSeries);
        const QString source = seriesDatabase(kSeries);
        const QString expected = QString::number(kSeries);

        std::vector<double> ours, cli, oursPeak, cliPeak;
        double before = 0;
        for (int run = 0; run < kRuns; ++run) {
            QTemporaryDir cliDir;
            installDatabase(source, cliDir.path());
            // Each side starts with nothing left to write back: the copies
            // just made (and the other side's files) would otherwise be
            // flushed by whichever side syncs first.
            ::sync();
            const CliRun r = runSqlcipher(cliDir.path(), QStringLiteral("Spinlog.mdb"), kCliExport);
            cli.push_back(r.ms);
            cliPeak.push_back(r.peakRssMb);

            QTemporaryDir dir;
            installDatabase(source, dir.path());
            ::sync();
            BenchWorld world(dir.path());
            BenchPrompts &prompts = world.prompts;
            Program &program = world.program;
            resetPeakRss();
            before = std::max(before, rssMb());
            const std::int64_t start = nowNs();
            const bool compacted = Fun_MDBCompact(program);
            ours.push_back(msSince(start));
            oursPeak.push_back(peakRssMb());
            if (!compacted || prompts.messages != 0)
                throw SpinlogError(QStringLiteral("the compaction failed"));

            if (run == 0) {
                // Both results hold every series and open with the key.
                const QString mine = dir.filePath(QStringLiteral("Spinlog.mdb"));
                const QString theirs = cliDir.filePath(QStringLiteral("COMSpinlog.mdb"));
                if (rowCount(mine) != expected || rowCount(theirs) != expected)
                    throw SpinlogError(QStringLiteral("a compacted file lost series"));
                std::printf("  file %.1f MB; compacted: ours %.1f MB, command line %.1f MB\n",
                            double(QFileInfo(source).size()) / 1e6,
                            double(QFileInfo(mine).size()) / 1e6,
                            double(QFileInfo(theirs).size()) / 1e6);
            }
        }

        printRuns(QStringLiteral("Fun_MDBCompact"), ours);
        printRuns(QStringLiteral("sqlcipher CLI sqlcipher_export"), cli);
        std::printf(
            "  ratio %.2f; peak memory: ours %.1f MB (%.1f MB before it began), "
            "command line %.1f MB\n",
            median(ours) / median(cli), worst(oursPeak), before, worst(cliPeak));
        const QString name = QStringLiteral("compact.%1").arg(kSeries);
        report(name, median(ours), "ms");
        report(name + QStringLiteral(".cli"), median(cli), "ms");
        report(name + QStringLiteral(".peak_rss"), worst(oursPeak), "MB");
        report(name + QStringLiteral(".cli_peak_rss"), worst(cliPeak), "MB");
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_compact: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
