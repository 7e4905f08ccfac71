#include "interop/cstimer_export.h"

#include "base/errors.h"
#include "base/export_file.h"
#include "data/program_files.h"
#include "data/puzzle_type_store.h"
#include "interop/cstimer_file.h"
#include "interop/history_import.h"

#include <map>

namespace spinlog {

ExportTally exportCsTimer(const HistoryStore &history, const PuzzleTypeStore &types,
                          TypeFilter filter, const QString &path, const QString &appFolder)
{
    refuseProgramFile(path, appFolder);
    const QStringList names = types.names();
    std::map<QString, std::size_t> sessionOfType;  // TypeID -> session
    std::vector<CsTimerSession> sessions;
    ExportTally tally;
    history.exportSeries(filter, [&](const ExportedSeries &series) {
        bool number = false;
        const int position = series.typeId.toInt(&number) - 1;
        if (!number || position < 0 || position >= names.size())
            return;  // no type names it, as the list leaves it out
        const std::optional<std::int64_t> seconds = unixSecondsOf(series.dateTime);
        if (!seconds || series.attempts.empty()) {
            ++tally.skipped;
            return;
        }
        auto [at, added] = sessionOfType.try_emplace(series.typeId, sessions.size());
        if (added)
            sessions.push_back({names.at(position), {}});
        for (const Attempt &attempt : series.attempts)
            sessions[at->second].solves.push_back({attempt, *seconds});
        ++tally.series;
        tally.solves += int(series.attempts.size());
    });
    if (sessions.empty())
        throw SpinlogError(QStringLiteral("出力データがありません"));
    tally.sessions = int(sessions.size());
    exportWhole(path, writeCsTimer(sessions));
    return tally;
}

}  // namespace spinlog
