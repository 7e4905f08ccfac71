#include "chart/listed_series.h"

namespace spinlog {

ListedSeries listedSeries(const HistoryStore &store, TypeFilter filter)
{
    ListedSeries listed;
    ChartData &data = listed.data;
    store.chartRows(filter, data.typeNames, [&](const ChartRow &row) {
        if (!data.add(row.dateTime, std::int32_t(row.typeIndex), row.averageHundredths,
                      row.bestHundredths))
            ++listed.unplaced;
    });
    data.sortByDate();
    return listed;
}

}  // namespace spinlog
