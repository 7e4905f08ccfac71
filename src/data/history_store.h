#pragma once
// T_Time, the saved series: the one owner of its statements. It adds a saved
// series, lists the series of a type filter in one of four orders (each row
// with its id), gives the best single and best average under one rule, reads
// the series the progress chart draws, and deletes one series by its id or
// every listed one. Every change is announced by changed().

#include "data/records.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace spinlog {

class Database;

inline constexpr int kHistoryCols = 15;  // date, type, 12 solves, average
inline constexpr int kHistoryAverageCol = 14;

// The list's orders, in the order of the window's order list.
enum class HistoryOrder { DateAscending, DateDescending, AverageAscending, AverageDescending };
inline constexpr int kHistoryOrders = 4;

// A type filter: every type (0) or the TypeID of that number.
struct TypeFilter {
    int typeNumber = 0;
    bool all() const { return typeNumber == 0; }
};

// A batch of listed rows: the UTF-8 texts of their cells back to back, the
// end of each cell's text in it, a colour per cell (kHistoryCols cells per
// row, row after row) and each row's id. A cell's colour is an index into
// palette, whose colours are 0xFFRRGGBB, 0 keeping the grid's own.
struct HistoryRows {
    enum Colour : std::uint8_t { None, Solve, MissingSolve, Worst, Best };
    std::string text;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint8_t> colours;
    std::vector<std::uint32_t> palette;
    std::vector<std::int64_t> ids;
};

// The marking colours of the list, 0x00BBGGRR.
struct ListColours {
    std::uint32_t plain = 0, best = 0, worst = 0;
};

// Receives the listed rows in order, in batches.
class HistorySink {
public:
    virtual ~HistorySink() = default;
    // Called once the query has run, before the first row: drop the old rows.
    virtual void clear() = 0;
    virtual void appendRows(const HistoryRows &rows) = 0;
};

// One listed series as the chart reads it.
struct ChartRow {
    QByteArrayView dateTime;
    int typeIndex = 0;                              // into the type names handed out with the rows
    std::optional<std::int64_t> averageHundredths;  // kDnfHundredths for a DNF
    std::optional<std::int64_t> bestHundredths;
};

// One saved series as the statistics read it: its solves' display texts as
// stored, slot by slot ("-" where the series has no solve; empty for NULL).
struct SolveRow {
    std::int64_t id = 0;
    QByteArrayView typeId;
    QByteArrayView dateTime;
    bool listed = false;  // its type has a row in MT_Type
    std::array<QByteArrayView, 12> times;
};

// One saved series as an export reads it.
struct ExportedSeries {
    QString typeId;
    QString dateTime;               // YYYY/MM/DD HH:NN:SS
    std::vector<Attempt> attempts;  // the solves, in their order; none when one is unreadable
};

// What an import added and what it found saved already.
struct ImportTally {
    int added = 0;
    int duplicates = 0;
};

// An import still in the history: its mark and how many series carry it.
struct ImportMark {
    QString id;
    int series = 0;
};

class HistoryStore : public QObject {
    Q_OBJECT
public:
    explicit HistoryStore(Database &db, QObject *parent = nullptr);

    // Adds a saved series; together runs in the same transaction (the series
    // under way is emptied with it), so both happen or neither.
    void add(const SeriesRecord &record, const std::function<void()> &together = {});

    // Lists the series of the filter in the order, coloured, into the sink.
    // Series with equal sort keys come by the position of their type's row in
    // MT_Type, then in saving order; a series whose type has no MT_Type row
    // is not listed. Returns the number of rows. On a failure the rows read
    // so far, a partly written one included, have reached the sink before the
    // SpinlogError propagates.
    int list(TypeFilter filter, HistoryOrder order, const ListColours &colours,
             HistorySink &sink) const;

    // The statement list() runs, for the benchmarks that time the engine on it.
    QString listStatement(TypeFilter filter, HistoryOrder order) const;

    // The best single (BestTime of the least BestTimeSS) and the best average
    // (AveTime of the least AveTimeSS) among the saved series of the filter,
    // types without an MT_Type row included; "-" where there is none. Least
    // as the engine sorts (no value, then numbers, then texts); of equals,
    // the first saved. A DNF is never a best.
    BestRecords bests(TypeFilter filter) const;
    // The same for a type given by its TypeID text, as the main window holds it.
    BestRecords bestsOfType(const QString &typeId) const;

    // The listed series of the filter for the chart, in saving order, with
    // the names of the types the rows' typeIndex points into.
    void chartRows(TypeFilter filter, QStringList &typeNames,
                   const std::function<void(const ChartRow &)> &take) const;

    // The saved series with an id above afterId, in saving order.
    void solveRows(std::int64_t afterId, const std::function<void(const SolveRow &)> &take) const;
    // The saved series of one type (its TypeID text), the last saved first,
    // until take returns false.
    void latestSolveRows(const QString &typeId,
                         const std::function<bool(const SolveRow &)> &take) const;
    // How many updates and deletes there have been: while it stays, the rows
    // read before are as they were and every new series has a higher id.
    std::uint64_t rewrites() const { return rewrites_; }

    // The saved series with this id, each solve's raw time and penalty from
    // the kept tokens or, where none were kept, from its display text.
    // Throws SpinlogError when there is no such row.
    SeriesRecord series(std::int64_t id) const;
    // Writes the series with this id anew (its solves, average, best and
    // worst); DateTime and TypeID stay.
    void update(std::int64_t id, const SeriesRecord &record);

    // The saved series of the filter in saving order, each solve's raw time
    // and penalty as series() reads them; series whose type has no MT_Type
    // row too (the caller names the types).
    void exportSeries(TypeFilter filter,
                      const std::function<void(const ExportedSeries &)> &take) const;

    // Whether a series of the same type, DateTime and solves (display texts)
    // is saved: an imported one that would add nothing.
    bool isSaved(const SeriesRecord &record) const;

    // Adds series 0 .. count-1 (next(i) makes each) in one transaction, each
    // marked with importId; one that was saved before the call is skipped
    // (one added earlier in the same call is not: a file may hold a series
    // twice). progress(done) may return false to cancel.
    // Nothing is kept on a failure (SpinlogError) or a cancel (nothing back).
    std::optional<ImportTally> importSeries(int count, const std::function<SeriesRecord(int)> &next,
                                            const QString &importId,
                                            const std::function<bool(int done)> &progress);
    // The newest import that still has series in the history.
    std::optional<ImportMark> lastImport() const;
    // Deletes exactly the series the import added; returns how many.
    int removeImport(const QString &importId);

    // Deletes exactly the series with this id.
    void remove(std::int64_t id);
    // Deletes every series of the filter: with every type, the whole table,
    // series of types without an MT_Type row included.
    void removeListed(TypeFilter filter);

signals:
    void changed();

private:
    Database &db_;
    std::uint64_t rewrites_ = 0;
    bool tokens_;   // the file has the column for raw times and penalties
    bool imports_;  // the file has the column that marks imported series
};

}  // namespace spinlog
