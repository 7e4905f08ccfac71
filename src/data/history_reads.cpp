#include "data/history_reads.h"

#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_order.h"
#include "data/solve_table.h"
#include "data/type_tables.h"

#include <sqlite3.h>

namespace spinlog {

using namespace history_detail;

namespace {

// The columns of an older copy's series the statistics read, Time1 to
// Time12 from the fourth on.
constexpr const char *kOlderColumns =
    "select rowid, TypeID, DateTime, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, "
    "Time9, Time10, Time11, Time12 from T_Time ";

}  // namespace

void HistoryChart::rows(const TypeFilter &filter, QStringList &typeNames,
                        const std::function<void(const ChartRow &)> &take) const
{
    // The join of the history list done here: the engine would sort the whole
    // table and, for the join, visit it once per type through the TypeID index
    // (three times slower over 100 000 series). A series whose TypeID has no
    // type row is left out, one with several rows comes once per row, as in
    // the list. The types in TypeID order, as the history's order has them.
    std::vector<std::optional<QByteArray>> typeIds;  // nothing: NULL, equal to nothing
    typeNames.clear();
    {
        Statement types(db_, QStringLiteral("select TypeID, TypeNm from %1 order by TypeID")
                                 .arg(everyTypeRow(db_).from));
        while (types.step()) {
            typeIds.push_back(sqlite3_column_type(types.handle(), 0) == SQLITE_NULL
                                  ? std::nullopt
                                  : std::optional(textField(types.handle(), 0).toByteArray()));
            typeNames.append(QString::fromUtf8(textField(types.handle(), 1)));
        }
    }
    QVariantList values;
    const QString sql =
        QStringLiteral("select DateTime, TypeID, AveTimeSS, BestTimeSS from T_Time") +
        typeCondition(filter, values);
    Statement statement(db_, sql, values);
    sqlite3_stmt *stmt = statement.handle();
    // The rows of a type mostly follow each other: its entries are looked up
    // again only when the type changes, not among a hundred types each row.
    std::optional<QByteArray> lastType;
    std::vector<int> lastEntries;
    while (statement.step()) {
        if (sqlite3_column_type(stmt, 1) == SQLITE_NULL)
            continue;
        const QByteArrayView typeId = textField(stmt, 1);
        if (!lastType || typeId != QByteArrayView(*lastType)) {
            lastType = typeId.toByteArray();
            lastEntries.clear();
            for (std::size_t t = 0; t < typeIds.size(); ++t)
                if (typeIds[t] && QByteArrayView(*typeIds[t]) == typeId)
                    lastEntries.push_back(int(t));
        }
        ChartRow row{textField(stmt, 0), 0, hundredthsField(stmt, 2), hundredthsField(stmt, 3)};
        for (const int t : lastEntries) {
            row.typeIndex = t;
            take(row);
        }
    }
}

HistorySolves::HistorySolves(Database &db) : db_(db), keys_(hasSolveTable(db)) {}

void HistorySolves::olderSeries(const QString &where, const QVariantList &values,
                                const std::function<void(const CountedSolve &)> &take) const
{
    Statement statement(db_, QLatin1String(kOlderColumns) + where, values);
    sqlite3_stmt *stmt = statement.handle();
    LocalCalendar calendar;
    CountedSolve solve;
    while (statement.step()) {
        ++rowsRead_;
        solve.typeId = textField(stmt, 1);
        solve.moment = calendar.momentOf(textField(stmt, 2)).value_or(kUndated);
        solve.series = kOlderSeries + sqlite3_column_int64(stmt, 0);
        for (int n = 0; n < 12; ++n) {
            const QByteArrayView text = textField(stmt, 3 + n);
            if (text.size() == 1 && text.front() == '-')
                continue;
            solve.place = n + 1;
            solve.counted =
                countedFromUtf8(std::string_view(text.data(), std::size_t(text.size())));
            take(solve);
        }
    }
}

void HistorySolves::all(const std::function<void(const CountedSolve &)> &take) const
{
    // An older copy's series were mostly done before any with solves.
    olderSeries(keys_ ? QStringLiteral("where SeriesKey is null order by rowid")
                      : QStringLiteral("order by rowid"),
                {}, take);
    if (!keys_)
        return;
    Statement statement(db_, QStringLiteral("select SolveID, TypeID, TimeMs, Penalty, Moment "
                                            "from T_Solve order by SolveID"));
    sqlite3_stmt *stmt = statement.handle();
    CountedSolve solve;
    while (statement.step()) {
        ++rowsRead_;
        const std::int64_t id = sqlite3_column_int64(stmt, 0);
        solve.series = id / kSolvesPerKey;
        solve.place = int(id % kSolvesPerKey);
        solve.typeId = textField(stmt, 1);
        const int penalty = sqlite3_column_int(stmt, 3);
        const std::int64_t hundredths = hundredthsOfMs(sqlite3_column_int64(stmt, 2));
        solve.counted = penalty == 2   ? Counted::dnfResult()
                        : penalty == 1 ? Counted{hundredths + kPlusTwoHundredths, false}
                                       : Counted{hundredths, false};
        solve.moment = sqlite3_column_int64(stmt, 4);
        take(solve);
    }
}

std::int64_t HistorySolves::solvesAbout() const
{
    // Rowids are given upwards from 1: the greatest is at least the count of
    // series, most of five solves.
    Statement last(db_, QStringLiteral("select max(rowid) from T_Time"));
    return last.step() ? 5 * sqlite3_column_int64(last.handle(), 0) : 0;
}

void HistorySolves::ofSeries(const std::vector<std::int64_t> &ids,
                             const std::function<void(const CountedSolve &)> &take) const
{
    for (const std::int64_t id : ids) {
        std::int64_t key = -1;
        QByteArray typeId;
        if (keys_) {
            Statement series(db_,
                             QStringLiteral("select SeriesKey, TypeID from T_Time where rowid=?"),
                             {qlonglong(id)});
            if (!series.step())
                continue;
            if (sqlite3_column_type(series.handle(), 0) != SQLITE_NULL)
                key = sqlite3_column_int64(series.handle(), 0);
        }
        if (key < 0) {
            olderSeries(QStringLiteral("where rowid=?"), {qlonglong(id)}, take);
            continue;
        }
        for (const StoredSolve &stored : solvesOfSeries(db_, key)) {
            ++rowsRead_;
            typeId = stored.typeId.text().toUtf8();
            CountedSolve solve;
            solve.moment = stored.details.moment.value_or(0);
            solve.series = key;
            solve.place = stored.no;
            solve.typeId = typeId;
            solve.counted = stored.attempt.counted();
            take(solve);
        }
    }
}

void HistorySolves::lastDone(const TypeId &type,
                             const std::function<bool(const CountedSolve &)> &take) const
{
    TypeSolveWalk walk(db_, type, true, false);
    const QByteArray typeId = type.text().toUtf8();
    WalkedSolve walked;
    CountedSolve solve;
    solve.typeId = typeId;
    while (walk.next(walked)) {
        solve.moment = walked.moment;
        solve.series = walked.series;
        solve.place = walked.place;
        solve.counted = walked.attempt ? std::optional(walked.attempt->counted()) : std::nullopt;
        if (!take(solve))
            break;
    }
    rowsRead_ += walk.rowsRead();
}

int HistoryExport::solves(const TypeId &type,
                          const std::function<void(const ExportedSolve &)> &take) const
{
    TypeSolveWalk walk(db_, type, false, true);
    WalkedSolve walked;
    ExportedSolve solve;
    while (walk.next(walked)) {
        solve.attempt = *walked.attempt;
        solve.details = std::move(walked.details);
        solve.inSeries = walked.inSeries;
        solve.series = walked.series;
        take(solve);
    }
    return walk.skipped();
}

}  // namespace spinlog
