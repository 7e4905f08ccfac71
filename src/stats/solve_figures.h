#pragma once
// The figures over a list of solves, as cubers judge themselves: the count,
// the DNFs, the mean, spread, median, best and worst of the timed solves, and
// the current and best mean of 3 and averages of 5, 12, 50, 100 and 1000.
// Means, medians and averages are rounded to the hundredth with an exact
// half going up, as the competition rules and csTimer round them.
// Solves are handed in order, a series at a time, and every figure follows
// them incrementally: one more series costs what its solves cost, never a
// pass over the list again.

#include "base/attempts.h"

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace spinlog {

// A solve as the figures take it: hundredths, kDnfHundredths for a DNF.
using SolveValue = std::int32_t;
inline constexpr SolveValue kDnfValue = SolveValue(kDnfHundredths);

struct AverageKind {
    const char *name;
    int solves;   // N
    int trimmed;  // left out at each end
};
// mo3 leaves nothing out; aoN leaves out ceil(N * 5 / 100) at each end.
inline constexpr std::array<AverageKind, 6> kAverageKinds{{{"mo3", 3, 0},
                                                           {"ao5", 5, 1},
                                                           {"ao12", 12, 1},
                                                           {"ao50", 50, 3},
                                                           {"ao100", 100, 5},
                                                           {"ao1000", 1000, 50}}};
inline constexpr std::size_t kAo5 = 1, kAo12 = 2;

struct AverageFigure {
    std::optional<Counted> current;  // of the last N; nothing with fewer solves
    std::optional<Counted> best;     // the least over the whole list, the first of equals
    std::int64_t bestLast = -1;      // the place of its last solve (see SolveRun)
};

struct Figures {
    std::int64_t solves = 0;
    std::int64_t dnfs = 0;
    // Of the timed solves, in hundredths; nothing where there are too few.
    // Best and worst are kDnfHundredths when every solve is a DNF.
    std::optional<std::int64_t> mean, deviation, best, worst, median;
    std::array<AverageFigure, kAverageKinds.size()> averages;
};

// The timed singles in bins of one width from a round start; the slowest,
// beyond the upper fence (Q3 + 3 IQR), are only counted.
struct Histogram {
    std::int64_t from = 0;   // hundredths where the first bin starts
    std::int64_t width = 0;  // hundredths, 1, 2 or 5 times a power of ten
    std::vector<std::int64_t> counts;
    std::int64_t beyond = 0;
};

// The last N solves in order and sorted, with the sums of the lowest and
// highest `trimmed` of them: one step costs two searches and one move of
// the values between the leaving and the coming solve's places, never a sort.
// With one left out at each end of a few solves, only their least and
// greatest are kept.
class TrimmedWindow {
public:
    TrimmedWindow(int solves, int trimmed);
    void push(SolveValue value);
    bool full() const { return size_ == n_; }
    // The sum of the solves that count, INT64_MAX for a DNF average; only
    // when full.
    std::int64_t countedSum() const;
    int counted() const { return n_ - 2 * k_; }

private:
    void replace(SolveValue old, SolveValue value);

    int n_, k_;
    bool ends_;
    std::vector<SolveValue> ring_;    // in order, oldest at at_
    std::vector<SolveValue> sorted_;  // the first size_ are used
    int size_ = 0;
    int at_ = 0;
    int dnfs_ = 0;
    std::int64_t total_ = 0, low_ = 0, high_ = 0;
};

// Solves that follow each other: `first` is the place of the first in the
// caller's list (the next ones have the next places), `day` is their date as
// yyyymmdd (0 when it cannot be read).
struct SolveRun {
    std::span<const SolveValue> solves;
    std::int64_t first = -1;
    int day = 0;
};

class FigureAccumulator {
public:
    FigureAccumulator();
    // The next solves, in order.
    void add(std::span<const SolveValue> solves, std::int64_t first = -1, int day = 0);
    void add(std::span<const SolveRun> runs);

    Figures figures();
    Histogram histogram();
    // Solves per day, DNFs included.
    const std::map<int, std::int64_t> &days() const { return days_; }

private:
    // Merges the timed solves added since into counts_.
    void settle();
    // Window w over the runs.
    void slide(std::size_t w, std::span<const SolveRun> runs);
    // The timed solve at this place in speed order (0: the best).
    std::int64_t timedAt(std::int64_t place) const;

    std::int64_t solves_ = 0, dnfs_ = 0, timed_ = 0;
    std::int64_t sum_ = 0;
    __int128 squares_ = 0;
    // Each timed value once with how many solves have it, by value.
    std::vector<std::pair<SolveValue, std::int64_t>> counts_;
    std::vector<SolveValue> pending_;
    std::vector<TrimmedWindow> windows_;
    std::array<std::int64_t, kAverageKinds.size()> bestSums_;
    std::array<std::int64_t, kAverageKinds.size()> bestLast_;
    std::array<bool, kAverageKinds.size()> seen_{};  // a full window has come
    std::map<int, std::int64_t> days_;
};

// The current average of one kind over solves in order, as the figures
// count it: of the last kind.solves of them; nothing with fewer.
std::optional<Counted> currentAverage(std::span<const SolveValue> solves, const AverageKind &kind);

// Display texts: "12.34", "1:05.43", "DNF" (kDnfHundredths), "-" for nothing.
QString figureText(const std::optional<std::int64_t> &hundredths);
QString averageText(const std::optional<Counted> &average);

// The figures as lines of name and values: the seven figures of the singles
// with their value, then each average with its current and best value.
std::vector<QStringList> figureLines(const Figures &figures);

}  // namespace spinlog
