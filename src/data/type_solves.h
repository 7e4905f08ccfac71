#pragma once
// One type's saved solves in the history's order, forwards or backwards: the
// solves of T_Solve by their moment, and the series an older copy saved
// (no solve rows: their display texts, done when their DateTime says, read as
// local time), merged. Of one moment, series by their key (an older copy's
// first, in saving order), a series' solves by place.

#include "base/local_calendar.h"
#include "data/records.h"

#include <QString>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace spinlog {

class Database;
class Statement;

// One solve as the walk hands it out.
struct WalkedSolve {
    std::int64_t moment = 0;
    std::int64_t series = 0;  // of one moment, the order of series
    int place = 0;
    std::optional<Attempt> attempt;  // nothing: a display text that is no time
    SolveDetails details;            // moment always set; an older copy's: nothing more
    bool inSeries = true;
};

class TypeSolveWalk {
public:
    // lastFirst: the solve done last first. wholeSeries: an older copy's
    // series with a DateTime or a solve that reads as no time is passed over
    // whole (and counted); otherwise its readable solves come, an undated
    // series first of all.
    TypeSolveWalk(Database &db, const TypeId &type, bool lastFirst, bool wholeSeries);
    ~TypeSolveWalk();
    TypeSolveWalk(const TypeSolveWalk &) = delete;
    TypeSolveWalk &operator=(const TypeSolveWalk &) = delete;

    bool next(WalkedSolve &solve);
    // Older copies' series passed over (wholeSeries).
    int skipped() const { return skipped_; }
    // Rows read so far, of both tables.
    std::int64_t rowsRead() const { return rowsRead_; }

private:
    bool fillOlder();
    bool readKeyed();
    bool before(const WalkedSolve &a, const WalkedSolve &b) const;

    bool lastFirst_;
    bool wholeSeries_;
    bool tokens_;
    std::unique_ptr<Statement> keyed_;  // none without T_Solve
    std::unique_ptr<Statement> older_;
    std::vector<WalkedSolve> olderSolves_;  // of the older row read last, next one last
    std::optional<WalkedSolve> keyedSolve_;
    bool keyedDone_ = false, olderDone_ = false;
    LocalCalendar calendar_;
    int skipped_ = 0;
    std::int64_t rowsRead_ = 0;
};

// An older copy's series come before the keyed series of their moment.
inline constexpr std::int64_t kOlderSeries = -(std::int64_t(1) << 62);

// A moment for what reads as none: before every other.
inline constexpr std::int64_t kUndated = std::numeric_limits<std::int64_t>::min();

}  // namespace spinlog
