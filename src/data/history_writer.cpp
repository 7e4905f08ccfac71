#include "data/history_writer.h"

#include "base/errors.h"
#include "base/shown_text.h"
#include "base/time_values.h"
#include "data/database.h"
#include "data/history_detail.h"
#include "data/series_inserter.h"
#include "data/solve_table.h"

#include <sqlite3.h>

#include <cmath>

namespace spinlog {

using namespace history_detail;

namespace {

// Finds a saved series by type, date and shown solves; the date index leads.
// Only series without solve rows: a solve's own row finds the others.
class SavedLookup {
public:
    SavedLookup(Database &db, bool keys)
        : statement_(db,
                     QStringLiteral("select 1 from T_Time where DateTime=? and TypeID=? and "
                                    "Time1=? and Time2=? and Time3=? and Time4=? and Time5=? and "
                                    "Time6=? and Time7=? and Time8=? and Time9=? and Time10=? and "
                                    "Time11=? and Time12=?%1 limit 1")
                         .arg(keys ? QStringLiteral(" and SeriesKey is null") : QString()),
                     emptyValues())
    {
    }
    bool saved(const SeriesRecord &r)
    {
        QVariantList values{r.dateTime, r.typeId.text()};
        for (const QString &time : r.times) values << time;
        statement_.rebind(values);
        return statement_.step();
    }

private:
    static QVariantList emptyValues()
    {
        QVariantList values;
        for (int i = 0; i < 14; ++i) values << QString();
        return values;
    }
    Statement statement_;
};

}  // namespace

HistoryWriter::HistoryWriter(Database &db, QObject *parent)
    : QObject(parent),
      db_(db),
      tokens_(hasTokens(db)),
      imports_(hasImports(db)),
      keys_(hasSolveTable(db))
{
}

void HistoryWriter::add(const SeriesRecord &r, const std::function<void()> &together)
{
    std::int64_t row = 0;
    {
        Transaction transaction(db_);
        // The statement an import uses too, so one insert adds every series.
        SeriesInserter inserter(db_, {tokens_, imports_, keys_});
        row = inserter.add(r, QString());
        if (together)
            together();
        transaction.commit();
    }
    emit changed({HistoryChange::Kind::Added, TypeFilter(r.typeId), {row}});
}

std::int64_t HistoryWriter::keyOf(std::int64_t id) const
{
    Statement key(db_, QStringLiteral("select SeriesKey from T_Time where rowid=?"),
                  {qlonglong(id)});
    if (!key.step())
        throw SpinlogError(Text::tr("カレント レコードがありません。"));
    return sqlite3_column_type(key.handle(), 0) == SQLITE_NULL
               ? -1
               : sqlite3_column_int64(key.handle(), 0);
}

SeriesRecord HistoryWriter::series(std::int64_t id) const
{
    Recordset rs(db_, QStringLiteral("select * from T_Time where rowid=?"), {qlonglong(id)});
    if (rs.eof())
        throw SpinlogError(Text::tr("カレント レコードがありません。"));
    SeriesRecord r;
    const auto text = [&rs](const QString &field) {
        return rs.field(field).isNull() ? QString() : rs.text(field);
    };
    const auto hundredths = [&rs](const QString &field) {
        return std::llround(rs.field(field).toDouble() * 100);
    };
    r.dateTime = text(QStringLiteral("DateTime"));
    r.typeId = TypeId(text(QStringLiteral("TypeID")));
    for (int n = 1; n <= 12; ++n)
        r.times[std::size_t(n - 1)] = text(QStringLiteral("Time") + QString::number(n));
    r.aveTime = text(QStringLiteral("AveTime"));
    r.aveHundredths = hundredths(QStringLiteral("AveTimeSS"));
    r.bestNo = rs.field(QStringLiteral("BestTimeNo")).toInt();
    r.bestTime = text(QStringLiteral("BestTime"));
    r.bestHundredths = hundredths(QStringLiteral("BestTimeSS"));
    r.worstNo = rs.field(QStringLiteral("WorstTimeNo")).toInt();
    r.worstTime = text(QStringLiteral("WorstTime"));
    r.worstHundredths = hundredths(QStringLiteral("WorstTimeSS"));
    const std::vector<std::optional<Attempt>> attempts =
        attemptsOf(r.times, tokens_ ? text(QStringLiteral("Solves")) : QString());
    for (std::size_t i = 0; i < attempts.size(); ++i) r.attempts[i] = attempts[i];
    if (keys_ && !rs.field(QStringLiteral("SeriesKey")).isNull()) {
        for (const StoredSolve &solve :
             solvesOfSeries(db_, rs.field(QStringLiteral("SeriesKey")).toLongLong()))
            if (solve.no >= 1 && solve.no <= 12) {
                // Their raw times are there only (an older file's rows
                // have the tokens too: the same).
                r.attempts[std::size_t(solve.no - 1)] = solve.attempt;
                r.details[std::size_t(solve.no - 1)] = solve.details;
            }
    }
    return r;
}

void HistoryWriter::update(std::int64_t id, const SeriesRecord &r)
{
    QString sql = QStringLiteral("update T_Time set ");
    QVariantList values;
    for (int n = 1; n <= 12; ++n) {
        sql += QStringLiteral("Time%1=?, ").arg(n);
        values << r.times[std::size_t(n - 1)];
    }
    sql += QStringLiteral(
        "AveTime=?, AveTimeSS=?, BestTimeNo=?, BestTime=?, BestTimeSS=?, WorstTimeNo=?, "
        "WorstTime=?, WorstTimeSS=?");
    values << r.aveTime << secondsValue(r.aveHundredths) << r.bestNo << r.bestTime
           << secondsValue(r.bestHundredths) << r.worstNo << r.worstTime
           << secondsValue(r.worstHundredths);
    if (tokens_) {
        sql += keys_ ? QStringLiteral(", Solves=CASE WHEN SeriesKey IS NULL THEN ? END")
                     : QStringLiteral(", Solves=?");
        values << solvesTokens(r);
    }
    sql += QStringLiteral(" where rowid=?");
    values << qlonglong(id);
    // The solves' penalties follow the texts in the same statement (a trigger).
    db_.execute(sql, values);
    emit changed({HistoryChange::Kind::Edited, TypeFilter(r.typeId), {id}});
}

void HistoryWriter::setComment(std::int64_t id, int no, const QString &comment)
{
    if (!keys_)
        throw SpinlogError(Text::tr("このデータベースには解答ごとの記録を書けません。"));
    SeriesRecord r = series(id);
    if (no < 1 || no > 12 || !r.attempts[std::size_t(no - 1)])
        throw SpinlogError(describe::invalidArgument());
    {
        Transaction transaction(db_);
        std::int64_t key = keyOf(id);
        if (key < 0) {
            // An older copy's series: its solves get rows of their own, done
            // when the series says.
            SolveInserter solves(db_);
            key = solves.newKey();
            db_.execute(QStringLiteral("update T_Time set SeriesKey=? where rowid=?"),
                        {qlonglong(key), qlonglong(id)});
            for (std::size_t i = 0; i < r.attempts.size(); ++i) {
                if (!r.attempts[i])
                    continue;
                SolveDetails details;
                details.moment = localMoment(r.dateTime).value_or(0);
                solves.add(key, int(i) + 1, true, r.typeId, *r.attempts[i], details, QString());
            }
        }
        db_.execute(QStringLiteral("update T_Solve set Comment=? where SolveID=?"),
                    {comment.isEmpty() ? QVariant() : QVariant(comment),
                     qlonglong(key * kSolvesPerKey + no)});
        transaction.commit();
    }
    emit changed({HistoryChange::Kind::Commented, TypeFilter(r.typeId), {id}});
}

void HistoryWriter::remove(std::int64_t id)
{
    // The type it had, for those who show only one type.
    TypeFilter type;
    {
        Statement typeOf(db_, QStringLiteral("select TypeID from T_Time where rowid=?"),
                         {qlonglong(id)});
        if (typeOf.step())
            type = TypeFilter(TypeId(textOf(typeOf.handle(), 0)));
    }
    // Its solves go with it (a trigger).
    db_.execute(QStringLiteral("delete from T_Time where rowid=?"), {qlonglong(id)});
    emit changed({HistoryChange::Kind::Removed, type, {id}});
}

void HistoryWriter::removeListed(const TypeFilter &filter)
{
    {
        Transaction transaction(db_);
        QVariantList values;
        db_.execute(QStringLiteral("delete from T_Time") + typeCondition(filter, values), values);
        if (keys_) {
            values.clear();
            db_.execute(QStringLiteral("delete from T_Solve where [No] is null") +
                            typeCondition(filter, values, " and "),
                        values);
        }
        transaction.commit();
    }
    emit changed({HistoryChange::Kind::Removed, filter, {}, keys_});
}

int HistoryWriter::looseSolves(const TypeFilter &filter) const
{
    if (!keys_)
        return 0;
    QVariantList values;
    Statement count(db_,
                    QStringLiteral("select count(*) from T_Solve where [No] is null") +
                        typeCondition(filter, values, " and "),
                    values);
    count.step();
    return sqlite3_column_int(count.handle(), 0);
}

bool HistoryWriter::isSaved(const SeriesRecord &record) const
{
    return SavedLookup(db_, keys_).saved(record);
}

bool HistoryWriter::holdsSeriesWithoutSolves() const
{
    Statement any(db_, keys_
                           ? QStringLiteral("select 1 from T_Time where SeriesKey is null limit 1")
                           : QStringLiteral("select 1 from T_Time limit 1"));
    return any.step();
}

std::vector<SolveKey> HistoryWriter::solvesBetween(const TypeId &type, std::int64_t from,
                                                   std::int64_t to) const
{
    std::vector<SolveKey> keys;
    if (!keys_)
        return keys;
    Statement solves(db_,
                     QStringLiteral("select Moment, TimeMs, Penalty from T_Solve where TypeID=? "
                                    "and Moment between ? and ? order by Moment"),
                     {type.text(), qlonglong(from), qlonglong(to)});
    sqlite3_stmt *stmt = solves.handle();
    while (solves.step()) {
        const int penalty = sqlite3_column_int(stmt, 2);
        keys.push_back({sqlite3_column_int64(stmt, 0), sqlite3_column_int64(stmt, 1),
                        penalty == 1   ? Penalty::PlusTwo
                        : penalty == 2 ? Penalty::Dnf
                                       : Penalty::None});
    }
    return keys;
}

}  // namespace spinlog
