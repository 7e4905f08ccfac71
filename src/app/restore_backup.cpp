#include "app/restore_backup.h"

#include "app/program.h"
#include "data/snapshots.h"
#include "session/solve_session.h"

namespace spinlog {

bool Sub_RestoreBackup(Program &program, const ChooseSnapshot &choose)
{
    // A timed solve refuses the exit, and a choice left standing would be
    // carried out at some later exit, over the series saved meanwhile.
    const SessionState state = program.session ? program.session->state() : SessionState::Idle;
    if (state == SessionState::Countdown || state == SessionState::Inspection ||
        state == SessionState::Timing) {
        program.seams.prompts.message(
            QStringLiteral("計測中です、計測を停止してからバックアップを選んでください"),
            Icon::Exclamation, Buttons::Ok);
        return false;
    }
    const std::vector<Snapshot> snapshots =
        listSnapshots(program.path(QStringLiteral("Spinlog.mdb")));
    if (snapshots.empty()) {
        program.seams.prompts.message(QStringLiteral("バックアップがありません"), Icon::Exclamation,
                                      Buttons::Ok);
        return false;
    }
    QStringList rows;
    std::vector<std::optional<int>> counts;
    for (const Snapshot &s : snapshots) {
        const std::optional<int> series = countSavedSeries(s.path);
        counts.push_back(series);
        rows << QStringLiteral("%1  記録 %2 件%3")
                    .arg(s.date.toString(QStringLiteral("yyyy/MM/dd")),
                         series ? QString::number(*series) : QStringLiteral("（読めません）"),
                         s.beforeRestore ? s.written.toString(QStringLiteral("  復元前 HH:mm:ss"))
                                         : QString());
    }
    const std::optional<int> chosen = choose(rows);
    if (!chosen || *chosen < 0 || *chosen >= int(snapshots.size()))
        return false;
    const Snapshot &snapshot = snapshots[std::size_t(*chosen)];
    const std::optional<int> series = counts[std::size_t(*chosen)];
    // Told now, not after the program has closed for nothing.
    if (!series) {
        program.seams.prompts.message(
            QStringLiteral("このバックアップは読めません。別のバックアップを選んでください。"),
            Icon::Exclamation, Buttons::Ok);
        return false;
    }
    const QString question =
        QStringLiteral(
            "%1 のバックアップ（記録 %2 件）に戻します。\r\n"
            "今のデータもバックアップとして残します。\r\n"
            "復元は終了のときに行います。Spinlog を終了してよろしいですか")
            .arg(snapshot.date.toString(QStringLiteral("yyyy/MM/dd")), QString::number(*series));
    if (program.seams.prompts.message(question, Icon::Question, Buttons::YesNo, Answer::No) !=
        Answer::Yes)
        return false;
    program.restoreFrom = snapshot.path;
    return true;
}

}  // namespace spinlog
