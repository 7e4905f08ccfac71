#include "data/series_store.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/time_values.h"
#include "data/attempt_columns.h"
#include "data/database.h"
#include "data/history_writer.h"

#include <cmath>

namespace spinlog {

DatabaseSeriesStore::DatabaseSeriesStore(Database &db, HistoryWriter &history)
    : db_(db),
      history_(history),
      tokens_(hasColumn(db, "W_Time", "Solve")),
      details_(hasColumn(db, "W_Time", "Moment"))
{
}

namespace {

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

}  // namespace

std::vector<Solve> DatabaseSeriesStore::load()
{
    std::vector<Solve> solves;
    for (Recordset rs(db_, QStringLiteral("select * from W_Time order by [No]")); !rs.eof();
         rs.moveNext()) {
        Solve s;
        bool ok = false;
        s.no = rs.field(QStringLiteral("No")).toInt(&ok);
        if (!ok)
            throw SpinlogError(describe::typeMismatch());
        // Only twelve solve labels exist.
        if (s.no < 1 || s.no > 12)
            throw SpinlogError(invalidPropertyText());
        const double seconds = rs.field(QStringLiteral("TimeSS")).toDouble(&ok);
        if (!ok || !std::isfinite(seconds))
            throw SpinlogError(describe::typeMismatch());
        s.hundredths = std::llround(seconds * 100);
        s.time = rs.text(QStringLiteral("Time"));
        // The raw time and penalty kept beside the texts; for a row any copy
        // wrote without them, what the display text says.
        std::optional<Attempt> attempt;
        if (tokens_) {
            const QVariant token = rs.field(QStringLiteral("Solve"));
            if (!token.isNull())
                attempt = attemptFromToken(token.toString());
        }
        if (!attempt)
            attempt = attemptFromText(s.time);
        s.attempt = attempt.value_or(Attempt{s.hundredths, Penalty::None});
        if (details_) {
            // An older copy's solve has none: its series' save dates it.
            const QVariant moment = rs.field(QStringLiteral("Moment"));
            if (!moment.isNull())
                s.details.moment = moment.toLongLong();
            s.details.scramble = rs.field(QStringLiteral("Scramble")).toString();
            s.details.comment = rs.field(QStringLiteral("Comment")).toString();
        }
        solves.push_back(s);
    }
    return solves;
}

void DatabaseSeriesStore::add(const Solve &solve)
{
    if (tokens_ && details_)
        db_.execute(
            QStringLiteral("insert into W_Time ([No],[Time],[TimeSS],Solve,Moment,Scramble,"
                           "Comment) values (?,?,?,?,?,?,?)"),
            {solve.no, solve.time, secondsValue(solve.hundredths), attemptToken(solve.attempt),
             solve.details.moment ? QVariant(qlonglong(*solve.details.moment)) : QVariant(),
             textOrNull(solve.details.scramble), textOrNull(solve.details.comment)});
    else if (tokens_)
        db_.execute(
            QStringLiteral("insert into W_Time ([No],[Time],[TimeSS],Solve) values (?,?,?,?)"),
            {solve.no, solve.time, secondsValue(solve.hundredths), attemptToken(solve.attempt)});
    else
        db_.execute(QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (?,?,?)"),
                    {solve.no, solve.time, secondsValue(solve.hundredths)});
}

void DatabaseSeriesStore::update(const Solve &solve)
{
    // One statement: the text, the number and the token change together.
    if (tokens_ && details_)
        db_.execute(QStringLiteral("update W_Time set [Time]=?, TimeSS=?, Solve=?, Comment=? "
                                   "where [No]=?"),
                    {solve.time, secondsValue(solve.hundredths), attemptToken(solve.attempt),
                     textOrNull(solve.details.comment), solve.no});
    else if (tokens_)
        db_.execute(
            QStringLiteral("update W_Time set [Time]=?, TimeSS=?, Solve=? where [No]=?"),
            {solve.time, secondsValue(solve.hundredths), attemptToken(solve.attempt), solve.no});
    else
        db_.execute(QStringLiteral("update W_Time set [Time]=?, TimeSS=? where [No]=?"),
                    {solve.time, secondsValue(solve.hundredths), solve.no});
}

void DatabaseSeriesStore::clear()
{
    db_.execute(QStringLiteral("delete from W_Time"));
}

void DatabaseSeriesStore::save(const SeriesRecord &record)
{
    history_.add(record, [this] { clear(); });
}

}  // namespace spinlog
