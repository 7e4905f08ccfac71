#include "base/errors.h"
#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_store.h"

#include <sqlite3.h>

#include <limits>

// The history store's side for other timers' files: series read for an
// export, series added by an import and the import taken back.

namespace spinlog {

using namespace history_detail;

namespace {

// Finds a saved series by type, date and shown solves among the rows up to
// a rowid; the date index leads.
class SavedLookup {
public:
    explicit SavedLookup(Database &db, qint64 lastRow = std::numeric_limits<qint64>::max())
        : statement_(db,
                     QStringLiteral("select 1 from T_Time where DateTime=? and TypeID=? and "
                                    "Time1=? and Time2=? and Time3=? and Time4=? and Time5=? and "
                                    "Time6=? and Time7=? and Time8=? and Time9=? and Time10=? and "
                                    "Time11=? and Time12=? and rowid<=? limit 1"),
                     emptyValues()),
          lastRow_(lastRow)
    {
    }
    bool saved(const SeriesRecord &r)
    {
        QVariantList values{r.dateTime, r.typeId};
        for (const QString &time : r.times) values << time;
        values << lastRow_;
        statement_.rebind(values);
        return statement_.step();
    }

private:
    static QVariantList emptyValues()
    {
        QVariantList values;
        for (int i = 0; i < 14; ++i) values << QString();
        return values << qint64(0);
    }
    Statement statement_;
    qint64 lastRow_;
};

}  // namespace

void HistoryStore::exportSeries(TypeFilter filter,
                                const std::function<void(const ExportedSeries &)> &take) const
{
    QString sql = QStringLiteral(
                      "select TypeID, DateTime, Time1, Time2, Time3, Time4, Time5, Time6, Time7, "
                      "Time8, Time9, "
                      "Time10, Time11, Time12%1 from T_Time")
                      .arg(tokens_ ? QStringLiteral(", Solves") : QString());
    QVariantList values;
    if (!filter.all()) {
        sql += QStringLiteral(" where TypeID=?");
        values << typeIdText(filter);
    }
    sql += QStringLiteral(" order by rowid");
    Statement statement(db_, sql, values);
    sqlite3_stmt *stmt = statement.handle();
    ExportedSeries series;
    std::array<QString, 12> times;
    while (statement.step()) {
        series.typeId = textOf(stmt, 0);
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

bool HistoryStore::isSaved(const SeriesRecord &record) const
{
    return SavedLookup(db_).saved(record);
}

std::optional<ImportTally> HistoryStore::importSeries(int count,
                                                      const std::function<SeriesRecord(int)> &next,
                                                      const QString &importId,
                                                      const std::function<bool(int done)> &progress)
{
    if (!imports_)
        throw SpinlogError(QStringLiteral("このデータベースには取り込みの印を付けられません。"));
    ImportTally tally;
    {
        Transaction transaction(db_);
        // Only what was stored before makes a duplicate: the same series
        // twice in one file is added twice, as its preview counted it.
        Statement last(db_, QStringLiteral("select ifnull(max(rowid), 0) from T_Time"));
        last.step();
        SavedLookup lookup(db_, sqlite3_column_int64(last.handle(), 0));
        QVariantList blank = rowValues(SeriesRecord(), tokens_, true, importId);
        Statement insert(db_, insertStatement(tokens_, true), blank);
        for (int i = 0; i < count; ++i) {
            if (progress && i % 256 == 0 && !progress(i))
                return std::nullopt;
            const SeriesRecord record = next(i);
            if (lookup.saved(record)) {
                ++tally.duplicates;
                continue;
            }
            insert.rebind(rowValues(record, tokens_, true, importId));
            insert.step();
            ++tally.added;
        }
        if (progress && !progress(count))
            return std::nullopt;
        transaction.commit();
    }
    if (tally.added > 0)
        emit changed();
    return tally;
}

std::optional<ImportMark> HistoryStore::lastImport() const
{
    if (!imports_)
        return std::nullopt;
    // The rows added last, not the greatest mark: a mark is local clock time,
    // and a clock set back (the end of summer time) gives a later import a
    // smaller one.
    Statement last(db_, QStringLiteral("select ImportID from T_Time where ImportID <> '' "
                                       "order by rowid desc limit 1"));
    if (!last.step())
        return std::nullopt;
    const QString id = textOf(last.handle(), 0);
    Statement count(db_, QStringLiteral("select count(*) from T_Time where ImportID=?"), {id});
    count.step();
    return ImportMark{id, sqlite3_column_int(count.handle(), 0)};
}

int HistoryStore::removeImport(const QString &importId)
{
    if (!imports_ || importId.isEmpty())
        return 0;
    const int removed =
        db_.execute(QStringLiteral("delete from T_Time where ImportID=?"), {importId});
    if (removed > 0) {
        ++rewrites_;
        emit changed();
    }
    return removed;
}

}  // namespace spinlog
