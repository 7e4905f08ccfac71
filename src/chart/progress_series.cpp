#include "chart/progress_series.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace spinlog {

namespace {

bool readDigits(const char *p, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        value = value * 10 + (p[i] - '0');
    }
    return true;
}

std::int32_t timeOrMissing(std::optional<std::int64_t> hundredths)
{
    if (!hundredths || *hundredths < 0 || *hundredths > std::numeric_limits<std::int32_t>::max())
        return kNoTime;
    return std::int32_t(*hundredths);
}

constexpr std::int64_t kHourMs = 3'600'000;

double seconds(std::int64_t hundredths)
{
    return double(hundredths) / 100.0;
}

// A running best as a step line; see ProgressLines.
void stepTo(QList<QPointF> &line, std::int32_t &best, std::int32_t value, double x)
{
    if (value == kNoTime)
        return;
    if (best == kNoTime) {
        line.append({x, seconds(value)});
    } else if (value < best) {
        line.append({x, seconds(best)});
        line.append({x, seconds(value)});
    } else {
        return;
    }
    best = value;
}

void holdTo(QList<QPointF> &line, double x)
{
    if (!line.isEmpty() && line.constLast().x() < x)
        line.append({x, line.constLast().y()});
}

int cellOf(double value, double low, double scale, int count)
{
    const double at = std::floor((value - low) * scale);
    return at < 0 ? 0 : at >= count ? count - 1 : int(at);
}

}  // namespace

bool ChartData::add(QByteArrayView dateTime, std::int32_t type, std::optional<std::int64_t> average,
                    std::optional<std::int64_t> bestSingle)
{
    const char *p = dateTime.data();
    int y, mo, d, h, mi, s;
    if (dateTime.size() != 19 || p[4] != '/' || p[7] != '/' || p[10] != ' ' || p[13] != ':' ||
        p[16] != ':' || !readDigits(p, 4, y) || !readDigits(p + 5, 2, mo) ||
        !readDigits(p + 8, 2, d) || !readDigits(p + 11, 2, h) || !readDigits(p + 14, 2, mi) ||
        !readDigits(p + 17, 2, s) || h > 23 || mi > 59 || s > 59)
        return false;
    const std::int64_t day = (std::int64_t(y) * 100 + mo) * 100 + d;
    if (day != dayKey_) {
        const QDate date(y, mo, d);
        if (!date.isValid())
            return false;
        dayMs_ = date.startOfDay().toMSecsSinceEpoch();
        // A day whose clocks neither jump nor start late is 24 whole hours
        // from midnight to midnight; only other days need each hour looked up.
        dayEven_ = date.startOfDay().time() == QTime(0, 0) &&
                   date.addDays(1).startOfDay().toMSecsSinceEpoch() - dayMs_ == 24 * kHourMs;
        dayKey_ = day;
        hourKey_ = -1;
    }
    std::int64_t hourMs = dayMs_ + h * kHourMs;
    if (!dayEven_) {
        if (h != hourKey_) {
            const QDateTime start(QDate(y, mo, d), QTime(h, 0), Qt::LocalTime);
            // An hour the clocks skip: counted from the day's start instead.
            hourMs_ = start.isValid() ? start.toMSecsSinceEpoch() : hourMs;
            hourKey_ = h;
        }
        hourMs = hourMs_;
    }
    series.push_back({hourMs + mi * 60'000LL + s * 1000LL, type, timeOrMissing(average),
                      timeOrMissing(bestSingle)});
    return true;
}

void ChartData::sortByDate()
{
    // The history's order (data/history_order.h): by the moment, of one
    // moment by type (their indexes follow the TypeIDs), then as read.
    const auto earlier = [](const ChartSeries &a, const ChartSeries &b) {
        return a.ms != b.ms ? a.ms < b.ms : a.type < b.type;
    };
    // Saved series mostly come in date order already.
    if (!std::is_sorted(series.begin(), series.end(), earlier))
        std::stable_sort(series.begin(), series.end(), earlier);
}

