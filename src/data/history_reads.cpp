#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_store.h"

#include <sqlite3.h>

#include <cmath>

// The history store's reads for the chart and the statistics: rows handed
// out one at a time, their texts pointing into the statement's own memory.

namespace spinlog {

using namespace history_detail;

namespace {

QByteArrayView textField(sqlite3_stmt *stmt, int col)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return text ? QByteArrayView(text, sqlite3_column_bytes(stmt, col)) : QByteArrayView();
}

// A seconds field as hundredths; nothing unless it holds a number.
std::optional<std::int64_t> hundredthsField(sqlite3_stmt *stmt, int col)
{
    const int type = sqlite3_column_type(stmt, col);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return std::nullopt;
    const double value = sqlite3_column_double(stmt, col) * 100.0;
    if (!std::isfinite(value) || std::fabs(value) > 1e15)
        return std::nullopt;
    return std::llround(value);
}

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

void HistoryStore::chartRows(TypeFilter filter, QStringList &typeNames,
                             const std::function<void(const ChartRow &)> &take) const
{
    // The join of the history list done here: the engine would sort the whole
    // table and, for the join, visit it once per type through the TypeID index
    // (three times slower over 100 000 series). A series whose TypeID has no
    // entry in MT_Type is left out, one with several entries comes once per
    // entry, as in the list.
    std::vector<std::optional<QByteArray>> typeIds;  // nothing: NULL, equal to nothing
    typeNames.clear();
    {
        Statement types(db_, QStringLiteral("select TypeID, TypeNm from MT_Type"));
        while (types.step()) {
            typeIds.push_back(sqlite3_column_type(types.handle(), 0) == SQLITE_NULL
                                  ? std::nullopt
                                  : std::optional(textField(types.handle(), 0).toByteArray()));
            typeNames.append(QString::fromUtf8(textField(types.handle(), 1)));
        }
    }
    QString sql = QStringLiteral("select DateTime, TypeID, AveTimeSS, BestTimeSS from T_Time");
    QVariantList values;
    if (!filter.all()) {
        sql += QStringLiteral(" where TypeID=?");
        values << typeIdText(filter);
    }
    Statement statement(db_, sql, values);
    sqlite3_stmt *stmt = statement.handle();
    while (statement.step()) {
        if (sqlite3_column_type(stmt, 1) == SQLITE_NULL)
            continue;
        const QByteArrayView typeId = textField(stmt, 1);
        ChartRow row{textField(stmt, 0), 0, hundredthsField(stmt, 2), hundredthsField(stmt, 3)};
        for (std::size_t t = 0; t < typeIds.size(); ++t) {
            if (typeIds[t] && QByteArrayView(*typeIds[t]) == typeId) {
                row.typeIndex = int(t);
                take(row);
            }
        }
    }
}

void HistoryStore::solveRows(std::int64_t afterId,
                             const std::function<void(const SolveRow &)> &take) const
{
    // Whether a series' type is listed is found here, as for the chart: a
    // join would cost a lookup a row.
    std::vector<QByteArray> listed;
    {
        Statement types(db_, QStringLiteral("select TypeID from MT_Type where TypeID is not null"));
        while (types.step()) listed.push_back(textField(types.handle(), 0).toByteArray());
    }
    Statement statement(
        db_, QLatin1String(kSolveColumns) + QStringLiteral("where rowid > ? order by rowid"),
        {qlonglong(afterId)});
    while (statement.step()) {
        SolveRow row = solveRow(statement.handle());
        row.listed = sqlite3_column_type(statement.handle(), 1) != SQLITE_NULL &&
                     std::find(listed.begin(), listed.end(), row.typeId) != listed.end();
        take(row);
    }
}

void HistoryStore::latestSolveRows(const QString &typeId,
                                   const std::function<bool(const SolveRow &)> &take) const
{
    // The TypeID index holds a type's rows in rowid order: read backwards.
    Statement statement(
        db_, QLatin1String(kSolveColumns) + QStringLiteral("where TypeID=? order by rowid desc"),
        {typeId});
    while (statement.step() && take(solveRow(statement.handle()))) {
    }
}

}  // namespace spinlog
