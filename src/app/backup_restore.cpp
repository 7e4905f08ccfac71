#include "app/backup_restore.h"

#include "app/program.h"
#include "base/shown_text.h"
#include "session/solve_session.h"

namespace spinlog {

bool BackupRestore::allowed() const
{
    const SessionState state = program_.session ? program_.session->state() : SessionState::Idle;
    return state != SessionState::Countdown && state != SessionState::Inspection &&
           state != SessionState::Timing;
}

std::vector<RestoreChoice> BackupRestore::choices() const
{
    std::vector<RestoreChoice> choices;
    for (const Snapshot &s : listSnapshots(program_.path(QStringLiteral("Spinlog.mdb")))) {
        const std::optional<int> series = countSavedSeries(s.path);
        const QString row =
            Text::tr("%1  記録 %2 件%3")
                .arg(s.date.toString(QStringLiteral("yyyy/MM/dd")),
                     series ? QString::number(*series) : Text::tr("（読めません）"),
                     s.beforeRestore ? Text::tr("  復元前 %1")
                                           .arg(s.written.toString(QStringLiteral("HH:mm:ss")))
                                     : QString());
        choices.push_back({s, series, row});
    }
    return choices;
}

bool BackupRestore::hold(const RestoreChoice &choice)
{
    if (!choice.series)
        return false;
    program_.restoreFrom = choice.snapshot.path;
    return true;
}

void BackupRestore::drop()
{
    program_.restoreFrom.clear();
}

bool askRestore(Program &program, const ChooseSnapshot &choose)
{
    Prompts &prompts = program.seams.prompts;
    BackupRestore restore(program);
    if (!restore.allowed()) {
        prompts.message(Text::tr("計測中です、計測を停止してからバックアップを選んでください"),
                        Icon::Exclamation, Buttons::Ok);
        return false;
    }
    const std::vector<RestoreChoice> choices = restore.choices();
    if (choices.empty()) {
        prompts.message(Text::tr("バックアップがありません"), Icon::Exclamation, Buttons::Ok);
        return false;
    }
    QStringList rows;
    for (const RestoreChoice &choice : choices) rows << choice.row;
    const std::optional<int> chosen = choose(rows);
    if (!chosen || *chosen < 0 || *chosen >= int(choices.size()))
        return false;
    const RestoreChoice &choice = choices[std::size_t(*chosen)];
    // Told now, not after the program has closed for nothing.
    if (!choice.series) {
        prompts.message(
            Text::tr("このバックアップは読めません。別のバックアップを選んでください。"),
            Icon::Exclamation, Buttons::Ok);
        return false;
    }
    const QString question = Text::tr(
                                 "%1 のバックアップ（記録 %2 件）に戻します。\r\n"
                                 "今のデータもバックアップとして残します。\r\n"
                                 "復元は終了のときに行います。Spinlog を終了してよろしいですか")
                                 .arg(choice.snapshot.date.toString(QStringLiteral("yyyy/MM/dd")),
                                      QString::number(*choice.series));
    if (prompts.message(question, Icon::Question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    return restore.hold(choice);
}

}  // namespace spinlog
