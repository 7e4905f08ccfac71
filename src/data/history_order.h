#pragma once
// The history's order of series, wherever solves are counted one after
// another (the statistics, the status bar's averages, the chart): by when
// they were done, as their DateTime says ("YYYY/MM/DD HH:NN:SS" sorts as the
// moment it names); of one moment by type (TypeID), then in saving order.
// An index holds it; it is the history list's date order while MT_Type's rows
// stand in TypeID order, as the program writes them. NULL comes first, texts
// compare byte by byte, as the engine compares them.

#include <QByteArrayView>
#include <cstdint>

namespace spinlog {

// Where a saved series stands in that order. A null view is NULL.
struct SeriesPlace {
    QByteArrayView dateTime;
    QByteArrayView typeId;
    std::int64_t id = 0;  // the rowid: the saving order
};

bool doneBefore(const SeriesPlace &a, const SeriesPlace &b);

// The same order backwards, for a statement's "order by": the series done
// last first (an index on the type and the date holds one type's).
inline constexpr const char *kLastDoneFirst = "DateTime desc, TypeID desc, rowid desc";

}  // namespace spinlog