ProgressLines progressLines(const std::vector<ChartSeries> &series)
{
    ProgressLines lines;
    lines.averages.reserve(qsizetype(series.size()));
    lines.averageSeries.reserve(series.size());
    lines.trend.reserve(qsizetype(series.size()));
    std::array<std::int32_t, kTrendWindow> window{};
    int filled = 0, next = 0;
    std::int64_t sum = 0;
    std::int32_t bestAverage = kNoTime, bestSingle = kNoTime;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const ChartSeries &s = series[i];
        const double x = double(s.ms);
        if (s.average != kNoTime) {
            lines.averages.append({x, seconds(s.average)});
            lines.averageSeries.push_back(std::int32_t(i));
            if (filled == kTrendWindow)
                sum -= window[std::size_t(next)];
            else
                ++filled;
            window[std::size_t(next)] = s.average;
            sum += s.average;
            next = (next + 1) % kTrendWindow;
            lines.trend.append({x, double(sum) / (filled * 100.0)});
        }
        stepTo(lines.bestAverage, bestAverage, s.average, x);
        stepTo(lines.bestSingle, bestSingle, s.bestSingle, x);
    }
    if (!series.empty()) {
        holdTo(lines.bestAverage, double(series.back().ms));
        holdTo(lines.bestSingle, double(series.back().ms));
    }
    return lines;
}

QList<QPointF> reducePoints(const QList<QPointF> &sorted, const ScreenGrid &grid)
{
    const auto byX = [](const QPointF &p, double x) { return p.x() < x; };
    const auto first = std::lower_bound(sorted.begin(), sorted.end(), grid.xMin, byX);
    const auto last = std::upper_bound(sorted.begin(), sorted.end(), grid.xMax,
                                       [](double x, const QPointF &p) { return x < p.x(); });
    const qsizetype begin = std::max<qsizetype>(first - sorted.begin() - 1, 0);
    const qsizetype end = std::min<qsizetype>(last - sorted.begin() + 1, sorted.size());

    const int columns = std::max(grid.columns, 1);
    const double xScale = grid.xMax > grid.xMin ? columns / (grid.xMax - grid.xMin) : 0;
    const bool cells = grid.cellPx > 0 && grid.rows > 0 && grid.yMax > grid.yMin;
    const double yScale = cells ? grid.rows / (grid.yMax - grid.yMin) : 0;
    // The cell column that last claimed each cell row.
    std::vector<int> claimed(cells ? std::size_t(grid.rows / grid.cellPx + 1) : 0, -1);

    QList<QPointF> kept;
    std::vector<qsizetype> picks;
    for (qsizetype a = begin; a < end;) {
        const int column = cellOf(sorted[a].x(), grid.xMin, xScale, columns);
        qsizetype b = a + 1;
        qsizetype low = a, high = a;
        picks.clear();
        for (;; ++b) {
            const qsizetype i = b - 1;
            if (sorted[i].y() < sorted[low].y())
                low = i;
            if (sorted[i].y() > sorted[high].y())
                high = i;
            if (cells) {
                const int row = cellOf(sorted[i].y(), grid.yMin, yScale, grid.rows) / grid.cellPx;
                int &owner = claimed[std::size_t(row)];
                if (owner != column / grid.cellPx) {
                    owner = column / grid.cellPx;
                    picks.push_back(i);
                }
            }
            if (b == end || cellOf(sorted[b].x(), grid.xMin, xScale, columns) != column)
                break;
        }
        picks.insert(picks.end(), {a, b - 1, low, high});
        std::sort(picks.begin(), picks.end());
        picks.erase(std::unique(picks.begin(), picks.end()), picks.end());
        for (qsizetype i : picks) kept.append(sorted[i]);
        a = b;
    }
    return kept;
}

}  // namespace spinlog
