#include "history/history_edits.h"

#include "data/puzzle_type_store.h"
#include "history/history_columns.h"
#include "session/series_rules.h"

namespace spinlog {

HistoryEdits::HistoryEdits(HistoryWriter &history, const HistoryList &list,
                           const PuzzleTypeStore &types)
    : history_(history), list_(list), types_(types)
{
}

void HistoryEdits::remove(std::int64_t id)
{
    history_.remove(id);
}

void HistoryEdits::removeListed(const TypeFilter &filter)
{
    history_.removeListed(filter);
}

SeriesRecord HistoryEdits::series(std::int64_t id) const
{
    return history_.series(id);
}

void HistoryEdits::setPenalty(std::int64_t id, int no, Penalty penalty)
{
    const SeriesRecord saved = history_.series(id);
    const std::optional<PuzzleType> type = types_.find(saved.typeId);
    const AverageRule rule = type ? type->average : AverageRule::LeaveOutBestWorst;
    history_.update(id, withPenalty(saved, no, penalty, rule));
}

void HistoryEdits::setComment(std::int64_t id, int no, const QString &comment)
{
    history_.setComment(id, no, comment);
}

CsvOutcome HistoryEdits::exportCsv(const QString &path, const QString &appFolder,
                                   const TypeFilter &filter, HistoryOrder order,
                                   int *reachedRow) const
{
    return writeHistoryCsv(
        path, appFolder, historyHeaders(),
        [&](HistorySink &sink) { list_.list(filter, order, sink); }, reachedRow);
}

}  // namespace spinlog
