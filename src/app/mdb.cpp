#include "app/mdb.h"

#include "app/error_log.h"
#include "app/error_report.h"
#include "app/program.h"
#include "data/compaction.h"
#include "data/database.h"

namespace spinlog {

namespace {

const QString kCompactFailed = QStringLiteral("MDB最適化失敗。");
const QString kMovedLogPrefix = QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrMoved] ");
const QString kMoved = QStringLiteral(
    "データベースファイルが移動または置き換えられたため、"
    "開いていた内容を次のファイルに保存しました");

// The file the database was opened from is gone or another one: compacting
// would work on the wrong file, so what the connection holds goes to a new
// file of its own, in the same form as a compacted copy.
void saveToNewFile(Program &program)
{
    const QString saved =
        program.path(QStringLiteral("Spinlog-recovered-") +
                     program.services.clock.localNow().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                     QStringLiteral(".mdb"));
    if (!guarded(program, Procedure::CompactRecover, [&] { exportDatabase(*program.gDB, saved); }))
        return;
    program.services.prompts.message(kMoved + QStringLiteral("\r\n") + saved, Icon::Exclamation,
                                     Buttons::Ok);
    Fun_LogWrite(program, kMovedLogPrefix + kMoved + QChar(0x3000) + saved);
}

}  // namespace

bool Fun_MDBOpen(Program &program, const QString &path)
{
    try {
        program.gDB = Database::open(path);
        return true;
    } catch (const std::exception &e) {
        program.gDB.reset();
        reportFailure(program, Procedure::MdbOpen, errorDescription(e));
        return false;
    }
}

bool Fun_MDBCompact(Program &program)
{
    const CompactOutcome outcome = compactDatabaseFile(program.path(QStringLiteral("Spinlog.mdb")));
    switch (outcome.failed) {
        case CompactOutcome::Failed::Nothing: return true;
        case CompactOutcome::Failed::Backup:
            reportFailure(program, Procedure::CompactBackup, outcome.description);
            break;
        case CompactOutcome::Failed::Open:
            // The open's own report first, then the compaction's, which has
            // no description of its own.
            reportFailure(program, Procedure::MdbOpen, outcome.description);
            program.services.prompts.message(kCompactFailed, Icon::Critical, Buttons::Ok);
            Fun_LogWrite(program, reportOf(Procedure::CompactCompact).logPrefix + kCompactFailed);
            break;
        case CompactOutcome::Failed::Compact:
            reportFailure(program, Procedure::CompactCompact, outcome.description);
            break;
    }
    return false;
}

bool closeAndCompact(Program &program)
{
    if (program.gDB && !program.gDB->stillAtItsPath()) {
        saveToNewFile(program);
        program.gDB.reset();
        return false;
    }
    program.gDB.reset();
    return Fun_MDBCompact(program);
}

}  // namespace spinlog
