#include "data/history_store.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/time_values.h"
#include "data/attempt_columns.h"
#include "data/database.h"
#include "data/history_detail.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace spinlog {

using namespace history_detail;

namespace {

// Fixed texts only: the order never comes from outside this table.
constexpr std::array<const char *, kHistoryOrders> kOrderFragments = {
    "DateTime", "DateTime desc", "AveTimeSS", "AveTimeSS desc"};

// Equal keys have always come in the order the engine's plan met them, its
// sort being stable: by the position of their type's row in MT_Type, then in
// saving order. Written out, the order no longer hangs on the plan. With the
// types' rows in TypeID order (as the program writes them) the TypeID gives
// the same order, and an index on the key and the TypeID (every index entry
// ends in the rowid) gives the whole list without a sort. Otherwise, and for
// one type (whose series lie all over the table anyway), the "+" keeps the
// engine from walking an index on the key and sorting each run of equals
// apart, which costs more than one sort of the whole list.
constexpr const char *kTiesByTypeId = ", T_Time.TypeID, T_Time.rowid";
constexpr const char *kTiesByTypeRow = ", MT_Type.rowid, T_Time.rowid";

// The list statement: only the shown fields and the row's id, since the
// engine sorts whole result rows and narrower rows list a long history about
// a third faster.
QString listQuery(TypeFilter filter, HistoryOrder order, bool typesInIdOrder)
{
    QString sql = QStringLiteral(
        "select DateTime, TypeNm, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, "
        "Time9, Time10, Time11, Time12, AveTime, BestTimeNo, WorstTimeNo, T_Time.rowid "
        "from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID ");
    if (!filter.all())
        sql += QStringLiteral("and T_Time.TypeID=?");
    sql += QStringLiteral(" order by ");
    const bool byIndex = filter.all() && typesInIdOrder;
    if (!byIndex)
        sql += QLatin1Char('+');
    sql += QLatin1String(kOrderFragments.at(std::size_t(order)));
    sql += QLatin1String(byIndex ? kTiesByTypeId : kTiesByTypeRow);
    return sql;
}

// Whether MT_Type's rows stand in TypeID order, each TypeID once, as the
// program writes them; rows without a TypeID join no series and do not count.
bool typesInIdOrder(Database &db)
{
    Statement misplaced(db,
                        QStringLiteral("select 1 from MT_Type a, MT_Type b "
                                       "where a.rowid < b.rowid and not (a.TypeID < b.TypeID)"));
    return !misplaced.step();
}

// The columns of the list statement, in its order.
enum ListColumn {
    DateTimeCol,
    TypeNameCol,
    FirstTimeCol,
    AverageCol = FirstTimeCol + 12,
    BestNoCol,
    WorstNoCol,
    IdCol
};

// Copies a text of a few bytes without a call: two overlapping moves of a
// size that fits, which never read or write past either end.
inline void copyShort(char *out, const char *in, std::size_t bytes)
{
    const auto move = [&](auto word) {
        std::memcpy(&word, in, sizeof word);
        std::memcpy(out, &word, sizeof word);
        std::memcpy(&word, in + bytes - sizeof word, sizeof word);
        std::memcpy(out + bytes - sizeof word, &word, sizeof word);
    };
    if (bytes > 16)
        std::memcpy(out, in, bytes);
    else if (bytes >= 8)
        move(std::uint64_t());
    else if (bytes >= 4)
        move(std::uint32_t());
    else if (bytes >= 2)
        move(std::uint16_t());
    else if (bytes == 1)
        *out = *in;
}

// The grid column of a solve number (best or worst): number + 1, which must
// be a column of the grid.
int solveColumn(sqlite3_stmt *stmt, int col)
{
    double number = 0;
    sqlite3_value *value = sqlite3_column_value(stmt, col);
    switch (sqlite3_value_type(value)) {
        case SQLITE_NULL: throw SpinlogError(describe::invalidNull());
        case SQLITE_INTEGER: {
            const sqlite3_int64 n = sqlite3_value_int64(value);
            if (n >= 0 && n < kHistoryCols - 1)
                return int(n) + 1;
            number = double(n);
            break;
        }
        case SQLITE_FLOAT: number = sqlite3_value_double(value); break;
        default:
            number = int16FromText(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)),
                                  sqlite3_value_bytes(value)));
    }
    const double column = std::nearbyint(number) + 1;
    if (column < 0 || column >= kHistoryCols)
        throw SpinlogError(describe::invalidArgument());
    return int(column);
}

// The listed rows gathered into small batches, which stay in the processor's
// caches between the fill and the sink. The buffers keep their size between
// batches and are cut to what a batch holds only while the sink has it.
class RowBatcher {
public:
    static constexpr std::size_t kRows = 256;
    static constexpr std::size_t kCells = kRows * kHistoryCols;

