#include "app/mdb.h"

#include "app/program.h"
#include "data/compaction.h"
#include "data/record_stores.h"

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
    const QString stem =
        program.path(QStringLiteral("Spinlog-recovered-") +
                     program.seams.clock.localNow().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString saved;
    if (!guarded(program.reporter, Procedure::CompactRecover,
                 [&] { saved = exportDatabase(program.records->database(), stem); }))
        return;
    program.seams.prompts.message(kMoved + QStringLiteral("\r\n") + saved, Icon::Exclamation,
                                  Buttons::Ok);
    program.log.write(kMovedLogPrefix + kMoved + QChar(0x3000) + saved);
}

}  // namespace

bool Fun_MDBOpen(Program &program, const QString &path)
{
    try {
        program.records = std::make_unique<RecordStores>(Database::open(path));
        return true;
    } catch (const std::exception &e) {
        program.records.reset();
        program.reporter.report(Procedure::MdbOpen, errorDescription(e));
        return false;
    }
}

bool Fun_MDBCompact(Program &program)
{
    const CompactOutcome outcome = compactDatabaseFile(program.path(QStringLiteral("Spinlog.mdb")));
    switch (outcome.failed) {
        case CompactOutcome::Failed::Nothing: return true;
        case CompactOutcome::Failed::Backup:
            program.reporter.report(Procedure::CompactBackup, outcome.description);
            break;
        case CompactOutcome::Failed::Open:
            // The open's own report first, then the compaction's, which has
            // no description of its own.
            program.reporter.report(Procedure::MdbOpen, outcome.description);
            program.seams.prompts.message(kCompactFailed, Icon::Critical, Buttons::Ok);
            program.log.write(reportOf(Procedure::CompactCompact).logPrefix + kCompactFailed);
            break;
        case CompactOutcome::Failed::Compact:
            program.reporter.report(Procedure::CompactCompact, outcome.description);
            break;
    }
    return false;
}

bool closeAndCompact(Program &program)
{
    if (program.records && !program.records->database().stillAtItsPath()) {
        saveToNewFile(program);
        program.records.reset();
        return false;
    }
    program.records.reset();
    return Fun_MDBCompact(program);
}

}  // namespace spinlog
