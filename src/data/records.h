#pragma once
// The rows the record stores keep: a solve of the series under way (W_Time),
// a saved series (T_Time) with its solves (T_Solve), and a type's best
// values. A puzzle type (MT_Type) is in puzzle_type.h.

#include "base/attempts.h"
#include "data/puzzle_type.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace spinlog {

// What a solve carries beside its time and penalty: when it was done, the
// scramble it was done from, a comment, and what another timer kept of it.
struct SolveDetails {
    std::optional<std::int64_t> moment;  // when it stopped: ms since 1970-01-01 UTC
    std::optional<std::int64_t> rawMs;   // the time measured in ms, where the source had them
    QString scramble;
    QString comment;
    std::vector<std::int64_t> splits;  // a multi-phase solve's phases (ms), as the source kept them
    friend bool operator==(const SolveDetails &, const SolveDetails &) = default;
};

// One finished solve of the series under way.
struct Solve {
    int no = 0;                   // 1 to 12, in the order the solves were finished
    std::int64_t hundredths = 0;  // what it counts as, in hundredths (kDnfHundredths: a DNF)
    QString time;                 // the display form: "12.34", "14.34+", "DNF"
    Attempt attempt;              // the time measured and the penalty
    SolveDetails details;
};

// One saved series.
struct SeriesRecord {
    QString dateTime;  // YYYY/MM/DD HH:NN:SS
    TypeId typeId;
    std::array<QString, 12> times;  // display forms; "-" for a solve not in the series
    QString aveTime;                // display form
    std::int64_t aveHundredths = 0;
    int bestNo = 0;
    QString bestTime;
    std::int64_t bestHundredths = 0;
    int worstNo = 0;
    QString worstTime;
    std::int64_t worstHundredths = 0;
    // Each solve's raw time and penalty, where known (slot by slot).
    std::array<std::optional<Attempt>, 12> attempts;
    // Each solve's moment, scramble and comment (slot by slot); none for a
    // series an older copy of the program saved.
    std::array<SolveDetails, 12> details;
};

struct BestRecords {
    QString bestTime = QStringLiteral("-");     // the fastest saved single
    QString bestAverage = QStringLiteral("-");  // the best saved average
};

}  // namespace spinlog
