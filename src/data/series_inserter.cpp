#include "data/series_inserter.h"

#include "data/database.h"

namespace spinlog {

using namespace history_detail;

SeriesInserter::SeriesInserter(Database &db, const SeriesColumns &columns)
    : db_(db),
      columns_(columns),
      insert_(std::make_unique<Statement>(db, insertStatement(columns),
                                          rowValues(SeriesRecord(), columns, {}, {}))),
      solves_(columns.keys ? std::make_unique<SolveInserter>(db) : nullptr)
{
}

SeriesInserter::~SeriesInserter() = default;

std::int64_t SeriesInserter::add(const SeriesRecord &r, const QString &importId)
{
    const std::int64_t key = solves_ ? solves_->newKey() : -1;
    insert_->rebind(rowValues(r, columns_, importId.isEmpty() ? QVariant() : QVariant(importId),
                              solves_ ? QVariant(qlonglong(key)) : QVariant()));
    insert_->step();
    const std::int64_t row = db_.lastInsertedRow();
    if (!solves_)
        return row;
    std::optional<std::int64_t> dated;
    for (std::size_t i = 0; i < r.attempts.size(); ++i) {
        if (!r.attempts[i])
            continue;
        const SolveDetails &details = r.details[i];
        if (details.moment) {
            solves_->add(key, int(i) + 1, true, r.typeId, *r.attempts[i], details, importId);
            continue;
        }
        if (!dated)
            dated = localMoment(r.dateTime).value_or(0);
        SolveDetails withMoment = details;
        withMoment.moment = dated;
        solves_->add(key, int(i) + 1, true, r.typeId, *r.attempts[i], withMoment, importId);
    }
    return row;
}

}  // namespace spinlog
