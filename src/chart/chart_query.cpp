#include "chart/chart_query.h"

#include "app/errors.h"
#include "data/database.h"

#include <sqlite3.h>

#include <cmath>

namespace spinlog {

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

}  // namespace

ListedSeries listedSeries(Database &db, int typePosition)
{
    if (typePosition < 0)
        throw SpinlogError(describe::invalidArgument());
    ListedSeries listed;
    ChartData &data = listed.data;
    // The join of the history list done here: the engine would sort the whole
    // table and, for the join, visit it once per type through the TypeID index
    // (three times slower over 100 000 series). A series whose TypeID has no
    // entry in MT_Type is left out, one with several entries comes once per
    // entry, as in the list.
    std::vector<std::optional<QByteArray>> typeIds;  // nothing: NULL, equal to nothing
    {
        Statement types(db, QStringLiteral("select TypeID, TypeNm from MT_Type"));
        while (types.step()) {
            typeIds.push_back(sqlite3_column_type(types.handle(), 0) == SQLITE_NULL
                                  ? std::nullopt
                                  : std::optional(textField(types.handle(), 0).toByteArray()));
            data.typeNames.append(QString::fromUtf8(textField(types.handle(), 1)));
        }
    }
    QString sql = QStringLiteral("select DateTime, TypeID, AveTimeSS, BestTimeSS from T_Time");
    QVariantList values;
    if (typePosition != 0) {
        sql += QStringLiteral(" where TypeID=?");
        values << QString::number(typePosition);
    }
    Statement statement(db, sql, values);
    sqlite3_stmt *stmt = statement.handle();
    while (statement.step()) {
        if (sqlite3_column_type(stmt, 1) == SQLITE_NULL)
            continue;
        const QByteArrayView typeId = textField(stmt, 1);
        const QByteArrayView dateTime = textField(stmt, 0);
        const std::optional<std::int64_t> average = hundredthsField(stmt, 2);
        const std::optional<std::int64_t> best = hundredthsField(stmt, 3);
        for (std::size_t t = 0; t < typeIds.size(); ++t) {
            if (typeIds[t] && QByteArrayView(*typeIds[t]) == typeId &&
                !data.add(dateTime, std::int32_t(t), average, best))
                ++listed.unplaced;
        }
    }
    data.sortByDate();
    return listed;
}

}  // namespace spinlog
