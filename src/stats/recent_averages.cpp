#include "stats/recent_averages.h"

#include <algorithm>

namespace spinlog {

void RecentAverages::read(const HistorySolves &history, const TypeId &type)
{
    constexpr std::size_t kWanted = kAverageKinds[kAo12].solves;
    type_ = type;
    saved_.clear();
    std::size_t solves = 0;
    history.lastDone(type, [&](const SolveRow &row) {
        SeriesUnderWay series{type, {}};
        for (const QByteArrayView text : row.times)
            if (!text.isNull())
                series.times << QString::fromUtf8(text);
        saved_.push_back(underWaySolves(series, TypeFilter(type)));
        solves += saved_.back().size();
        return solves < kWanted;
    });
}

QString RecentAverages::text(const SeriesUnderWay &underWay) const
{
    FigureAccumulator figures;
    std::for_each(saved_.rbegin(), saved_.rend(),
                  [&figures](const std::vector<SolveValue> &series) { figures.add(series); });
    figures.add(underWaySolves(underWay, TypeFilter(type_)));
    const Figures f = figures.figures();
    return QStringLiteral("ao5: %1  ao12: %2")
        .arg(averageText(f.averages[kAo5].current), averageText(f.averages[kAo12].current));
}

}  // namespace spinlog
