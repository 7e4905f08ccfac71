#pragma once
// The narrow reads of T_Time, one for each of its readers: the chart's
// series, the statistics' solves, the export's series. Rows are handed out
// one at a time, their texts pointing into the statement's own memory.

#include "data/puzzle_type.h"
#include "data/records.h"

#include <QByteArrayView>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Database;

// One listed series as the chart reads it.
struct ChartRow {
    QByteArrayView dateTime;
    int typeIndex = 0;                              // into the type names handed out with the rows
    std::optional<std::int64_t> averageHundredths;  // kDnfHundredths for a DNF
    std::optional<std::int64_t> bestHundredths;
};

class HistoryChart {
public:
    explicit HistoryChart(Database &db) : db_(db) {}
    // The listed series of the filter, in saving order, with the names of the
    // types the rows' typeIndex points into, in TypeID order (so a type's
    // index orders as its TypeID).
    void rows(const TypeFilter &filter, QStringList &typeNames,
              const std::function<void(const ChartRow &)> &take) const;

private:
    Database &db_;
};

// One saved series as the statistics read it: its solves' display texts as
// stored, slot by slot ("-" where the series has no solve; a null view for NULL).
struct SolveRow {
    std::int64_t id = 0;
    QByteArrayView typeId;
    QByteArrayView dateTime;
    std::array<QByteArrayView, 12> times;
};

class HistorySolves {
public:
    explicit HistorySolves(Database &db) : db_(db) {}
    // Every saved series, in saving order (the reader puts them in the
    // history's order, history_order.h: reading by an index costs more).
    void all(const std::function<void(const SolveRow &)> &take) const;
    // At least as many as all() hands out, found at once: to make room
    // before reading.
    std::int64_t mostRows() const;
    // The series with these ids (in saving order), those still saved.
    void rows(const std::vector<std::int64_t> &ids,
              const std::function<void(const SolveRow &)> &take) const;
    // The saved series of one type in the history's order, the last done
    // first, until take returns false.
    void lastDone(const TypeId &type, const std::function<bool(const SolveRow &)> &take) const;
    // How many rows have been handed out: what a reader costs.
    std::int64_t rowsRead() const { return rowsRead_; }

private:
    Database &db_;
    mutable std::int64_t rowsRead_ = 0;
};

// One saved series as an export reads it.
struct ExportedSeries {
    TypeId typeId;
    QString dateTime;               // YYYY/MM/DD HH:NN:SS
    std::vector<Attempt> attempts;  // the solves, in their order; none when one is unreadable
};

class HistoryExport {
public:
    explicit HistoryExport(Database &db);
    // The saved series of the filter in saving order, each solve's raw time
    // and penalty as the writer reads them; series whose type has no MT_Type
    // row too (the caller names the types).
    void series(const TypeFilter &filter,
                const std::function<void(const ExportedSeries &)> &take) const;

private:
    Database &db_;
    bool tokens_;
};

}  // namespace spinlog
