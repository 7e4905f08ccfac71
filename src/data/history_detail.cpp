#include "data/history_detail.h"

#include "base/time_values.h"
#include "data/attempt_columns.h"
#include "data/database.h"
#include "data/solve_table.h"

#include <sqlite3.h>

#include <QStringList>
#include <cmath>

namespace spinlog::history_detail {

bool hasTokens(Database &db)
{
    return hasColumn(db, "T_Time", "Solves");
}

bool hasImports(Database &db)
{
    return hasColumn(db, "T_Time", "ImportID");
}

QString solvesTokens(const SeriesRecord &r)
{
    QStringList tokens;
    for (const std::optional<Attempt> &a : r.attempts) {
        if (a)
            tokens << attemptToken(*a);
    }
    return tokens.join(QLatin1Char(' '));
}

QString typeCondition(const TypeFilter &filter, QVariantList &values, const char *joiner)
{
    if (filter.all())
        return QString();
    values << filter.type().text();
    return QLatin1String(joiner) + QStringLiteral("TypeID=?");
}

std::vector<std::optional<Attempt>> attemptsOf(const std::array<QString, 12> &times,
                                               const QString &tokenText)
{
    const QStringList tokens = tokenText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int shown = 0;
    while (shown < 12 && times[std::size_t(shown)] != QStringLiteral("-")) ++shown;
    std::vector<std::optional<Attempt>> attempts;
    for (int i = 0; i < shown; ++i) {
        std::optional<Attempt> attempt;
        if (tokens.size() == shown)
            attempt = attemptFromToken(tokens.at(i));
        attempts.push_back(attempt ? attempt : attemptFromText(times[std::size_t(i)]));
    }
    return attempts;
}

QString textOf(sqlite3_stmt *stmt, int col)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, col)) : QString();
}

QByteArrayView textField(sqlite3_stmt *stmt, int col)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return text ? QByteArrayView(text, sqlite3_column_bytes(stmt, col)) : QByteArrayView();
}

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

SeriesColumns seriesColumns(Database &db)
{
    return {hasTokens(db), hasImports(db), hasSolveTable(db)};
}

QVariantList rowValues(const SeriesRecord &r, const SeriesColumns &columns,
                       const QVariant &importId, const QVariant &key)
{
    QVariantList values{r.dateTime, r.typeId.text()};
    for (const QString &time : r.times) values << time;
    values << r.aveTime << secondsValue(r.aveHundredths) << r.bestNo << r.bestTime
           << secondsValue(r.bestHundredths) << r.worstNo << r.worstTime
           << secondsValue(r.worstHundredths);
    if (columns.imports)
        values << importId;
    if (columns.tokens)
        values << solvesTokens(r);
    if (columns.keys)
        values << key;
    return values;
}

QString insertStatement(const SeriesColumns &c)
{
    QString columns = QStringLiteral(
        "DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, Time9, "
        "Time10, Time11, Time12, AveTime, AveTimeSS, BestTimeNo, BestTime, BestTimeSS, "
        "WorstTimeNo, WorstTime, WorstTimeSS");
    if (c.imports)
        columns += QStringLiteral(", ImportID");
    if (c.tokens)
        columns += QStringLiteral(", Solves");
    if (c.keys)
        columns += QStringLiteral(", SeriesKey");
    const int count = 22 + int(c.imports) + int(c.tokens) + int(c.keys);
    QStringList marks(count, QStringLiteral("?"));
    return QStringLiteral("insert into T_Time (%1) values (%2)")
        .arg(columns, marks.join(QStringLiteral(", ")));
}

}  // namespace spinlog::history_detail