    RowBatcher(HistorySink &sink, const ListColours &colours) : sink_(sink)
    {
        // The colours are 0x00BBGGRR; a missing solve is white.
        const auto opaque = [](std::uint32_t bgr) {
            return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
        };
        batch_.palette = {0, opaque(colours.plain), 0xFFFFFFFFu, opaque(colours.worst),
                          opaque(colours.best)};
        batch_.text.resize(kRows * 80);
        batch_.ends.resize(kCells);
        batch_.colours.resize(kCells);
        batch_.ids.reserve(kRows);
    }

    // Reads one row of the statement. The row exists before its cells are
    // read, so a failing field leaves a partly written row, as the list shows
    // it, its cells not reached empty.
    void addRow(sqlite3_stmt *stmt)
    {
        const std::size_t row = cell_;
        batch_.ids.push_back(sqlite3_column_int64(stmt, IdCol));
        std::uint8_t *colour = batch_.colours.data() + row;
        std::fill_n(colour, kHistoryCols, HistoryRows::None);
        try {
            add(stmt, DateTimeCol);
            add(stmt, TypeNameCol);
            for (int n = 1; n <= 12; ++n) {
                const char *time = add(stmt, FirstTimeCol + n - 1);
                colour[n + 1] =
                    time[0] == '-' && time[1] == 0 ? HistoryRows::MissingSolve : HistoryRows::Solve;
            }
            add(stmt, AverageCol);
            colour[solveColumn(stmt, WorstNoCol)] = HistoryRows::Worst;
            // Best last: a one-solve series shows its solve as the best.
            colour[solveColumn(stmt, BestNoCol)] = HistoryRows::Best;
        } catch (...) {
            while (cell_ < row + kHistoryCols) batch_.ends[cell_++] = std::uint32_t(used_);
            throw;
        }
        if (cell_ == kCells)
            flush();
    }

    void flush()
    {
        if (cell_ == 0)
            return;
        const std::size_t bytes = batch_.text.size();
        batch_.text.resize(used_);
        batch_.ends.resize(cell_);
        batch_.colours.resize(cell_);
        sink_.appendRows(batch_);
        batch_.text.resize(bytes);
        batch_.ends.resize(kCells);
        batch_.colours.resize(kCells);
        batch_.ids.clear();
        used_ = cell_ = 0;
    }

private:
    const char *add(sqlite3_stmt *stmt, int col)
    {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
        if (!text)
            throw SpinlogError(describe::invalidNull());
        const std::size_t bytes = std::strlen(text);
        if (used_ + bytes > batch_.text.size())
            batch_.text.resize(2 * (used_ + bytes));
        copyShort(batch_.text.data() + used_, text, bytes);
        used_ += bytes;
        batch_.ends[cell_++] = std::uint32_t(used_);
        return text;
    }

    HistorySink &sink_;
    HistoryRows batch_;
    std::size_t used_ = 0;  // bytes of batch_.text
    std::size_t cell_ = 0;  // cells of the batch
};

// The best of one type (bound to "?") or of every type: the shown field of
// the row with the least key. The rowid makes "of equals, the first saved"
// explicit, and with an index on the type and the key a type's best is its
// first entry there. For every type the types are walked as that index holds
// them, each TypeID the least above the one before, the series without one
// apart, and the least of their bests taken.
QString bestQuery(bool oneType, const char *shown, const char *key)
{
    // The last parameter is the DNF's number: a DNF is never a best.
    const QString dnfOut =
        QStringLiteral("and %1 is not ?%2").arg(QLatin1String(key)).arg(oneType ? 2 : 1);
    const QString order = QStringLiteral("order by %1, rowid limit 1").arg(QLatin1String(key));
    if (oneType)
        return QStringLiteral("select %1 from T_Time where TypeID=?1 %2 %3")
            .arg(QLatin1String(shown), dnfOut, order);
    return QStringLiteral(
               "with recursive ids(id) as (select (select min(TypeID) from T_Time) union all "
               "select (select min(TypeID) from T_Time where TypeID > id) from ids "
               "where id is not null) "
               "select %1 from T_Time where rowid in ("
               "select (select rowid from T_Time where TypeID=ids.id %2 %3) from ids "
               "where id is not null "
               "union all select (select rowid from T_Time where TypeID is null %2 %3)) %3")
        .arg(QLatin1String(shown), dnfOut, order);
}

// The shown text of the first row of a best-value query; "-" without one.
QString firstShown(Database &db, const QString &sql, const QVariantList &values)
{
    Statement statement(db, sql, values);
    if (!statement.step())
        return QStringLiteral("-");
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(statement.handle(), 0));
    if (!text)
        throw SpinlogError(describe::invalidNull());
    return QString::fromUtf8(text, sqlite3_column_bytes(statement.handle(), 0));
}

BestRecords bestsWhere(Database &db, const std::optional<QString> &typeId)
{
    QVariantList values;
    if (typeId)
        values << *typeId;
    values << secondsValue(kDnfHundredths);
    return {firstShown(db, bestQuery(bool(typeId), "BestTime", "BestTimeSS"), values),
            firstShown(db, bestQuery(bool(typeId), "AveTime", "AveTimeSS"), values)};
}

}  // namespace

