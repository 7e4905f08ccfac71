#include "interop/history_export.h"

#include "base/errors.h"
#include "base/export_file.h"
#include "base/shown_text.h"
#include "data/program_files.h"
#include "data/puzzle_type_store.h"
#include "interop/cstimer_file.h"
#include "interop/twisty_file.h"

#include <unordered_set>

namespace spinlog {

ExportTally exportHistory(ExportFormat format, const HistoryExport &history,
                          const PuzzleTypeStore &types, const TypeFilter &filter,
                          const QString &path, const QString &appFolder)
{
    refuseProgramFile(path, appFolder);
    CsTimerWriter csTimer;
    TwistyWriter twisty;
    ExportTally tally;
    // The types that have an MT_Type row, as the list shows them.
    const TypeChoices listed(types.all());
    for (const PuzzleType &type : listed.types()) {
        if (!filter.includes(type.id))
            continue;
        std::unordered_set<std::int64_t> series;
        int solves = 0;
        tally.skipped += history.solves(type.id, [&](const ExportedSolve &solve) {
            if (solves++ == 0 && format == ExportFormat::CsTimer)
                csTimer.beginSession(type.name);
            if (format == ExportFormat::CsTimer)
                csTimer.add(solve.attempt, solve.details);
            else
                twisty.add(type.name, solve.attempt, solve.details);
            if (solve.inSeries)
                series.insert(solve.series);
        });
        tally.sessions += solves > 0;
        tally.solves += solves;
        tally.series += int(series.size());
    }
    if (tally.solves == 0)
        throw SpinlogError(Text::tr("出力データがありません"));
    exportWhole(path, format == ExportFormat::CsTimer ? csTimer.finish() : twisty.finish());
    return tally;
}

}  // namespace spinlog
