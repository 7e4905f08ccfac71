#pragma once
// The series the history window lists, read for the chart with one narrow
// statement: only the four fields the chart draws, always in date order.

#include "chart/progress_series.h"

namespace spinlog {

class Database;

struct ListedSeries {
    ChartData data;
    // Listed series whose DateTime cannot be placed on the time axis.
    int unplaced = 0;
};

// The series of the history list for a type filter position (0 every type
// with an entry in MT_Type, k the TypeID k), oldest first. A negative
// position throws SpinlogError, as do the engine's failures.
ListedSeries listedSeries(Database &db, int typePosition);

}  // namespace spinlog
