#pragma once
// The series the history window lists, as the chart draws them: read from
// the history store, oldest first. A DNF has no time to draw: a DNF average
// is no point of the average line and no input of the trend, a DNF single
// no best.

#include "chart/progress_series.h"
#include "data/history_reads.h"

namespace spinlog {

struct ListedSeries {
    ChartData data;
    // Listed series whose DateTime cannot be placed on the time axis.
    int unplaced = 0;
    // Series placed whose average is a DNF.
    int dnfAverages = 0;

    // The status line: how many series there are and what is left out, and why.
    QString countText() const;
};

// The series of the history list for the filter (every type with an entry in
// MT_Type, or one type), in the history's order. The store's failures
// propagate.
ListedSeries listedSeries(const HistoryChart &history, const TypeFilter &filter);

}  // namespace spinlog