namespace history_detail {

QString solvesTokens(const SeriesRecord &r)
{
    QStringList tokens;
    for (const std::optional<Attempt> &a : r.attempts) {
        if (a)
            tokens << attemptToken(*a);
    }
    return tokens.join(QLatin1Char(' '));
}

QString typeIdText(TypeFilter filter)
{
    if (filter.typeNumber < 0)
        throw SpinlogError(describe::invalidArgument());
    return QString::number(filter.typeNumber);
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

QVariantList rowValues(const SeriesRecord &r, bool tokens, bool imports, const QVariant &importId)
{
    QVariantList values{r.dateTime, r.typeId};
    for (const QString &time : r.times) values << time;
    values << r.aveTime << secondsValue(r.aveHundredths) << r.bestNo << r.bestTime
           << secondsValue(r.bestHundredths) << r.worstNo << r.worstTime
           << secondsValue(r.worstHundredths);
    if (imports)
        values << importId;
    if (tokens)
        values << solvesTokens(r);
    return values;
}

QString insertStatement(bool tokens, bool imports)
{
    QString columns = QStringLiteral(
        "DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, Time9, "
        "Time10, Time11, Time12, AveTime, AveTimeSS, BestTimeNo, BestTime, BestTimeSS, "
        "WorstTimeNo, WorstTime, WorstTimeSS");
    if (imports)
        columns += QStringLiteral(", ImportID");
    if (tokens)
        columns += QStringLiteral(", Solves");
    const int count = 22 + int(imports) + int(tokens);
    QStringList marks(count, QStringLiteral("?"));
    return QStringLiteral("insert into T_Time (%1) values (%2)")
        .arg(columns, marks.join(QStringLiteral(", ")));
}

}  // namespace history_detail

HistoryStore::HistoryStore(Database &db, QObject *parent)
    : QObject(parent),
      db_(db),
      tokens_(hasColumn(db, "T_Time", "Solves")),
      imports_(hasColumn(db, "T_Time", "ImportID"))
{
}

void HistoryStore::add(const SeriesRecord &r, const std::function<void()> &together)
{
    {
        Transaction transaction(db_);
        // The columns an import writes too, so one statement adds every series.
        db_.execute(insertStatement(tokens_, imports_),
                    rowValues(r, tokens_, imports_, QVariant()));
        if (together)
            together();
        transaction.commit();
    }
    emit changed();
}

int HistoryStore::list(TypeFilter filter, HistoryOrder order, const ListColours &colours,
                       HistorySink &sink) const
{
    QVariantList values;
    if (!filter.all())
        values << typeIdText(filter);
    // One type: where its row stands in MT_Type does not matter.
    Statement statement(db_, listStatement(filter, order), values);
    bool more = statement.step();
    sink.clear();
    RowBatcher batcher(sink, colours);
    int rows = 0;
    try {
        for (; more; more = statement.step()) {
            ++rows;
            batcher.addRow(statement.handle());
        }
    } catch (...) {
        batcher.flush();
        throw;
    }
    batcher.flush();
    return rows;
}

QString HistoryStore::listStatement(TypeFilter filter, HistoryOrder order) const
{
    return listQuery(filter, order, !filter.all() || typesInIdOrder(db_));
}

BestRecords HistoryStore::bests(TypeFilter filter) const
{
    if (filter.all())
        return bestsWhere(db_, std::nullopt);
    return bestsWhere(db_, typeIdText(filter));
}

BestRecords HistoryStore::bestsOfType(const QString &typeId) const
{
    return bestsWhere(db_, typeId);
}

SeriesRecord HistoryStore::series(std::int64_t id) const
{
    Recordset rs(db_, QStringLiteral("select * from T_Time where rowid=?"), {qlonglong(id)});
    if (rs.eof())
        throw SpinlogError(QStringLiteral("カレント レコードがありません。"));
    SeriesRecord r;
    const auto text = [&rs](const QString &field) {
        return rs.field(field).isNull() ? QString() : rs.text(field);
    };
    const auto hundredths = [&rs](const QString &field) {
        return std::llround(rs.field(field).toDouble() * 100);
    };
    r.dateTime = text(QStringLiteral("DateTime"));
    r.typeId = text(QStringLiteral("TypeID"));
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

void HistoryStore::update(std::int64_t id, const SeriesRecord &r)
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
    ++rewrites_;
    db_.execute(sql, values);
    emit changed();
}

void HistoryStore::remove(std::int64_t id)
{
    ++rewrites_;
    db_.execute(QStringLiteral("delete from T_Time where rowid=?"), {qlonglong(id)});
    emit changed();
}

void HistoryStore::removeListed(TypeFilter filter)
{
    ++rewrites_;
    if (filter.all())
        db_.execute(QStringLiteral("delete from T_Time"));
    else
        db_.execute(QStringLiteral("delete from T_Time where TypeID=?"), {typeIdText(filter)});
    emit changed();
}

}  // namespace spinlog
