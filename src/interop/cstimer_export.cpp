#include "interop/cstimer_export.h"

#include "base/errors.h"
#include "base/export_file.h"
#include "base/shown_text.h"
#include "data/program_files.h"
#include "data/puzzle_type_store.h"
#include "interop/cstimer_file.h"
#include "interop/history_import.h"

#include <map>

namespace spinlog {

ExportTally exportCsTimer(const HistoryExport &history, const PuzzleTypeStore &types,
                          const TypeFilter &filter, const QString &path, const QString &appFolder)
{
    refuseProgramFile(path, appFolder);
    const TypeChoices listed(types.all());
    std::map<QString, std::size_t> sessionOfType;  // TypeID -> session
    std::vector<CsTimerSession> sessions;
    ExportTally tally;
    history.series(filter, [&](const ExportedSeries &series) {
        const PuzzleType *type = listed.typeAt(listed.entryOf(series.typeId));
        if (!type)
            return;  // no type names it, as the list leaves it out
        const std::optional<std::int64_t> seconds = unixSecondsOf(series.dateTime);
        if (!seconds || series.attempts.empty()) {
            ++tally.skipped;
            return;
        }
        auto [at, added] = sessionOfType.try_emplace(series.typeId.text(), sessions.size());
        if (added)
            sessions.push_back({type->name, {}});
        for (const Attempt &attempt : series.attempts)
            sessions[at->second].solves.push_back({attempt, *seconds});
        ++tally.series;
        tally.solves += int(series.attempts.size());
    });
    if (sessions.empty())
        throw SpinlogError(Text::tr("出力データがありません"));
    tally.sessions = int(sessions.size());
    exportWhole(path, writeCsTimer(sessions));
    return tally;
}

}  // namespace spinlog
