#include "data/history_list.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/time_values.h"
#include "data/database.h"
#include "data/type_tables.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

namespace spinlog {

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
// apart, which costs more than one sort of the whole list. The rows of the
// types after the fifth stand after MT_Type's.
constexpr const char *kTiesByTypeId = ", T_Time.TypeID, T_Time.rowid";

// The list statement: only the shown fields and the row's id, since the
// engine sorts whole result rows and narrower rows list a long history about
// a third faster.
QString listQuery(const TypeFilter &filter, HistoryOrder order, bool typesInIdOrder,
                  const TypeRows &types)
{
    QString sql = QStringLiteral(
                      "select DateTime, TypeNm, Time1, Time2, Time3, Time4, Time5, Time6, Time7, "
                      "Time8, Time9, Time10, Time11, Time12, AveTime, BestTimeNo, WorstTimeNo, "
                      "T_Time.rowid from T_Time, %1 where T_Time.TypeID=Types.TypeID ")
                      .arg(types.from);
    if (!filter.all())
        sql += QStringLiteral("and T_Time.TypeID=?");
    sql += QStringLiteral(" order by ");
    const bool byIndex = filter.all() && typesInIdOrder;
    if (!byIndex)
        sql += QLatin1Char('+');
    sql += QLatin1String(kOrderFragments.at(std::size_t(order)));
    sql += byIndex ? QLatin1String(kTiesByTypeId)
                   : QStringLiteral(", %1, T_Time.rowid").arg(types.rowExpr);
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

    explicit RowBatcher(HistorySink &sink) : sink_(sink)
    {
        batch_.text.resize(kRows * 80);
        batch_.ends.resize(kCells);
        batch_.marks.resize(kCells);
        batch_.ids.reserve(kRows);
    }

    // Reads one row of the statement. The row exists before its cells are
    // read, so a failing field leaves a partly written row, as the list shows
    // it, its cells not reached empty.
    void addRow(sqlite3_stmt *stmt)
    {
        const std::size_t row = cell_;
        batch_.ids.push_back(sqlite3_column_int64(stmt, IdCol));
        std::uint8_t *mark = batch_.marks.data() + row;
        std::fill_n(mark, kHistoryCols, HistoryRows::None);
        try {
            add(stmt, DateTimeCol);
            add(stmt, TypeNameCol);
            for (int n = 1; n <= 12; ++n) {
                const char *time = add(stmt, FirstTimeCol + n - 1);
                mark[n + 1] =
                    time[0] == '-' && time[1] == 0 ? HistoryRows::MissingSolve : HistoryRows::Solve;
            }
            add(stmt, AverageCol);
            mark[solveColumn(stmt, WorstNoCol)] = HistoryRows::Worst;
            // Best last: a one-solve series shows its solve as the best.
            mark[solveColumn(stmt, BestNoCol)] = HistoryRows::Best;
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
        batch_.marks.resize(cell_);
        sink_.appendRows(batch_);
        batch_.text.resize(bytes);
        batch_.ends.resize(kCells);
        batch_.marks.resize(kCells);
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

int HistoryList::list(const TypeFilter &filter, HistoryOrder order, HistorySink &sink) const
{
    QVariantList values;
    if (!filter.all())
        values << filter.type().text();
    // One type: where its row stands in MT_Type does not matter.
    Statement statement(db_, listStatement(filter, order), values);
    bool more = statement.step();
    sink.clear();
    RowBatcher batcher(sink);
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

QString HistoryList::listStatement(const TypeFilter &filter, HistoryOrder order) const
{
    return listQuery(filter, order, !filter.all() || typesInIdOrder(db_), everyTypeRow(db_));
}

BestRecords HistoryList::bests(const TypeFilter &filter) const
{
    if (filter.all())
        return bestsWhere(db_, std::nullopt);
    return bestsWhere(db_, filter.type().text());
}

}  // namespace spinlog
