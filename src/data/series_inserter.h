#pragma once
// A saved series' row in T_Time and its solves' rows in T_Solve, written by
// statements prepared once: the stopwatch's save and an import write every
// series this way.

#include "data/history_detail.h"
#include "data/records.h"
#include "data/solve_table.h"

#include <memory>

namespace spinlog {

class Database;
class Statement;

class SeriesInserter {
public:
    SeriesInserter(Database &db, const history_detail::SeriesColumns &columns);
    ~SeriesInserter();
    SeriesInserter(const SeriesInserter &) = delete;
    SeriesInserter &operator=(const SeriesInserter &) = delete;

    // Adds the series and its solves (where the file keeps solves); a solve
    // without a moment takes its series' DateTime's. Returns the series' rowid.
    std::int64_t add(const SeriesRecord &record, const QString &importId);
    // The solves' writer, for solves without a series.
    SolveInserter *solves() { return solves_.get(); }

private:
    Database &db_;
    history_detail::SeriesColumns columns_;
    std::unique_ptr<Statement> insert_;
    std::unique_ptr<SolveInserter> solves_;  // none without T_Solve
};

}  // namespace spinlog
