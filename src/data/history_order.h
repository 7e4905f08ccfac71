#pragma once
// The history's order of solves, wherever solves are counted one after
// another (the statistics, the status bar's averages, an export): by when
// they were done (ms since the epoch: a solve's own moment, or the DateTime
// of a series an older copy saved, read as local time), of one moment by
// their series (the keys of T_Solve, an older copy's series first in saving
// order), then by their place in it. Whatever order they were saved or
// imported in, the last done is the current one.

#include <cstdint>
#include <tuple>

namespace spinlog {

struct SolvePlace {
    std::int64_t moment = 0;
    std::int64_t series = 0;
    int place = 0;
};

inline bool doneBefore(const SolvePlace &a, const SolvePlace &b)
{
    return std::tie(a.moment, a.series, a.place) < std::tie(b.moment, b.series, b.place);
}

}  // namespace spinlog
