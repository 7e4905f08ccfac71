#include "session/series_store.h"

#include "app/errors.h"
#include "app/number_text.h"
#include "app/time_values.h"
#include "data/database.h"

#include <cmath>

namespace spinlog {

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
        solves.push_back(s);
    }
    return solves;
}

void DatabaseSeriesStore::add(const Solve &solve)
{
    db_.execute(QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (?,?,?)"),
                {solve.no, solve.time, secondsText(solve.hundredths).toDouble()});
}

void DatabaseSeriesStore::clear()
{
    db_.execute(QStringLiteral("delete from W_Time"));
}

void DatabaseSeriesStore::save(const SeriesRecord &r)
{
    const auto seconds = [](std::int64_t hundredths) { return secondsText(hundredths).toDouble(); };
    Transaction transaction(db_);
    TableAppender row(db_, QStringLiteral("T_Time"));
    row.set(QStringLiteral("DateTime"), r.dateTime);
    row.set(QStringLiteral("TypeID"), r.typeId);
    for (std::size_t i = 0; i < r.times.size(); ++i)
        row.set(QStringLiteral("Time") + QString::number(i + 1), r.times[i]);
    row.set(QStringLiteral("AveTime"), r.aveTime);
    row.set(QStringLiteral("AveTimeSS"), seconds(r.aveHundredths));
    row.set(QStringLiteral("BestTimeNo"), r.bestNo);
    row.set(QStringLiteral("BestTime"), r.bestTime);
    row.set(QStringLiteral("BestTimeSS"), seconds(r.bestHundredths));
    row.set(QStringLiteral("WorstTimeNo"), r.worstNo);
    row.set(QStringLiteral("WorstTime"), r.worstTime);
    row.set(QStringLiteral("WorstTimeSS"), seconds(r.worstHundredths));
    row.update();
    clear();
    transaction.commit();
}

}  // namespace spinlog
