#pragma once
// The saved history written as csTimer's export file (see cstimer_file.h):
// the series of the filter in saving order, one session per puzzle type that
// has any, each solve dated by its series' DateTime (local time).

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

// Writes the file whole or not at all (an existing one stays as it was on a
// failure). Throws SpinlogError with the system's words, when no series is
// there to write, or when path is one of the program's own files in
// appFolder (nothing is written then).
ExportTally exportCsTimer(const HistoryExport &history, const PuzzleTypeStore &types,
                          const TypeFilter &filter, const QString &path, const QString &appFolder);

}  // namespace spinlog
