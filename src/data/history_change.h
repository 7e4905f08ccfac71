#pragma once
// What a change of the saved series tells those who show them: its kind, the
// type it concerns (or every type, when it may concern several) and its rows,
// so each reads again only what it shows.

#include "data/puzzle_type.h"

#include <cstdint>
#include <vector>

namespace spinlog {

struct HistoryChange {
    // Commented: a solve's comment, which no figure counts.
    enum class Kind { Added, Edited, Removed, Commented };
    Kind kind = Kind::Added;
    TypeFilter types;                // whose series changed
    std::vector<std::int64_t> rows;  // the rows added, edited or removed, in saving order;
                                     // empty with Removed: every series of `types`
    bool looseSolves = false;        // solves without a series changed too

    bool concerns(const TypeId &type) const { return types.includes(type); }
};

}  // namespace spinlog
