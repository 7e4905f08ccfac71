#pragma once
// The main window's current ao5 and ao12 of its type: the type's last saved
// solves in the history's order (the last done, whenever saved or imported),
// then the series under way, counted as the
// statistics window counts them with the series under way in, so the two
// always show the same figures.

#include "data/history_reads.h"
#include "stats/solve_history.h"

#include <QString>
#include <vector>

namespace spinlog {

class RecentAverages {
public:
    // Reads the type's last saved solves, as many as the longest average takes.
    void read(const HistorySolves &history, const TypeId &type);
    // "ao5: 12.34  ao12: 13.05", "-" where there are too few; the series
    // under way counts when it is of the type read.
    QString text(const SeriesUnderWay &underWay) const;

private:
    TypeId type_;
    std::vector<SolveValue> saved_;  // in the history's order, the last done last
};

}  // namespace spinlog
