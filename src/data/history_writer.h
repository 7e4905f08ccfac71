#pragma once
// T_Time's one writer: a series saved, a penalty written into a saved series,
// one series or every listed one deleted, an import added in one transaction
// and taken back. Each change is signalled with what it changed. The reads
// its callers need before they write (a series by its id, whether a series
// is saved, the newest import) are here too; what windows show is read
// through the narrow reads (history_list.h, history_reads.h).

#include "data/history_change.h"
#include "data/records.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace spinlog {

class Database;

// What an import added and what it found saved already.
struct ImportTally {
    int added = 0;
    int duplicates = 0;
};

// An import still in the history: its mark and how many series carry it.
struct ImportMark {
    QString id;
    int series = 0;
    int types = 0;  // the types it made that are still there
};

class HistoryWriter : public QObject {
    Q_OBJECT
public:
    explicit HistoryWriter(Database &db, QObject *parent = nullptr);

    // Adds a saved series; together runs in the same transaction (the series
    // under way is emptied with it), so both happen or neither.
    void add(const SeriesRecord &record, const std::function<void()> &together = {});

    // The saved series with this id, each solve's raw time and penalty from
    // the kept tokens or, where none were kept, from its display text.
    // Throws SpinlogError when there is no such row.
    SeriesRecord series(std::int64_t id) const;
    // Writes the series with this id anew (its solves, average, best and
    // worst); DateTime and TypeID stay.
    void update(std::int64_t id, const SeriesRecord &record);

    // Deletes exactly the series with this id.
    void remove(std::int64_t id);
    // Deletes every series of the filter: with every type, the whole table,
    // series of types without an MT_Type row included.
    void removeListed(const TypeFilter &filter);

    // Whether a series of the same type, DateTime and solves (display texts)
    // is saved: an imported one that would add nothing.
    bool isSaved(const SeriesRecord &record) const;
    // Adds series 0 .. count-1 (next(i) makes each) in one transaction, each
    // marked with importId; one that was saved before the call is skipped
    // (one added earlier in the same call is not: a file may hold a series
    // twice). progress(done) may return false to cancel. together runs
    // first in the same transaction (the types the import makes). Nothing
    // is kept on a failure (SpinlogError) or a cancel (nothing back).
    std::optional<ImportTally> importSeries(int count, const std::function<SeriesRecord(int)> &next,
                                            const QString &importId,
                                            const std::function<bool(int done)> &progress,
                                            const std::function<void()> &together = {});
    // The newest import that still has series in the history.
    std::optional<ImportMark> lastImport() const;
    // Deletes exactly the series the import added, and runs together in the
    // same transaction after them (the types it made that nothing uses
    // now); returns how many series.
    int removeImport(const QString &importId, const std::function<void()> &together = {});

signals:
    void changed(const HistoryChange &change);

private:
    Database &db_;
    bool tokens_;   // the file has the column for raw times and penalties
    bool imports_;  // the file has the column that marks imported series
};

}  // namespace spinlog
