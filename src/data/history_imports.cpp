// The history writer's imports: a batch of series and solves added in one
// transaction under one mark, the newest import found and taken back.

#include "base/errors.h"
#include "base/shown_text.h"
#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_indexes.h"
#include "data/history_writer.h"
#include "data/series_inserter.h"

#include <sqlite3.h>

#include <optional>

namespace spinlog {

using namespace history_detail;

namespace {

// The rowids a select gives, in its order.
std::vector<std::int64_t> rowsOf(Database &db, const QString &sql, const QVariantList &values)
{
    std::vector<std::int64_t> rows;
    Statement statement(db, sql, values);
    while (statement.step()) rows.push_back(sqlite3_column_int64(statement.handle(), 0));
    return rows;
}

// From this many rows an import into a smaller history sets the indexes aside.
constexpr int kSetAsideFrom = 20000;

// At least as many as T_Time holds, found at once.
std::int64_t greatestRow(Database &db)
{
    Statement last(db, QStringLiteral("select max(rowid) from T_Time"));
    return last.step() ? sqlite3_column_int64(last.handle(), 0) : 0;
}

int countOf(Database &db, const QString &sql, const QVariantList &values)
{
    Statement count(db, sql, values);
    count.step();
    return sqlite3_column_int(count.handle(), 0);
}

}  // namespace

std::optional<ImportTally> HistoryWriter::importHistory(
    const ImportBatch &batch, const QString &importId,
    const std::function<bool(int done)> &progress, const std::function<void()> &together)
{
    if (!imports_ || !keys_)
        throw SpinlogError(Text::tr("このデータベースには取り込みの印を付けられません。"));
    ImportTally tally{batch.series, batch.duplicates, batch.loose};
    std::vector<std::int64_t> rows;
    rows.reserve(std::size_t(batch.series));
    const int total = batch.series + batch.loose;
    {
        Transaction transaction(db_);
        if (together)
            together();
        // A history several times its size: the indexes made again at the end.
        std::optional<IndexesSetAside> setAside;
        if (total >= kSetAsideFrom && std::int64_t(batch.series) > greatestRow(db_))
            setAside.emplace(db_);
        SeriesInserter inserter(db_, {tokens_, true, true});
        for (int i = 0; i < batch.series; ++i) {
            if (progress && i % 256 == 0 && !progress(i))
                return std::nullopt;
            rows.push_back(inserter.add(batch.seriesAt(i), importId));
        }
        // Solves without a series, fifteen to a key.
        std::int64_t key = 0;
        for (int i = 0; i < batch.loose; ++i) {
            if (progress && (batch.series + i) % 256 == 0 && !progress(batch.series + i))
                return std::nullopt;
            if (i % (kSolvesPerKey - 1) == 0)
                key = inserter.solves()->newKey();
            const LooseSolve solve = batch.looseAt(i);
            inserter.solves()->add(key, i % int(kSolvesPerKey - 1) + 1, false, solve.typeId,
                                   solve.attempt, solve.details, importId);
        }
        if (progress && !progress(total))
            return std::nullopt;
        if (setAside)
            setAside->restore();
        transaction.commit();
    }
    if (total > 0)
        emit changed({HistoryChange::Kind::Added, TypeFilter(), std::move(rows), batch.loose > 0});
    return tally;
}

std::optional<ImportMark> HistoryWriter::lastImport() const
{
    if (!imports_)
        return std::nullopt;
    // The rows added last, not the greatest mark: a mark is local clock time,
    // and a clock set back (the end of summer time) gives a later import a
    // smaller one. Keys grow with every import; an older copy's import has
    // no solves and is found by its rows' order.
    std::optional<QString> id;
    if (keys_) {
        Statement last(db_, QStringLiteral("select ImportID from T_Solve where ImportID is not "
                                           "null order by SolveID desc limit 1"));
        if (last.step())
            id = textOf(last.handle(), 0);
    }
    if (!id) {
        Statement last(db_, QStringLiteral("select ImportID from T_Time where ImportID <> '' "
                                           "order by rowid desc limit 1"));
        if (!last.step())
            return std::nullopt;
        id = textOf(last.handle(), 0);
    }
    ImportMark mark;
    mark.id = *id;
    mark.series =
        countOf(db_, QStringLiteral("select count(*) from T_Time where ImportID=?"), {*id});
    if (keys_)
        mark.loose = countOf(
            db_, QStringLiteral("select count(*) from T_Solve where ImportID=? and [No] is null"),
            {*id});
    return mark;
}

int HistoryWriter::removeImport(const QString &importId, const std::function<void()> &together)
{
    if (!imports_ || importId.isEmpty())
        return 0;
    std::vector<std::int64_t> rows =
        rowsOf(db_, QStringLiteral("select rowid from T_Time where ImportID=? order by rowid"),
               {importId});
    int removed = 0, loose = 0;
    {
        Transaction transaction(db_);
        // The series' solves go with them (a trigger); then those without one.
        removed = db_.execute(QStringLiteral("delete from T_Time where ImportID=?"), {importId});
        if (keys_)
            loose = db_.execute(QStringLiteral("delete from T_Solve where ImportID=?"), {importId});
        if (together)
            together();
        transaction.commit();
    }
    if (removed > 0 || loose > 0)
        emit changed({HistoryChange::Kind::Removed, TypeFilter(), std::move(rows), loose > 0});
    return removed;
}

}  // namespace spinlog
