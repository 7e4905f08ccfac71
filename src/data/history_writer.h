#pragma once
// T_Time's and T_Solve's one writer: a series saved with its solves, a
// penalty written into a saved series, a solve's comment, one series or every
// listed one deleted, an import added in one transaction and taken back.
// Each change is signalled with what it changed. The reads its callers need
// before they write (a series by its id, whether a series or a solve is
// stored, the newest import) are here too; what windows show is read through
// the narrow reads (history_list.h, history_reads.h).

#include "data/history_change.h"
#include "data/records.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Database;
class SolveInserter;

// What an import added and what it found stored already.
struct ImportTally {
    int added = 0;       // series
    int duplicates = 0;  // solves and series left out, as the caller counted them
    int loose = 0;       // solves added without a series
};

// An import still in the history: its mark, how many series and how many
// solves without a series carry it.
struct ImportMark {
    QString id;
    int series = 0;
    int loose = 0;  // its solves without a series
    int types = 0;  // the types it made that are still there
};

// A solve an import adds without a series: one of a session's last solves,
// which fill none.
struct LooseSolve {
    TypeId typeId;
    Attempt attempt;
    SolveDetails details;
};

// What an import adds, made one at a time as it goes in.
struct ImportBatch {
    int series = 0;
    std::function<SeriesRecord(int)> seriesAt;
    int loose = 0;
    std::function<LooseSolve(int)> looseAt;
    int duplicates = 0;  // what the caller left out as stored already
};

// A stored solve as an import's duplicates are found: when, its raw time in
// ms and its penalty.
struct SolveKey {
    std::int64_t moment = 0;
    std::int64_t ms = 0;
    Penalty penalty = Penalty::None;
};

class HistoryWriter : public QObject {
    Q_OBJECT
public:
    explicit HistoryWriter(Database &db, QObject *parent = nullptr);

    // Whether the file keeps solves of their own (T_Solve): a read-only or
    // full file opened without it keeps series alone, as an older copy does.
    bool keepsSolves() const { return keys_; }

    // Adds a saved series with its solves; together runs in the same
    // transaction (the series under way is emptied with it), so all happen
    // or none. A solve without a moment takes the series' DateTime's.
    void add(const SeriesRecord &record, const std::function<void()> &together = {});

    // The saved series with this id, each solve's raw time and penalty from
    // the kept tokens or, where none were kept, from its display text, and
    // its details from its solve's row. Throws SpinlogError when there is no
    // such row.
    SeriesRecord series(std::int64_t id) const;
    // Writes the series with this id anew (its solves, average, best and
    // worst); DateTime and TypeID stay, its solves' penalties follow.
    void update(std::int64_t id, const SeriesRecord &record);
    // Gives solve `no` (from 1) of the series a comment (empty: none). A
    // series an older copy saved gets its solves' rows first.
    void setComment(std::int64_t id, int no, const QString &comment);

    // Deletes exactly the series with this id, and its solves.
    void remove(std::int64_t id);
    // Deletes every series of the filter and its solves without a series:
    // with every type, the whole table, series of types without an MT_Type
    // row included.
    void removeListed(const TypeFilter &filter);
    // How many solves without a series the filter has.
    int looseSolves(const TypeFilter &filter) const;

    // Whether a series without solve rows (an older copy's) of the same type,
    // DateTime and solves (display texts) is saved: an imported one that
    // would add nothing.
    bool isSaved(const SeriesRecord &record) const;
    // Whether any series without solve rows is saved at all.
    bool holdsSeriesWithoutSolves() const;
    // The stored solves of a type done from `from` to `to` (ms), by moment.
    std::vector<SolveKey> solvesBetween(const TypeId &type, std::int64_t from,
                                        std::int64_t to) const;

    // Adds the batch's series and solves in one transaction, each marked with
    // importId. progress(done) may return false to cancel. together runs
    // first in the same transaction (the types the import makes). Nothing is
    // kept on a failure (SpinlogError) or a cancel (nothing back).
    std::optional<ImportTally> importHistory(const ImportBatch &batch, const QString &importId,
                                             const std::function<bool(int done)> &progress,
                                             const std::function<void()> &together = {});
    // The newest import that still has series or solves in the history.
    std::optional<ImportMark> lastImport() const;
    // Deletes exactly what the import added, and runs together in the same
    // transaction after it (the types it made that nothing uses now);
    // returns how many series.
    int removeImport(const QString &importId, const std::function<void()> &together = {});

signals:
    void changed(const HistoryChange &change);

private:
    std::int64_t keyOf(std::int64_t id) const;

    Database &db_;
    bool tokens_;   // the file has the column for raw times and penalties
    bool imports_;  // the file has the column that marks imported series
    bool keys_;     // the file has T_Solve and the series' keys
};

}  // namespace spinlog
