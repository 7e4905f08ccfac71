#include "chart/listed_series.h"

#include "base/attempts.h"
#include "base/shown_text.h"

namespace spinlog {

namespace {

std::optional<std::int64_t> timeOrNothing(std::optional<std::int64_t> hundredths)
{
    return hundredths == kDnfHundredths ? std::nullopt : hundredths;
}

}  // namespace

ListedSeries listedSeries(const HistoryChart &history, const TypeFilter &filter)
{
    ListedSeries listed;
    ChartData &data = listed.data;
    history.rows(filter, data.typeNames, [&](const ChartRow &row) {
        if (!data.add(row.dateTime, std::int32_t(row.typeIndex),
                      timeOrNothing(row.averageHundredths), timeOrNothing(row.bestHundredths)))
            ++listed.unplaced;
        else if (row.averageHundredths == kDnfHundredths)
            ++listed.dnfAverages;
    });
    data.sortByDate();
    return listed;
}

QString ListedSeries::countText() const
{
    if (data.series.empty())
        return Text::tr("表示するデータがありません");
    QStringList left;
    if (unplaced > 0)
        left << Text::tr("日時を読めない%1件").arg(unplaced);
    if (dnfAverages > 0)
        left << Text::tr("DNFの平均%1件").arg(dnfAverages);
    QString text = Text::tr("%1件").arg(data.series.size());
    if (!left.isEmpty())
        text += Text::tr("（%1は表示していません）").arg(left.join(Text::tr("、")));
    return text;
}

}  // namespace spinlog
