#pragma once
// The rules of a series that need no window: which solve is best and which is
// worst, the average on whole hundredths, the history row a saved series
// becomes, and that row again when a solve's penalty changes later.

#include "data/records.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace spinlog {

// The type a list names when MT_Type has no row for it any more: it cannot
// be timed.
PuzzleType missingType(const TypeId &id, const QString &listName);
// What the user is told of a type that cannot be timed.
QString unusableTypeText(const PuzzleType &type);

struct BestWorst {
    int best = 0;  // solve numbers; 0 when the series is empty
    int worst = 0;
};

// The fastest solve is best, the slowest worst, a DNF slower than every
// time; among equals the lowest number is best and the highest worst. A
// single solve is both.
BestWorst bestAndWorst(const std::vector<Solve> &solves);

// The solves' average in hundredths, an exact half going to the even
// hundredth. Unless the rule counts them, the best and the worst solve are
// left out, but only while at least three solves remain to average over two. As
// the competition rules have it, a DNF left out as the worst leaves the
// average a time; any DNF that counts makes it a DNF. Throws SpinlogError
// for an empty series.
Counted seriesAverage(const std::vector<Solve> &solves, AverageRule rule, const BestWorst &marks);

// The record of a series: solve labels 1 to 12 as shown (empty for none), the
// average as shown, the stamp of the save; each solve's raw time, penalty,
// moment, scramble and comment kept beside.
SeriesRecord seriesRecord(const QDateTime &now, const TypeId &typeId,
                          const std::array<QString, 12> &labels, const QString &average,
                          const std::vector<Solve> &solves);

// The record of a series of these solves (1 to 12, in order) as the main
// window would save it: display texts, best, worst and the average by the
// rules above, each raw time and penalty kept. Throws SpinlogError for no
// solves or more than 12.
SeriesRecord seriesOfAttempts(const QString &dateTime, const TypeId &typeId,
                              const std::vector<Attempt> &attempts, AverageRule rule);

// A saved series with solve `no` (from 1) given `penalty`: every solve's raw
// time kept, its text, the best, the worst and the average worked out again
// by the rules above; DateTime and TypeID stay. Throws SpinlogError for a
// solve the series does not have, or one whose time cannot be read.
SeriesRecord withPenalty(const SeriesRecord &saved, int no, Penalty penalty, AverageRule rule);

}  // namespace spinlog
