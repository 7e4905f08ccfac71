#pragma once
// The progress chart's numbers without its window: the listed series reduced
// to what the chart draws (each average, the trend of the last averages, the
// running best average and best single) and the thinning of dense points to
// what a screen can show. Times are exact hundredths until they become chart
// points (x: milliseconds since the epoch, y: seconds).

#include <QByteArrayView>
#include <QList>
#include <QPointF>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace spinlog {

// A time that is not there: no value, or one that is no time.
inline constexpr std::int32_t kNoTime = -1;

// One listed series as the chart needs it; 24 bytes, so 100 000 cost 2.4 MB.
struct ChartSeries {
    std::int64_t ms = 0;                // its local date-time, ms since the epoch
    std::int32_t type = 0;              // index into ChartData::typeNames
    std::int32_t average = kNoTime;     // hundredths
    std::int32_t bestSingle = kNoTime;  // hundredths
};

// The listed series with the names of their types.
struct ChartData {
    QStringList typeNames;
    std::vector<ChartSeries> series;

    // Appends a series of the type typeNames[type]; false (and nothing added)
    // when the date-time text is not "YYYY/MM/DD HH:NN:SS" with a possible
    // date and time. Times below zero or beyond 32 bits count as missing.
    bool add(QByteArrayView dateTime, std::int32_t type, std::optional<std::int64_t> average,
             std::optional<std::int64_t> bestSingle);
    // Puts the series in the history's order, added in saving order: by
    // date, of equal dates by type (typeNames in TypeID order), then the
    // first added first.
    void sortByDate();

private:
    // Local time is looked up once a day (each lookup asks the system about
    // its time zone), and on the days the clocks change once an hour.
    std::int64_t dayKey_ = -1;
    std::int64_t dayMs_ = 0;  // the local midnight
    bool dayEven_ = true;     // no change of clocks that day
    int hourKey_ = -1;
    std::int64_t hourMs_ = 0;
};

// How many of the last averages the trend takes.
inline constexpr int kTrendWindow = 12;

struct ProgressLines {
    // One point per series with an average, and the index of that series.
    QList<QPointF> averages;
    std::vector<std::int32_t> averageSeries;
    // At each average point: the mean of the last kTrendWindow averages,
    // of all there are before the window is full. A series without an
    // average is skipped: it neither makes a trend point nor takes a place in
    // the window.
    QList<QPointF> trend;
    // Running bests as step lines: a horizontal run, then straight down where
    // a strictly better value arrives (a tie is no new best, a missing value
    // changes nothing), held to the last listed series' date.
    QList<QPointF> bestAverage;
    QList<QPointF> bestSingle;
};

ProgressLines progressLines(const std::vector<ChartSeries> &series);

// The screen the points are thinned for: [xMin, xMax] spread over `columns`
// pixel columns, [yMin, yMax] over `rows` pixel rows.
struct ScreenGrid {
    double xMin = 0, xMax = 0;
    int columns = 1;
    double yMin = 0, yMax = 0;
    int rows = 0;
    // Beyond the extremes, one point per square cell of this many pixels
    // (about a marker's radius) keeps the look of a cloud of markers; 0 keeps
    // the extremes only, enough for a line.
    int cellPx = 0;
};

// The points (sorted by x) that fall in the grid's x range plus one
// neighbour on either side, so a line still reaches the edges; of each pixel
// column its first, last, lowest and highest point, and the first point of
// every cell. The order by x is kept. Never more than the input.
QList<QPointF> reducePoints(const QList<QPointF> &sorted, const ScreenGrid &grid);

}  // namespace spinlog
