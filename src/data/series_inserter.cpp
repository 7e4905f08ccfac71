#include "data/series_inserter.h"

#include "base/time_values.h"
#include "data/database.h"

#include <sqlite3.h>

#include <algorithm>

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

namespace {

void bindText(sqlite3_stmt *stmt, int at, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    // An empty text stays text, not NULL.
    sqlite3_bind_text(stmt, at, utf8.isNull() ? "" : utf8.constData(), int(utf8.size()),
                      SQLITE_TRANSIENT);
}

// The values of the insert, in the order of insertStatement; bound straight,
// as an import binds hundreds of thousands of them.
void bindSeries(sqlite3_stmt *stmt, const SeriesRecord &r, const SeriesColumns &columns,
                const QString &importId, std::int64_t key)
{
    sqlite3_reset(stmt);
    int at = 1;
    bindText(stmt, at++, r.dateTime);
    bindText(stmt, at++, r.typeId.text());
    for (const QString &time : r.times) bindText(stmt, at++, time);
    bindText(stmt, at++, r.aveTime);
    sqlite3_bind_double(stmt, at++, secondsValue(r.aveHundredths));
    sqlite3_bind_int(stmt, at++, r.bestNo);
    bindText(stmt, at++, r.bestTime);
    sqlite3_bind_double(stmt, at++, secondsValue(r.bestHundredths));
    sqlite3_bind_int(stmt, at++, r.worstNo);
    bindText(stmt, at++, r.worstTime);
    sqlite3_bind_double(stmt, at++, secondsValue(r.worstHundredths));
    if (columns.imports) {
        if (importId.isEmpty())
            sqlite3_bind_null(stmt, at++);
        else
            bindText(stmt, at++, importId);
    }
    // A series with solves of its own keeps their raw times there only.
    if (columns.tokens && key >= 0)
        sqlite3_bind_null(stmt, at++);
    else if (columns.tokens)
        bindText(stmt, at++, solvesTokens(r));
    if (columns.keys && key >= 0)
        sqlite3_bind_int64(stmt, at++, key);
    else if (columns.keys)
        sqlite3_bind_null(stmt, at++);
}

}  // namespace

std::int64_t SeriesInserter::add(const SeriesRecord &r, const QString &importId)
{
    // A key only with solves under it (a series of texts that read as no
    // time has none), so no key is given to two series.
    const bool keyed = solves_ && std::any_of(r.attempts.begin(), r.attempts.end(),
                                              [](const auto &a) { return a.has_value(); });
    const std::int64_t key = keyed ? solves_->newKey() : -1;
    bindSeries(insert_->handle(), r, columns_, importId, key);
    insert_->step();
    const std::int64_t row = db_.lastInsertedRow();
    if (!keyed)
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
