#include "data/series_store.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/time_values.h"
#include "data/database.h"
#include "data/history_store.h"

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

void DatabaseSeriesStore::save(const SeriesRecord &record)
{
    history_.add(record, [this] { clear(); });
}

}  // namespace spinlog
