#include "app/mdb.h"

#include "app/program.h"
#include "base/shown_text.h"
#include "data/compaction.h"
#include "data/record_stores.h"
#include "data/snapshots.h"

namespace spinlog {

namespace {

// Shown translated, logged as written.
constexpr const char *kCompactFailed = QT_TRANSLATE_NOOP("Text", "MDB最適化失敗。");
constexpr const char *kMoved =
    QT_TRANSLATE_NOOP("Text",
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
    program.seams.prompts.message(Text::tr(kMoved) + QStringLiteral("\r\n") + saved,
                                  Icon::Exclamation, Buttons::Ok);
    program.log.write(reportOf(Procedure::CompactMoved).logPrefix + QString::fromUtf8(kMoved) +
                      QChar(0x3000) + saved);
}

// The exit's copy of the closed file, or the restore the user chose instead:
// the file the restore replaces is kept by the restore itself, and today's
// snapshot must not replace the one being restored.
void snapshotOrRestore(Program &program)
{
    const QString database = program.path(QStringLiteral("Spinlog.mdb"));
    const QDateTime now = program.seams.clock.localNow();
    if (program.restoreFrom.isEmpty()) {
        const SnapshotOutcome outcome = takeSnapshot(database, now.date());
        const QString &prefix = reportOf(Procedure::Snapshot).logPrefix;
        if (outcome.result == SnapshotOutcome::Result::NoSpace)
            program.log.write(prefix + QStringLiteral("バックアップを取りませんでした: ") +
                              outcome.description);
        else if (outcome.result == SnapshotOutcome::Result::Failed)
            program.log.write(prefix + QStringLiteral("バックアップに失敗しました: ") +
                              outcome.description);
        return;
    }
    const RestoreOutcome outcome = restoreSnapshot(database, program.restoreFrom, now);
    program.restoreFrom.clear();
    if (outcome.restored)
        program.seams.prompts.message(
            Text::tr("バックアップから復元しました。復元前のデータは次のファイルに"
                     "残しました\r\n") +
                outcome.keptAs,
            Icon::Information, Buttons::Ok);
    else
        // A restore that fails at any step leaves the file as it was.
        program.reporter.report(Procedure::RestoreBackup,
                                outcome.description + Text::tr("。データは元のままです。"));
}

}  // namespace

bool Fun_MDBOpen(Program &program, const QString &path)
{
    try {
        program.records = std::make_unique<RecordStores>(Database::open(path), &program.settings);
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
            program.seams.prompts.message(Text::tr(kCompactFailed), Icon::Critical, Buttons::Ok);
            program.log.write(reportOf(Procedure::CompactCompact).logPrefix +
                              QString::fromUtf8(kCompactFailed));
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
    snapshotOrRestore(program);
    return Fun_MDBCompact(program);
}

}  // namespace spinlog
