#pragma once
// The saved history written as another timer's file: csTimer's export (see
// cstimer_file.h) or Twisty Timer's backup (twisty_file.h). One session (or
// puzzle and category) per puzzle type that has any solves, each solve with
// its own moment, scramble, comment and phases, in the order they were done;
// solves without a series too. A series an older copy saved is dated by its
// DateTime (local time).

#include "data/history_reads.h"

#include <QString>

namespace spinlog {

class PuzzleTypeStore;

struct ExportTally {
    int sessions = 0;
    int series = 0;
    int solves = 0;
    int skipped = 0;  // series whose DateTime or a solve reads as no time: not written
};

enum class ExportFormat { CsTimer, TwistyTimer };

// Writes the file whole or not at all (an existing one stays as it was on a
// failure). Throws SpinlogError with the system's words, when no solve is
// there to write, or when path is one of the program's own files in
// appFolder (nothing is written then).
ExportTally exportHistory(ExportFormat format, const HistoryExport &history,
                          const PuzzleTypeStore &types, const TypeFilter &filter,
                          const QString &path, const QString &appFolder);
inline ExportTally exportCsTimer(const HistoryExport &history, const PuzzleTypeStore &types,
                                 const TypeFilter &filter, const QString &path,
                                 const QString &appFolder)
{
    return exportHistory(ExportFormat::CsTimer, history, types, filter, path, appFolder);
}

}  // namespace spinlog
