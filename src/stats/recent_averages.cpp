#include "stats/recent_averages.h"

#include <algorithm>

namespace spinlog {

void RecentAverages::read(const HistorySolves &history, const TypeId &type)
{
    const std::size_t wanted = std::size_t(kAverageKinds[kAo12].solves);
    type_ = type;
    saved_.clear();
    history.lastDone(type, [&](const CountedSolve &solve) {
        if (solve.counted)
            saved_.push_back(SolveValue(solve.counted->hundredths));
        return saved_.size() < wanted;
    });
    std::reverse(saved_.begin(), saved_.end());
}

QString RecentAverages::text(const SeriesUnderWay &underWay) const
{
    std::vector<SolveValue> solves = saved_;
    const std::vector<SolveValue> current = underWaySolves(underWay, TypeFilter(type_));
    solves.insert(solves.end(), current.begin(), current.end());
    return QStringLiteral("ao5: %1  ao12: %2")
        .arg(averageText(currentAverage(solves, kAverageKinds[kAo5])),
             averageText(currentAverage(solves, kAverageKinds[kAo12])));
}

}  // namespace spinlog
