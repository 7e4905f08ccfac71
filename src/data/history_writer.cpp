#include "data/history_writer.h"

#include "base/errors.h"
#include "base/shown_text.h"
#include "base/time_values.h"
#include "data/database.h"
#include "data/history_detail.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

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
        QVariantList values{r.dateTime, r.typeId.text()};
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

// The rowids a select gives, in its order.
std::vector<std::int64_t> rowsOf(Database &db, const QString &sql, const QVariantList &values)
{
    std::vector<std::int64_t> rows;
    Statement statement(db, sql, values);
    while (statement.step()) rows.push_back(sqlite3_column_int64(statement.handle(), 0));
    return rows;
}

}  // namespace

HistoryWriter::HistoryWriter(Database &db, QObject *parent)
    : QObject(parent), db_(db), tokens_(hasTokens(db)), imports_(hasImports(db))
{
}

void HistoryWriter::add(const SeriesRecord &r, const std::function<void()> &together)
{
    std::int64_t row = 0;
    {
        Transaction transaction(db_);
        // The columns an import writes too, so one statement adds every series.
        db_.execute(insertStatement(tokens_, imports_),
                    rowValues(r, tokens_, imports_, QVariant()));
        row = db_.lastInsertedRow();
        if (together)
            together();
        transaction.commit();
    }
    emit changed({HistoryChange::Kind::Added, TypeFilter(r.typeId), {row}});
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
        sql += QStringLiteral(", Solves=?");
        values << solvesTokens(r);
    }
    sql += QStringLiteral(" where rowid=?");
    values << qlonglong(id);
    db_.execute(sql, values);
    emit changed({HistoryChange::Kind::Edited, TypeFilter(r.typeId), {id}});
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
    db_.execute(QStringLiteral("delete from T_Time where rowid=?"), {qlonglong(id)});
    emit changed({HistoryChange::Kind::Removed, type, {id}});
}

void HistoryWriter::removeListed(const TypeFilter &filter)
{
    QVariantList values;
    db_.execute(QStringLiteral("delete from T_Time") + typeCondition(filter, values), values);
    emit changed({HistoryChange::Kind::Removed, filter, {}});
}

bool HistoryWriter::isSaved(const SeriesRecord &record) const
{
    return SavedLookup(db_).saved(record);
}

std::optional<ImportTally> HistoryWriter::importSeries(
    int count, const std::function<SeriesRecord(int)> &next, const QString &importId,
    const std::function<bool(int done)> &progress, const std::function<void()> &together)
{
    if (!imports_)
        throw SpinlogError(Text::tr("このデータベースには取り込みの印を付けられません。"));
    ImportTally tally;
    std::vector<std::int64_t> rows;
    {
        Transaction transaction(db_);
        if (together)
            together();
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
            rows.push_back(db_.lastInsertedRow());
            ++tally.added;
        }
        if (progress && !progress(count))
            return std::nullopt;
        transaction.commit();
    }
    if (tally.added > 0)
        emit changed({HistoryChange::Kind::Added, TypeFilter(), std::move(rows)});
    return tally;
}

std::optional<ImportMark> HistoryWriter::lastImport() const
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

int HistoryWriter::removeImport(const QString &importId, const std::function<void()> &together)
{
    if (!imports_ || importId.isEmpty())
        return 0;
    std::vector<std::int64_t> rows =
        rowsOf(db_, QStringLiteral("select rowid from T_Time where ImportID=? order by rowid"),
               {importId});
    int removed = 0;
    {
        Transaction transaction(db_);
        removed = db_.execute(QStringLiteral("delete from T_Time where ImportID=?"), {importId});
        if (together)
            together();
        transaction.commit();
    }
    if (removed > 0)
        emit changed({HistoryChange::Kind::Removed, TypeFilter(), std::move(rows)});
    return removed;
}

}  // namespace spinlog
