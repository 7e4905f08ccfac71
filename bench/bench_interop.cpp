// Other timers' files: 500 000 solves of a csTimer export, each with a
// scramble and a comment, imported into the delivered database (read,
// previewed with its duplicate count, added in one transaction) and the same
// file again (every solve a duplicate); those solves exported as csTimer's
// file; a 100 MB csTimer file read, with the memory it takes beside the
// file's size. Medians of 5, fresh copies. SPINLOG_BENCH_SOLVES sets another
// count. Then a file of 100 000 sessions: the window's preview of it beside
// the command line's import of it, time and peak memory.

#include "base/errors.h"
#include "bench_support.h"
#include "data/record_stores.h"
#include "interop/history_export.h"
#include "interop/history_importer.h"

#include "history/ui/import_prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace spinlog;
using namespace spinlog::bench;

namespace {

const int kSolves = qEnvironmentVariableIntValue("SPINLOG_BENCH_SOLVES")
                        ? qEnvironmentVariableIntValue("SPINLOG_BENCH_SOLVES")
                        : 500000;
constexpr int kRuns = 5;

// A 3x3x3 scramble of 21 turns.
QByteArray scrambleOf(std::uint32_t seed)
{
    static const char *const kTurns[] = {"U", "U'", "U2", "D", "D'", "D2", "L", "L'", "L2",
                                         "R", "R'", "R2", "F", "F'", "F2", "B", "B'", "B2"};
    QByteArray text;
    int last = -1;
    for (int m = 0; m < 21; ++m) {
        seed = seed * 1103515245 + 12345;
        int face = int((seed >> 16) % 6);
        if (face == last)
            face = (face + 1) % 6;
        last = face;
        if (m)
            text += ' ';
        text += kTurns[face * 3 + int((seed >> 8) % 3)];
    }
    return text;
}

// A csTimer export as its users' look: a scramble of 21 turns and a comment
// with every solve, +2 and DNF among them, one solve a minute.
QByteArray csTimerFile(int solves, bool bare)
{
    QByteArray out = "{\"session1\":[";
    out.reserve(qsizetype(solves) * (bare ? 30 : 110));
    for (int i = 0; i < solves; ++i) {
        if (i)
            out += ',';
        const char *penalty = i % 50 == 7 ? "2000" : i % 97 == 3 ? "-1" : "0";
        out += "[[" + QByteArray(penalty) + ',' + QByteArray::number(9000 + (i * 7919) % 9000) +
               "],\"";
        if (!bare)
            out += scrambleOf(std::uint32_t(i));
        out += "\",\"";
        if (!bare)
            out += "solve " + QByteArray::number(i);
        out += "\"," + QByteArray::number(1500000000 + qint64(i) * 60) + ']';
    }
    return out +
           "],\"properties\":{\"sessionN\":1,\"sessionData\":"
           "\"{\\\"1\\\":{\\\"name\\\":\\\"3x3x3\\\"}}\"}}";
}

struct Timed {
    double ms;
    int added;
    int duplicates;
};

Timed importOnce(const QString &file, RecordStores &stores)
{
    const std::int64_t start = nowNs();
    HistoryImporter importer(stores.history, stores.types);
    HistoryImport import = importer.plan(file);
    const std::optional<ImportTally> tally =
        importer.run(import, QDateTime::currentDateTime(), [](int, int) { return true; });
    return {msSince(start), tally->added, tally->duplicates};
}

// csTimer's file of many sessions, each of one solve with its scramble,
// all named 3x3x3 in csTimer's session data, every tenth one empty: about
// 10 MB for 100 000.
QByteArray manySessions(int sessions)
{
    QByteArray out = "{";
    QByteArray names;
    out.reserve(sessions * 110);
    for (int s = 1; s <= sessions; ++s) {
        const QByteArray n = QByteArray::number(s);
        out += "\"session" + n + "\":[";
        if (s % 10 != 0)
            out += "[[0," + QByteArray::number(9000 + (s * 7919) % 9000) +
                   "],\"R U R' U' F2 D L2 B' R2 U2 F' D2 L U' B2 R' F L2 D' U\",\"\"," +
                   QByteArray::number(1500000000 + s * 60) + ']';
        out += "],";
        names += (s > 1 ? "," : "") + QByteArray("\\\"") + n + "\\\":{\\\"name\\\":\\\"3x3x3\\\"}";
    }
    return out + "\"properties\":{\"sessionN\":" + QByteArray::number(sessions) +
           ",\"sessionData\":\"{" + names + "}\"}}";
}

// A fresh application folder whose 3x3x3 is timed one solve a series, so
// every session with a solve makes one.
QString singleSolveFolder(const QTemporaryDir &dir)
{
    const QString database = installDatabase(deliveredDatabase(), dir.path());
    Database::open(database)->execute(
        QStringLiteral("update MT_Type set TypeCnt=1 where TypeID='1'"));
    return database;
}

// From the file chosen to the preview painted, in the window's steps; and
// the same file through the command line, which also adds its series.
void previewOfManySessions(const QString &work)
{
    constexpr int kSessions = 100000;
    const QString file = work + QStringLiteral("/sessions.txt");
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(manySessions(kSessions)) < 0)
            throw SpinlogError(QStringLiteral("cannot write the file"));
    }
    std::printf("a csTimer file of %d sessions, %lld bytes\n", kSessions, QFileInfo(file).size());
    std::vector<double> preview, previewPeak, cli, cliPeak;
    // Taken in turns, so a busy machine weighs on both alike.
    for (int run = 0; run < 3; ++run) {
        {
            QTemporaryDir dir;
            const QString program = dir.filePath(QStringLiteral("spinlog"));
            if (!QFile::copy(QStringLiteral(SPINLOG_APP_DIR "/spinlog"), program))
                throw SpinlogError(QStringLiteral("cannot copy the program"));
            singleSolveFolder(dir);
            const CliRun figures = runMeasured(program, {QStringLiteral("--import"), file});
            cli.push_back(figures.ms);
            cliPeak.push_back(figures.peakRssMb);
        }
        QTemporaryDir dir;
        RecordStores stores(Database::open(singleSolveFolder(dir)));
        QApplication::processEvents();
        resetPeakRss();
        const std::int64_t start = nowNs();
        HistoryImporter importer(stores.history, stores.types);
        HistoryImport import = importer.plan(file);
        const ChooseSessionType choose = [&](int session, const SessionTarget &target) {
            importer.choose(import, session, target);
        };
        const std::unique_ptr<QDialog> dialog = makeImportPreview(nullptr, import, choose);
        dialog->show();
        QApplication::processEvents();
        dialog->repaint();
        preview.push_back(msSince(start));
        previewPeak.push_back(peakRssMb());
        if (import.seriesCount() != kSessions - kSessions / 10)
            throw SpinlogError(QStringLiteral("%1 series previewed").arg(import.seriesCount()));
    }
    printRuns(QStringLiteral("preview of 100000 sessions"), preview);
    printRuns(QStringLiteral("spinlog --import of 100000 sessions"), cli);
    std::printf("peak memory: preview %.0f MB, command line %.0f MB\n", median(previewPeak),
                median(cliPeak));
    report(QStringLiteral("interop.preview.sessions.100000"), median(preview), "ms");
    report(QStringLiteral("interop.preview.sessions.100000.cli"), median(cli), "ms");
    report(QStringLiteral("interop.preview.sessions.100000.peak_rss"), median(previewPeak), "MB");
    report(QStringLiteral("interop.preview.sessions.100000.cli_peak_rss"), median(cliPeak), "MB");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    try {
        QTemporaryDir work;
        const QString file = work.filePath(QStringLiteral("cstimer.txt"));
        {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly) || out.write(csTimerFile(kSolves, false)) < 0)
                throw SpinlogError(QStringLiteral("cannot write the file"));
        }
        std::printf("import of %d csTimer solves into the 5-solve type, %lld bytes\n", kSolves,
                    QFileInfo(file).size());
        const double fileMb = double(QFileInfo(file).size()) / (1024 * 1024);
        std::vector<double> first, again, exported;
        double importPeak = 0;
        for (int run = 0; run < kRuns; ++run) {
            QTemporaryDir dir;
            installDatabase(deliveredDatabase(), dir.path());
            RecordStores stores(Database::open(dir.filePath(QStringLiteral("Spinlog.mdb"))));
            resetPeakRss();
            const double before = rssMb();
            const Timed t = importOnce(file, stores);
            importPeak = std::max(importPeak, peakRssMb() - before);
            if (t.added != kSolves / 5)
                throw SpinlogError(QStringLiteral("%1 series added").arg(t.added));
            first.push_back(t.ms);
            const Timed t2 = importOnce(file, stores);
            if (t2.added != 0)
                throw SpinlogError(QStringLiteral("the second import added %1").arg(t2.added));
            again.push_back(t2.ms);
            const std::int64_t start = nowNs();
            const ExportTally tally =
                exportCsTimer(stores.historyExport, stores.types, {},
                              dir.filePath(QStringLiteral("out.txt")), dir.path());
            exported.push_back(msSince(start));
            if (tally.solves != kSolves)
                throw SpinlogError(QStringLiteral("%1 solves exported").arg(tally.solves));
        }
        printRuns(QStringLiteral("import"), first);
        printRuns(QStringLiteral("import again"), again);
        printRuns(QStringLiteral("export"), exported);
        report(QStringLiteral("interop.import.%1").arg(kSolves), median(first), "ms");
        report(QStringLiteral("interop.import.%1.growth").arg(kSolves), importPeak, "MB");
        report(QStringLiteral("interop.import.%1.file").arg(kSolves), fileMb, "MB");
        report(QStringLiteral("interop.reimport.%1").arg(kSolves), median(again), "ms");
        report(QStringLiteral("interop.export.%1").arg(kSolves), median(exported), "ms");

        // The hostile size: 100 MB of the shortest solves a file can hold.
        const QString big = work.filePath(QStringLiteral("big.txt"));
        {
            QFile out(big);
            const QByteArray bytes = csTimerFile(3'650'000, true);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) < 0)
                throw SpinlogError(QStringLiteral("cannot write the file"));
        }
        const double mb = double(QFileInfo(big).size()) / (1024 * 1024);
        resetPeakRss();
        const double before = rssMb();
        const std::int64_t start = nowNs();
        const HistoryFile read = readHistoryFile(big);
        const double ms = msSince(start);
        const double growth = peakRssMb() - before;
        std::printf("a %.0f MB file of %zu solves read in %.0f ms, memory growth %.0f MB\n", mb,
                    read.sessions.at(0).solves.size(), ms, growth);
        report(QStringLiteral("interop.read.100mb"), ms, "ms");
        report(QStringLiteral("interop.read.100mb.growth"), growth, "MB");
        report(QStringLiteral("interop.read.100mb.size"), mb, "MB");

        previewOfManySessions(work.path());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_interop: %s\n", e.what());
        return 1;
    }
    return 0;
}
