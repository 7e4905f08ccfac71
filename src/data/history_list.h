#pragma once
// The history as the history window lists it: the series of a type filter in
// one of four orders, each row with its id and each cell marked with what it
// shows (a solve, a missing solve, the best, the worst), and the best single
// and best average under one rule. Whoever shows the rows gives the marks
// their colours.

#include "data/puzzle_type.h"
#include "data/records.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace spinlog {

class Database;

inline constexpr int kHistoryCols = 15;  // date, type, 12 solves, average
inline constexpr int kHistoryAverageCol = 14;

// The list's orders, in the order of the window's order list.
enum class HistoryOrder { DateAscending, DateDescending, AverageAscending, AverageDescending };
inline constexpr int kHistoryOrders = 4;

// A batch of listed rows: the UTF-8 texts of their cells back to back, the
// end of each cell's text in it, a mark per cell (kHistoryCols cells per
// row, row after row) and each row's id.
struct HistoryRows {
    enum Mark : std::uint8_t { None, Solve, MissingSolve, Worst, Best };
    static constexpr int kMarks = 5;
    std::string text;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint8_t> marks;
    std::vector<std::int64_t> ids;
};

// Receives the listed rows in order, in batches.
class HistorySink {
public:
    virtual ~HistorySink() = default;
    // Called once the query has run, before the first row: drop the old rows.
    virtual void clear() = 0;
    virtual void appendRows(const HistoryRows &rows) = 0;
};

class HistoryList {
public:
    explicit HistoryList(Database &db) : db_(db) {}

    // Lists the series of the filter in the order into the sink. Series with
    // equal sort keys come by the position of their type's row in MT_Type
    // (the types after the fifth after its rows), then in saving order; a
    // series whose type has no row is not listed. Returns the number of
    // rows. On a failure the rows read so far, a partly written one
    // included, have reached the sink before the SpinlogError propagates.
    int list(const TypeFilter &filter, HistoryOrder order, HistorySink &sink) const;
    // The statement list() runs, for the benchmarks that time the engine on it.
    QString listStatement(const TypeFilter &filter, HistoryOrder order) const;

    // The best single (BestTime of the least BestTimeSS) and the best average
    // (AveTime of the least AveTimeSS) among the saved series of the filter,
    // types without a row included; "-" where there is none. Least as the
    // engine sorts (no value, then numbers, then texts); of equals, the first
    // saved. A DNF is never a best.
    BestRecords bests(const TypeFilter &filter) const;

private:
    Database &db_;
};

}  // namespace spinlog
