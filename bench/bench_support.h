#pragma once
// What every benchmark program shares: databases of N saved series, quiet
// seams, timing figures, peak memory, runs of the sqlcipher command line, and
// the "BENCH <name> <value> <unit>" lines that scripts/bench gathers into one
// table.

#include "app/memory.h"
#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "base/seams.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace spinlog {
class Database;
}

namespace spinlog::bench {

// ---- Figures ---------------------------------------------------------------

double median(std::vector<double> values);
double worst(const std::vector<double> &values);
// Milliseconds since a steady-clock reading taken with nowNs().
std::int64_t nowNs();
double msSince(std::int64_t startNs);
// This process's processor time in milliseconds. The machine may be shared:
// processor time hardly moves with its load, the wall clock does.
double cpuMs();

// One figure for the table: "BENCH name value unit" on stdout, flushed.
void report(const QString &name, double value, const char *unit);
// The runs behind a median, for the reader of the raw output.
void printRuns(const QString &what, const std::vector<double> &ms);

// ---- Memory ----------------------------------------------------------------

// This process's peak resident set (VmHWM) and its current one (VmRSS), in MB.
double peakRssMb();
double rssMb();
// Starts a new peak from the current resident set, so the next peakRssMb()
// covers only what runs in between.
void resetPeakRss();

// ---- The command line ------------------------------------------------------

struct CliRun {
    double ms = 0;         // from start to reaped
    double peakRssMb = 0;  // the child's own peak, from wait4
    double cpuMs = 0;      // its processor time, user and system
};

// Runs PROGRAM with ARGS through measure_child, its output thrown away.
// Throws SpinlogError when it fails.
CliRun runMeasured(const QString &program, const QStringList &args);

// Runs `sqlcipher -bail DATABASE` in FOLDER with SCRIPT on its standard input
// and its output thrown away. Throws SpinlogError when it fails.
CliRun runSqlcipher(const QString &folder, const QString &database, const QByteArray &script);
// The rows a query prints, one line each; for checks outside the timing.
QStringList querySqlcipher(const QString &database, const QByteArray &query);

// ---- The engine alone ------------------------------------------------------

// Prepares SQL on the connection and steps through every row, reading no
// field: what the engine itself spends on a statement, with the program's own
// connection settings. Milliseconds.
double stepAllMs(Database &db, const QString &sql);

// ---- Databases -------------------------------------------------------------

// Appends COUNT saved series to T_Time as the program saves them: types 1 to
// 5 at random, five solves (three blindfolded), the average without best and
// worst where the type says so, one series every few minutes from 2007/05/01;
// each solve's row with its moment and a scramble of its type's length where
// the file keeps solves. The same seed gives the same rows.
void addSeries(Database &db, int count, std::uint32_t seed = 20070525);

// A database file holding COUNT saved series, made from the delivered one
// once per scripts/bench run (in $SPINLOG_BENCH_DATA when set) and then
// reused, laid out as the program leaves it at exit (compacted, every index
// in place). Copy it before changing it.
QString seriesDatabase(int count);
// The same series in a file as an older program left it: without the
// indexes the program adds at its first opening.
QString olderSeriesDatabase(int count);

// The same series in a file of 100 puzzle types: the five and 95 more
// after them (none of which holds a series), laid out as seriesDatabase's.
QString manyTypesDatabase(int count);

// Copies a database into FOLDER as Spinlog.mdb, writable by the owner.
QString installDatabase(const QString &from, const QString &folder);

// The delivered database of the build.
QString deliveredDatabase();

// The application's own set-up: the layout font and Qt's Japanese texts.
void setUpApplication();

// ---- Quiet seams -------------------------------------------------------------

// Answers Yes to every question and OK to every message, printing each one
// that is not a question (a benchmark should meet none). The save dialog
// answers exportPath.
class BenchPrompts : public Prompts {
public:
    QString exportPath;
    int messages = 0;
    Answer message(const QString &text, Icon icon, Buttons buttons, Answer) override;
    std::optional<std::uint32_t> pickColor() override { return std::nullopt; }
    std::optional<QString> saveFile(const SaveFileRequest &) override;
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

class SilentSound : public Sound {
public:
    void play(const QString &) override {}
};

class NoShell : public Shell {
public:
    int openFile(const QString &) override { return 42; }
    bool openUrl(const QString &) override { return true; }
    bool openFolder(const QString &) override { return true; }
};

// A fixed application folder; one copy always allowed; the end of the program
// is only noted.
class FolderApp : public App {
public:
    explicit FolderApp(QString folder) : folder_(std::move(folder)) {}
    QString folder() const override { return folder_; }
    bool claimSingleInstance() override { return true; }
    void endNow() override { ended = true; }
    bool ended = false;

private:
    QString folder_;
};

// A Program in the folder over the quiet seams and the real clock.
// The program's seams as quiet ones, its memory kept as main() keeps it.
struct BenchWorld {
    explicit BenchWorld(const QString &folder)
        : app(folder), program(Seams{prompts, clock, sound, shell, app})
    {
        giveLargeBlocksBack();
    }
    BenchPrompts prompts;
    SteadyClock clock;
    SilentSound sound;
    NoShell shell;
    FolderApp app;
    Program program;
};

}  // namespace spinlog::bench
