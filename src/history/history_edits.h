#pragma once
// What a user does to the saved series from the history window: deletes one
// series or every listed one, gives a solve of a saved series a penalty or a
// comment, writes the list as CSV. The window asks its questions and shows the
// outcome; the writer's signal refreshes every view.

#include "data/history_list.h"
#include "data/history_writer.h"
#include "history/csv_export.h"

#include <QString>
#include <cstdint>

namespace spinlog {

class PuzzleTypeStore;

class HistoryEdits {
public:
    // All must outlive the edits.
    HistoryEdits(HistoryWriter &history, const HistoryList &list, const PuzzleTypeStore &types);

    // Exactly the series with this id: another saved in the same second stays.
    void remove(std::int64_t id);
    // Every series of the filter (with every type, the whole table).
    void removeListed(const TypeFilter &filter);

    // A saved series as the penalty menu shows it: its solves and penalties.
    SeriesRecord series(std::int64_t id) const;
    // Gives solve `no` (from 1) of the saved series a penalty, or takes it
    // away: its marks and average worked out again by the type's rule as it
    // stands now, as a series timed today counts.
    void setPenalty(std::int64_t id, int no, Penalty penalty);
    // Gives solve `no` of the saved series a comment (empty: none).
    void setComment(std::int64_t id, int no, const QString &comment);

    // Writes the list as it is shown (filter, order) to a CSV file, never
    // one of the program's own files in appFolder: see writeHistoryCsv.
    CsvOutcome exportCsv(const QString &path, const QString &appFolder, const TypeFilter &filter,
                         HistoryOrder order, int *reachedRow) const;

private:
    HistoryWriter &history_;
    const HistoryList &list_;
    const PuzzleTypeStore &types_;
};

}  // namespace spinlog
