#pragma once
// The one way a procedure reports a failure: each procedure's message title
// and log prefix, in one table, and the guard that runs a procedure's body and
// reports what it throws.

#include "base/errors.h"

#include <QString>
#include <utility>

namespace spinlog {

class ErrorLog;
class Prompts;

enum class Procedure {
    MainLoad,
    CountDownTimer,
    CountTimer,
    StartStop,
    Save,
    TypeSet,
    MainDisplay,
    Sound,
    OptionLoad,
    OptionOk,
    ViewLoad,
    DataSet,
    Delete,
    OutputCsv,
    VersionKeyDown,
    MdbOpen,
    CompactBackup,
    CompactCompact,
    CompactRecover,
    ShowHelpFile,
    ShowWebFile,
    ChartLoad,
    ChartSave,
    Penalty,
    HistoryPenalty,
    StatsDataSet,
    ExportCsTimer,
    ImportHistory,
    UndoImport,
    RestoreBackup,
    Comment,         // a comment on a solve of the series under way
    HistoryComment,  // a comment on a saved solve
    SolveView,       // a saved series' solves shown
    AddType,
    RemoveType,
    // Logged only, with no box of their own:
    ScrambleLoad,  // an unusable place of the scramble window
    CompactMoved,  // the database file moved away before the exit
    Snapshot,      // the exit's snapshot not taken
    Stackmat,      // a Stackmat solve lost with its signal; its input gone or failing
};

// Every log prefix of the program is in this one table, byte for byte as
// log readers match it; new procedures get plain names here (Procedure) and
// a prefix in the old style.
struct ProcedureReport {
    const char *title;  // the first line of the message box, untranslated; none for the log only
    QString logPrefix;  // "[module]-[procedure] ", followed by the description
    QString shownTitle() const;  // the title in the language shown
};

const ProcedureReport &reportOf(Procedure procedure);

// The uniform failure report: a critical box with the title, CR LF and the
// description, then one log entry made of the prefix and the description.
class Reporter {
public:
    Reporter(Prompts &prompts, const ErrorLog &log) : prompts_(prompts), log_(log) {}

    // With the procedure's title and prefix from the table.
    void report(Procedure procedure, const QString &description) const;
    void report(const QString &title, const QString &logPrefix, const QString &description) const;

    Prompts &prompts() const { return prompts_; }
    const ErrorLog &log() const { return log_; }

private:
    Prompts &prompts_;
    const ErrorLog &log_;
};

// Runs the body; a SpinlogError it throws is reported as the procedure's
// failure, after beforeReport has put back what must not stay during the
// report (an hourglass pointer, say). True when the body ran to its end.
template <typename Body, typename BeforeReport>
bool guarded(const Reporter &reporter, Procedure procedure, Body &&body,
             BeforeReport &&beforeReport)
{
    try {
        body();
        return true;
    } catch (const SpinlogError &e) {
        beforeReport();
        reporter.report(procedure, e.description());
        return false;
    }
}

template <typename Body>
bool guarded(const Reporter &reporter, Procedure procedure, Body &&body)
{
    return guarded(reporter, procedure, std::forward<Body>(body), [] {});
}

}  // namespace spinlog
