#pragma once
// The one way a procedure reports a failure: each procedure's message title
// and log prefix, in one table, and the guard that runs a procedure's body and
// reports what it throws.

#include "app/errors.h"

#include <QString>
#include <utility>

namespace spinlog {

class Program;

enum class Procedure {
    MainLoad,
    CountDownTimer,
    CountTimer,
    StartStop,
    Save,
    TypeSet,
    MainDisplay,
    TimeChangeS,
    TimeChangeHNS,
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
};

struct ProcedureReport {
    QString title;      // the first line of the message box
    QString logPrefix;  // "[module]-[procedure] ", followed by the description
};

const ProcedureReport &reportOf(Procedure procedure);

// Shows the procedure's error box and logs the description.
void reportFailure(const Program &program, Procedure procedure, const QString &description);

// Runs the body; a SpinlogError it throws is reported as the procedure's
// failure, after beforeReport has put back what must not stay during the
// report (an hourglass pointer, say). True when the body ran to its end.
template <typename Body, typename BeforeReport>
bool guarded(const Program &program, Procedure procedure, Body &&body, BeforeReport &&beforeReport)
{
    try {
        body();
        return true;
    } catch (const SpinlogError &e) {
        beforeReport();
        reportFailure(program, procedure, e.description());
        return false;
    }
}

template <typename Body>
bool guarded(const Program &program, Procedure procedure, Body &&body)
{
    return guarded(program, procedure, std::forward<Body>(body), [] {});
}

}  // namespace spinlog
