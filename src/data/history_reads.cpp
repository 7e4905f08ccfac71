#include "data/history_reads.h"

#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_order.h"
#include "data/type_tables.h"

#include <sqlite3.h>

namespace spinlog {

using namespace history_detail;

namespace {

// The columns the statistics read, Time1 to Time12 from the fourth on.
constexpr const char *kSolveColumns =
    "select rowid, TypeID, DateTime, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, "
    "Time9, Time10, Time11, Time12 from T_Time ";

SolveRow solveRow(sqlite3_stmt *stmt)
{
    SolveRow row;
    row.id = sqlite3_column_int64(stmt, 0);
    row.typeId = textField(stmt, 1);
    row.dateTime = textField(stmt, 2);
    for (int n = 0; n < 12; ++n) row.times[std::size_t(n)] = textField(stmt, 3 + n);
    return row;
}

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

void HistorySolves::all(const std::function<void(const SolveRow &)> &take) const
{
    Statement statement(db_, QLatin1String(kSolveColumns) + QStringLiteral("order by rowid"));
    while (statement.step()) {
        ++rowsRead_;
        take(solveRow(statement.handle()));
    }
}

std::int64_t HistorySolves::mostRows() const
{
    // Rowids are given upwards from 1: the greatest is at least the count.
    Statement last(db_, QStringLiteral("select max(rowid) from T_Time"));
    return last.step() ? sqlite3_column_int64(last.handle(), 0) : 0;
}

void HistorySolves::rows(const std::vector<std::int64_t> &ids,
                         const std::function<void(const SolveRow &)> &take) const
{
    Statement statement(db_, QLatin1String(kSolveColumns) + QStringLiteral("where rowid=?"),
                        {qlonglong(0)});
    for (const std::int64_t id : ids) {
        statement.rebind({qlonglong(id)});
        if (statement.step()) {
            ++rowsRead_;
            take(solveRow(statement.handle()));
        }
    }
}

void HistorySolves::lastDone(const TypeId &type,
                             const std::function<bool(const SolveRow &)> &take) const
{
    // Walked backwards along the type's entries of its date index: its last
    // series come first, whatever order they were saved in.
    Statement statement(db_,
                        QLatin1String(kSolveColumns) + QStringLiteral("where TypeID=? order by ") +
                            QLatin1String(kLastDoneFirst),
                        {type.text()});
    while (statement.step()) {
        ++rowsRead_;
        if (!take(solveRow(statement.handle())))
            break;
    }
}

HistoryExport::HistoryExport(Database &db) : db_(db), tokens_(hasTokens(db)) {}

void HistoryExport::series(const TypeFilter &filter,
                           const std::function<void(const ExportedSeries &)> &take) const
{
    QVariantList values;
    const QString sql = QStringLiteral(
                            "select TypeID, DateTime, Time1, Time2, Time3, Time4, Time5, Time6, "
                            "Time7, Time8, Time9, Time10, Time11, Time12%1 from T_Time")
                            .arg(tokens_ ? QStringLiteral(", Solves") : QString()) +
                        typeCondition(filter, values) + QStringLiteral(" order by rowid");
    Statement statement(db_, sql, values);
    sqlite3_stmt *stmt = statement.handle();
    ExportedSeries series;
    std::array<QString, 12> times;
    while (statement.step()) {
        series.typeId = TypeId(textOf(stmt, 0));
        series.dateTime = textOf(stmt, 1);
        for (int n = 0; n < 12; ++n) times[std::size_t(n)] = textOf(stmt, 2 + n);
        series.attempts.clear();
        for (const std::optional<Attempt> &a :
             attemptsOf(times, tokens_ ? textOf(stmt, 14) : QString())) {
            // A text that reads as no time cannot be carried, and a series
            // shortened would be another series: none of it is given.
            if (!a) {
                series.attempts.clear();
                break;
            }
            series.attempts.push_back(*a);
        }
        take(series);
    }
}

}  // namespace spinlog
