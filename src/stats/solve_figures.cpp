#include "stats/solve_figures.h"

#include "base/shown_text.h"
#include "base/time_values.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

namespace spinlog {

namespace {

constexpr std::int64_t kDnfSum = std::numeric_limits<std::int64_t>::max();
constexpr std::size_t kMaxBins = 60;

// Timed values are below 2^30: three passes of 11 bits sort a long list in
// linear time; a short one goes to the library.
void sortValues(std::vector<SolveValue> &values)
{
    if (values.size() < 2048) {
        std::sort(values.begin(), values.end());
        return;
    }
    std::vector<SolveValue> other(values.size());
    for (int shift = 0; shift < 33; shift += 11) {
        std::array<std::size_t, 2048> place{};
        for (SolveValue v : values) ++place[(std::uint32_t(v) >> shift) & 2047];
        std::size_t at = 0;
        for (std::size_t &p : place) at += std::exchange(p, at);
        for (SolveValue v : values) other[place[(std::uint32_t(v) >> shift) & 2047]++] = v;
        values.swap(other);
    }
}

// The first place in [base, base + n) whose value is not below v (upper:
// above v), without a branch on the values: a window's solves come in no
// order a branch predictor could learn, and a missed guess cost more than the
// rest of the step. A short range is counted, four values at a time.
template <bool Upper>
SolveValue *searchSorted(SolveValue *base, std::size_t n, SolveValue v)
{
    if (n <= 128) {
        std::uint32_t below = 0;
        for (std::size_t i = 0; i < n; ++i) below += Upper ? base[i] <= v : base[i] < v;
        return base + below;
    }
    while (n > 1) {
        const std::size_t half = n / 2;
        base = (Upper ? base[half] <= v : base[half] < v) ? base + half : base;
        n -= half;
    }
    return base + (Upper ? *base <= v : *base < v);
}

// The mean in whole hundredths, an exact half going up.
std::int64_t halfUpMean(std::int64_t sum, std::int64_t counted)
{
    return (2 * sum + counted) / (2 * counted);
}

Counted averageOf(std::int64_t sum, int counted)
{
    return sum == kDnfSum ? Counted::dnfResult() : Counted{halfUpMean(sum, counted), false};
}

// The sample standard deviation of n values with this sum and sum of
// squares, in whole hundredths, an exact half to the even one: worked out
// on integers, so no rounding of the variance moves the result.
std::int64_t deviation(std::int64_t n, std::int64_t sum, __int128 squares)
{
    const __int128 p = __int128(n) * squares - __int128(sum) * sum;
    const __int128 q = __int128(n) * (n - 1);
    auto m = __int128(std::floor(std::sqrt(double(p) / double(q))));
    while (m > 0 && m * m * q > p) --m;
    while ((m + 1) * (m + 1) * q <= p) ++m;
    // sqrt(p / q) against m + 1/2.
    const __int128 half = (2 * m + 1) * (2 * m + 1) * q;
    if (4 * p > half || (4 * p == half && m % 2 != 0))
        ++m;
    return std::int64_t(m);
}

// 1, 2, 5, 10, 20, 50 ... hundredths: the first not below `at least`.
std::int64_t roundStep(double atLeast)
{
    std::int64_t step = 1;
    for (int i = 0; double(step) < atLeast; ++i) step = i % 3 == 1 ? step / 2 * 5 : step * 2;
    return step;
}

}  // namespace

// ---- TrimmedWindow -----------------------------------------------------------

TrimmedWindow::TrimmedWindow(int solves, int trimmed)
    : n_(solves),
      k_(trimmed),
      ends_(trimmed == 1 && solves <= 16),
      ring_(std::size_t(solves)),
      sorted_(trimmed > 0 && !ends_ ? ring_.size() : 0)
{
}

void TrimmedWindow::push(SolveValue value)
{
    dnfs_ += value >= kDnfValue;
    total_ += value;
    const bool leaving = size_ == n_;
    const SolveValue old = std::exchange(ring_[std::size_t(at_)], value);
    if (++at_ == n_)
        at_ = 0;
    if (leaving) {
        dnfs_ -= old >= kDnfValue;
        total_ -= old;
    } else {
        ++size_;
    }
    if (ends_) {
        // A few solves, one left out at each end: their least and greatest.
        if (size_ == n_) {
            SolveValue least = value, greatest = value;
            for (SolveValue v : ring_) {
                least = std::min(least, v);
                greatest = std::max(greatest, v);
            }
            low_ = least;
            high_ = greatest;
        }
    } else if (k_ > 0 && leaving) {
        replace(old, value);
    } else if (k_ > 0) {
        SolveValue *a = sorted_.data();
        SolveValue *at = searchSorted<true>(a, std::size_t(size_ - 1), value);
        std::memmove(at + 1, at, std::size_t(a + size_ - 1 - at) * sizeof *a);
        *at = value;
        if (size_ == n_) {
            low_ = std::accumulate(sorted_.begin(), sorted_.begin() + k_, std::int64_t(0));
            high_ = std::accumulate(sorted_.end() - k_, sorted_.end(), std::int64_t(0));
        }
    }
}

void TrimmedWindow::replace(SolveValue old, SolveValue value)
{
    SolveValue *a = sorted_.data();
    const int n = n_, k = k_;
    const int i = int(searchSorted<false>(a, std::size_t(n), old) - a);
    // The sums, while a still holds the old order. Without old, the lowest k
    // take in a[k] and the highest k a[n - k - 1] when old was one of them.
    if (i < k)
        low_ += a[k] - old;
    if (i >= n - k)
        high_ += a[n - k - 1] - old;
    // The k-th lowest and the k-th highest once old is out: the coming
    // value displaces them when it lies beyond.
    const SolveValue kthLowest = k - 1 < i ? a[k - 1] : a[k];
    const SolveValue kthHighest = n - 1 - k < i ? a[n - 1 - k] : a[n - k];
    if (value < kthLowest)
        low_ += value - kthLowest;
    if (value > kthHighest)
        high_ += value - kthHighest;
    // One move: the values between the two places shift by one.
    if (value < old) {
        SolveValue *at = searchSorted<true>(a, std::size_t(i), value);
        std::memmove(at + 1, at, std::size_t(a + i - at) * sizeof *a);
        *at = value;
    } else {
        SolveValue *at = searchSorted<false>(a + i + 1, std::size_t(n - i - 1), value);
        std::memmove(a + i, a + i + 1, std::size_t(at - a - i - 1) * sizeof *a);
        at[-1] = value;
    }
}

std::int64_t TrimmedWindow::countedSum() const
{
    // A DNF is slower than every time: more DNFs than the slow end leaves
    // out make the average a DNF; fewer are all left out.
    return dnfs_ > k_ ? kDnfSum : total_ - low_ - high_;
}

std::optional<Counted> currentAverage(std::span<const SolveValue> solves, const AverageKind &kind)
{
    if (solves.size() < std::size_t(kind.solves))
        return std::nullopt;
    TrimmedWindow window(kind.solves, kind.trimmed);
    for (const SolveValue value : solves.last(std::size_t(kind.solves))) window.push(value);
    return averageOf(window.countedSum(), window.counted());
}

// ---- FigureAccumulator -------------------------------------------------------

FigureAccumulator::FigureAccumulator()
{
    for (const AverageKind &kind : kAverageKinds) windows_.emplace_back(kind.solves, kind.trimmed);
    bestSums_.fill(kDnfSum);
    bestLast_.fill(-1);
}

void FigureAccumulator::add(std::span<const SolveValue> solves, std::int64_t first, int day)
{
    const SolveRun run{solves, first, day};
    add(std::span(&run, 1));
}

void FigureAccumulator::add(std::span<const SolveRun> runs)
{
    // One window at a time over all the runs: its values stay in the cache.
    for (std::size_t w = 0; w < windows_.size(); ++w) slide(w, runs);
    for (const SolveRun &run : runs) {
        for (SolveValue value : run.solves) {
            ++solves_;
            if (value >= kDnfValue) {
                ++dnfs_;
            } else {
                ++timed_;
                sum_ += value;
                squares_ += __int128(value) * value;
                pending_.push_back(value);
            }
        }
        if (run.day != 0 && !run.solves.empty())
            days_[run.day] += std::int64_t(run.solves.size());
    }
}

void FigureAccumulator::slide(std::size_t w, std::span<const SolveRun> runs)
{
    TrimmedWindow &window = windows_[w];
    for (const SolveRun &run : runs) {
        std::int64_t place = run.first;
        for (SolveValue value : run.solves) {
            window.push(value);
            ++place;
            if (!window.full())
                continue;
            // The first window sets the best, even a DNF; later ones only
            // when faster.
            const std::int64_t sum = window.countedSum();
            if (sum < bestSums_[w] || !seen_[w]) {
                bestSums_[w] = sum;
                bestLast_[w] = place - 1;
                seen_[w] = true;
            }
        }
    }
}

void FigureAccumulator::settle()
{
    if (pending_.empty())
        return;
    sortValues(pending_);
    std::vector<std::pair<SolveValue, std::int64_t>> merged;
    merged.reserve(counts_.size() + pending_.size());
    auto old = counts_.begin();
    const auto take = [&merged](SolveValue value, std::int64_t count) {
        if (!merged.empty() && merged.back().first == value)
            merged.back().second += count;
        else
            merged.emplace_back(value, count);
    };
    for (SolveValue value : pending_) {
        for (; old != counts_.end() && old->first <= value; ++old) take(old->first, old->second);
        take(value, 1);
    }
    for (; old != counts_.end(); ++old) take(old->first, old->second);
    counts_.swap(merged);
    pending_.clear();
}

std::int64_t FigureAccumulator::timedAt(std::int64_t place) const
{
    for (const auto &[value, count] : counts_) {
        if (place < count)
            return value;
        place -= count;
    }
    return counts_.back().first;
}

Figures FigureAccumulator::figures()
{
    settle();
    Figures f;
    f.solves = solves_;
    f.dnfs = dnfs_;
    if (timed_ > 0) {
        f.mean = halfUpMean(sum_, timed_);
        f.best = counts_.front().first;
        f.worst = counts_.back().first;
        f.median = timed_ % 2 != 0 ? timedAt(timed_ / 2)
                                   : halfUpMean(timedAt(timed_ / 2 - 1) + timedAt(timed_ / 2), 2);
    } else if (dnfs_ > 0) {
        // Every solve a DNF: the best of them is a DNF, as is the worst.
        f.best = f.worst = kDnfHundredths;
    }
    if (timed_ > 1)
        f.deviation = deviation(timed_, sum_, squares_);
    for (std::size_t w = 0; w < windows_.size(); ++w) {
        if (!windows_[w].full())
            continue;
        AverageFigure &a = f.averages[w];
        a.current = averageOf(windows_[w].countedSum(), windows_[w].counted());
        a.best = averageOf(bestSums_[w], windows_[w].counted());
        a.bestLast = bestLast_[w];
    }
    return f;
}

Histogram FigureAccumulator::histogram()
{
    settle();
    Histogram h;
    if (timed_ == 0)
        return h;
    // Freedman and Diaconis' width, 2 IQR / cbrt(n), made round; a long tail
    // of slow solves does not widen every bin.
    const std::int64_t q1 = timedAt((timed_ - 1) / 4);
    const std::int64_t q3 = timedAt(3 * (timed_ - 1) / 4);
    const std::int64_t iqr = q3 - q1;
    const std::int64_t lowest = counts_.front().first;
    const std::int64_t top =
        iqr > 0 ? std::min<std::int64_t>(counts_.back().first, q3 + 3 * iqr) : counts_.back().first;
    h.width = roundStep(iqr > 0 ? 2 * double(iqr) / std::cbrt(double(timed_))
                                : double(top - lowest) / 10);
    const auto bins = [&] { return std::size_t(top / h.width - lowest / h.width + 1); };
    while (bins() > kMaxBins) h.width = roundStep(double(h.width) + 1);
    h.from = lowest / h.width * h.width;
    h.counts.assign(bins(), 0);
    for (const auto &[value, count] : counts_) {
        if (value > top)
            h.beyond += count;
        else
            h.counts[std::size_t((value - h.from) / h.width)] += count;
    }
    return h;
}

QString figureText(const std::optional<std::int64_t> &hundredths)
{
    if (!hundredths)
        return QStringLiteral("-");
    return *hundredths == kDnfHundredths ? QStringLiteral("DNF") : displayForm(*hundredths);
}

QString averageText(const std::optional<Counted> &average)
{
    return average ? countedText(*average) : QStringLiteral("-");
}

std::vector<QStringList> figureLines(const Figures &f)
{
    std::vector<QStringList> lines{
        {Text::tr("解答数"), QString::number(f.solves)},
        {QStringLiteral("DNF"), QString::number(f.dnfs)},
        {Text::tr("平均", "mean of solves"), figureText(f.mean)},
        {Text::tr("標準偏差"), figureText(f.deviation)},
        {Text::tr("最速"), figureText(f.best)},
        {Text::tr("最遅"), figureText(f.worst)},
        {Text::tr("中央値"), figureText(f.median)},
    };
    for (std::size_t w = 0; w < kAverageKinds.size(); ++w)
        lines.push_back({QLatin1String(kAverageKinds[w].name), averageText(f.averages[w].current),
                         averageText(f.averages[w].best)});
    return lines;
}

}  // namespace spinlog
