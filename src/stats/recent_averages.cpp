#include "stats/recent_averages.h"

#include <algorithm>

namespace spinlog {

void RecentAverages::read(const HistorySolves &history, const TypeId &type)
{
    const std::size_t wanted = std::size_t(kAverageKinds[kAo12].solves);
    type_ = type;
    std::vector<std::vector<SolveValue>> lastFirst;
    std::size_t solves = 0;
    history.lastDone(type, [&](const SolveRow &row) {
        SeriesUnderWay series{type, {}};
        for (const QByteArrayView text : row.times)
            if (!text.isNull())
                series.times << QString::fromUtf8(text);
        lastFirst.push_back(underWaySolves(series, TypeFilter(type)));
        solves += lastFirst.back().size();
        return solves < wanted;
    });
    saved_.clear();
    std::for_each(lastFirst.rbegin(), lastFirst.rend(), [this](const std::vector<SolveValue> &s) {
        saved_.insert(saved_.end(), s.begin(), s.end());
    });
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
