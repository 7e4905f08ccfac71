#include "data/best_records.h"

#include "data/database.h"

namespace spinlog {

static QString firstOf(Database &db, const std::optional<QString> &typeId, const QString &order,
                       const QString &field)
{
    // Only the first row is read, so LIMIT 1 spares sorting the whole history.
    const QString where = typeId ? QStringLiteral("where TypeID=? ") : QString();
    Recordset rs(db,
                 QStringLiteral("select * from T_Time ") + where + QStringLiteral("order by ") +
                     order + QStringLiteral(" limit 1"),
                 typeId ? QVariantList{*typeId} : QVariantList{});
    return rs.eof() ? QStringLiteral("-") : rs.text(field);
}

BestRecords bestRecords(Database &db, const std::optional<QString> &typeId)
{
    BestRecords best;
    best.bestTime = firstOf(db, typeId, QStringLiteral("BestTimeSS"), QStringLiteral("BestTime"));
    best.bestAverage = firstOf(db, typeId, QStringLiteral("AveTimeSS"), QStringLiteral("AveTime"));
    return best;
}

}  // namespace spinlog
