#pragma once
// The rules of a series that need no window: which solve is best and which is
// worst, the average on whole hundredths, and the history row a saved series
// becomes.

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace spinlog {

// One finished solve of the series under way (a row of W_Time).
struct Solve {
    int no = 0;                   // 1 to 12, in the order the solves were finished
    std::int64_t hundredths = 0;  // the seconds form, in hundredths
    QString time;                 // the display form
};

struct BestWorst {
    int best = 0;  // solve numbers; 0 when the series is empty
    int worst = 0;
};

// The fastest solve is best, the slowest worst; among equal times the lowest
// number is best and the highest worst. A single solve is both.
BestWorst bestAndWorst(const std::vector<Solve> &solves);

// The solves' average in hundredths, an exact half going to the even
// hundredth. Unless includeBestWorst, the best and the worst solve are left
// out, but only while at least three solves remain to average over two.
// Throws SpinlogError for an empty series.
std::int64_t averageHundredths(const std::vector<Solve> &solves, bool includeBestWorst,
                               const BestWorst &marks);

// One row of T_Time: a saved series.
struct SeriesRecord {
    QString dateTime;  // YYYY/MM/DD HH:NN:SS
    QString typeId;
    std::array<QString, 12> times;  // display forms; "-" for a solve not in the series
    QString aveTime;                // display form
    std::int64_t aveHundredths = 0;
    int bestNo = 0;
    QString bestTime;
    std::int64_t bestHundredths = 0;
    int worstNo = 0;
    QString worstTime;
    std::int64_t worstHundredths = 0;
};

// The record of a series: solve labels 1 to 12 as shown (empty for none), the
// average as shown, the stamp of the save.
SeriesRecord seriesRecord(const QDateTime &now, const QString &typeId,
                          const std::array<QString, 12> &labels, const QString &average,
                          const std::vector<Solve> &solves);

}  // namespace spinlog
