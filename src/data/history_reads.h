#pragma once
// The narrow reads of the history, one for each of its readers: the chart's
// series, the statistics' solves, the export's solves. Rows are handed out
// one at a time, their texts pointing into the statement's own memory.

#include "data/puzzle_type.h"
#include "data/records.h"
#include "data/type_solves.h"

#include <QByteArrayView>
#include <QStringList>
#include <QVariantList>
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

// One saved solve as the statistics count it.
struct CountedSolve {
    std::int64_t moment = 0;         // ms since the epoch; kUndated when its DateTime reads as none
    std::int64_t series = 0;         // of one moment, the order of series (type_solves.h)
    int place = 0;                   // in its series
    QByteArrayView typeId;           // a null view for NULL
    std::optional<Counted> counted;  // nothing: a stored text that is no time
};

class HistorySolves {
public:
    explicit HistorySolves(Database &db);
    // Every saved solve: the series older copies saved (their texts, in
    // saving order), then T_Solve's in the order they were done (of one type
    // and moment, in the index's order). The reader puts them in the
    // history's order where they are not.
    void all(const std::function<void(const CountedSolve &)> &take) const;
    // About as many solves as all() hands out, found at once: to make room
    // before reading.
    std::int64_t solvesAbout() const;
    // The solves of the series with these ids (in saving order), those still saved.
    void ofSeries(const std::vector<std::int64_t> &ids,
                  const std::function<void(const CountedSolve &)> &take) const;
    // The saved solves of one type in the history's order, the last done
    // first, until take returns false.
    void lastDone(const TypeId &type, const std::function<bool(const CountedSolve &)> &take) const;
    // How many rows have been read: what a reader costs.
    std::int64_t rowsRead() const { return rowsRead_; }

private:
    void olderSeries(const QString &where, const QVariantList &values,
                     const std::function<void(const CountedSolve &)> &take) const;

    Database &db_;
    bool keys_;
    mutable std::int64_t rowsRead_ = 0;
};

// One saved solve as an export writes it.
struct ExportedSolve {
    Attempt attempt;
    SolveDetails details;  // its moment always set
    bool inSeries = true;
    std::int64_t series = 0;  // tells the solves of one series from another's
};

class HistoryExport {
public:
    explicit HistoryExport(Database &db) : db_(db) {}
    // The solves of one type in the history's order, with what each carries;
    // an older copy's series are dated by their DateTime (local time), and
    // one with a DateTime or a solve that reads as no time is passed over
    // whole. Returns how many series were passed over.
    int solves(const TypeId &type, const std::function<void(const ExportedSolve &)> &take) const;

private:
    Database &db_;
};

}  // namespace spinlog
