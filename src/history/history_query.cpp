#include "history/history_query.h"

#include "app/errors.h"
#include "app/number_text.h"
#include "app/settings.h"
#include "data/database.h"
#include "data/puzzle_type_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

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
// apart, which costs more than one sort of the whole list.
constexpr const char *kTiesByTypeId = ", T_Time.TypeID, T_Time.rowid";
constexpr const char *kTiesByTypeRow = ", MT_Type.rowid, T_Time.rowid";

QString typeIdText(int typePosition)
{
    if (typePosition < 0)
        throw SpinlogError(describe::invalidArgument());
    return QString::number(typePosition);
}

QString itemNotFound()
{
    return QStringLiteral("このコレクションには項目がありません。");
}

// The columns of one list row, looked up by name once per query.
struct ListColumns {
    int dateTime, typeName, average, bestNo, worstNo;
    std::array<int, 12> times;
};

int columnIndex(sqlite3_stmt *stmt, const char *name)
{
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(stmt, i), name) == 0)
            return i;
    }
    throw SpinlogError(itemNotFound());
}

ListColumns listColumns(sqlite3_stmt *stmt)
{
    ListColumns c{};
    c.dateTime = columnIndex(stmt, "DateTime");
    c.typeName = columnIndex(stmt, "TypeNm");
    for (int n = 1; n <= 12; ++n)
        c.times[std::size_t(n - 1)] = columnIndex(stmt, ("Time" + std::to_string(n)).c_str());
    c.average = columnIndex(stmt, "AveTime");
    c.bestNo = columnIndex(stmt, "BestTimeNo");
    c.worstNo = columnIndex(stmt, "WorstTimeNo");
    return c;
}

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

// The best of one type (bound to "?") or of every type: the shown field of
// the row with the least key. The rowid makes "of equals, the first saved"
// explicit, and with an index on the type and the key a type's best is its
// first entry there. For every type the types are walked as that index holds
// them, each TypeID the least above the one before, the series without one
// apart, and the least of their bests taken.
QString bestQuery(bool oneType, const char *shown, const char *key)
{
    const QString order = QStringLiteral("order by %1, rowid limit 1").arg(QLatin1String(key));
    if (oneType)
        return QStringLiteral("select %1 from T_Time where TypeID=? %2")
            .arg(QLatin1String(shown), order);
    return QStringLiteral(
               "with recursive ids(id) as (select (select min(TypeID) from T_Time) union all "
               "select (select min(TypeID) from T_Time where TypeID > id) from ids "
               "where id is not null) "
               "select %1 from T_Time where rowid in ("
               "select (select rowid from T_Time where TypeID=ids.id %2) from ids "
               "where id is not null "
               "union all select (select rowid from T_Time where TypeID is null %2)) %2")
        .arg(QLatin1String(shown), order);
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

}  // namespace

BoundStatement historyListQuery(int typePosition, int orderPosition, bool typesInIdOrder)
{
    BoundStatement s;
    // Only the shown fields: the engine sorts whole result rows, and the
    // narrower rows make a long history list about a third faster.
    s.sql = QStringLiteral(
        "select DateTime, TypeNm, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, "
        "Time9, Time10, Time11, Time12, AveTime, BestTimeNo, WorstTimeNo "
        "from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID ");
    if (typePosition != 0) {
        s.values << typeIdText(typePosition);
        s.sql += QStringLiteral("and T_Time.TypeID=?");
    }
    s.sql += QStringLiteral(" order by ");
    // Any other position leaves the order out, and the engine refuses the text.
    if (orderPosition >= 0 && orderPosition < kHistoryOrders) {
        const bool byIndex = typePosition == 0 && typesInIdOrder;
        if (!byIndex)
            s.sql += QLatin1Char('+');
        s.sql += QLatin1String(kOrderFragments[std::size_t(orderPosition)]);
        s.sql += QLatin1String(byIndex ? kTiesByTypeId : kTiesByTypeRow);
    }
    return s;
}

BoundStatement historyListQuery(Database &db, int typePosition, int orderPosition)
{
    if (typePosition != 0)  // one type: where its row stands does not matter
        return historyListQuery(typePosition, orderPosition, false);
    // Rows without a TypeID join no series and do not count.
    Statement misplaced(db,
                        QStringLiteral("select 1 from MT_Type a, MT_Type b "
                                       "where a.rowid < b.rowid and not (a.TypeID < b.TypeID)"));
    return historyListQuery(typePosition, orderPosition, !misplaced.step());
}

BoundStatement deleteRecordStatement(const QString &dateTime)
{
    return {QStringLiteral("delete from T_Time where DateTime=?"), {dateTime}};
}

BoundStatement deleteListedStatement(int typePosition)
{
    if (typePosition == 0)
        return {QStringLiteral("delete from T_Time"), {}};
    return {QStringLiteral("delete from T_Time where TypeID=?"), {typeIdText(typePosition)}};
}

BestRecords historyBests(Database &db, int typePosition)
{
    QVariantList values;
    if (typePosition != 0)
        values << typeIdText(typePosition);
    BestRecords best;
    best.bestTime = firstShown(db, bestQuery(typePosition != 0, "BestTime", "BestTimeSS"), values);
    best.bestAverage = firstShown(db, bestQuery(typePosition != 0, "AveTime", "AveTimeSS"), values);
    return best;
}

int fillHistory(Database &db, const BoundStatement &query, const Settings &settings,
                HistorySink &sink)
{
    Statement statement(db, query.sql, query.values);
    sqlite3_stmt *stmt = statement.handle();
    bool more = statement.step();
    sink.clear();
    if (!more)
        return 0;

    const ListColumns c = listColumns(stmt);
    // The settings hold 0x00BBGGRR; a missing solve is white.
    const auto opaque = [](std::uint32_t bgr) {
        return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
    };
    HistoryRows batch;
    batch.palette = {0, opaque(settings.color(Setting::DefColor)), 0xFFFFFFFFu,
                     opaque(settings.color(Setting::WorstColor)),
                     opaque(settings.color(Setting::BestColor))};

    // Small batches stay in the processor's caches between fill and sink. The
    // buffers keep their size between batches and are cut to what a batch
    // holds only while the sink has it.
    constexpr std::size_t kBatchCells = 256 * kHistoryCols;
    batch.text.resize(256 * 80);
    batch.ends.resize(kBatchCells);
    batch.colours.resize(kBatchCells);
    std::size_t used = 0;  // bytes of batch.text
    std::size_t cell = 0;  // cells of the batch
    auto flush = [&] {
        if (cell == 0)
            return;
        const std::size_t bytes = batch.text.size();
        batch.text.resize(used);
        batch.ends.resize(cell);
        batch.colours.resize(cell);
        sink.appendRows(batch);
        batch.text.resize(bytes);
        batch.ends.resize(kBatchCells);
        batch.colours.resize(kBatchCells);
        used = cell = 0;
    };
    auto add = [&](int col) {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
        if (!text)
            throw SpinlogError(describe::invalidNull());
        const std::size_t bytes = std::strlen(text);
        if (used + bytes > batch.text.size())
            batch.text.resize(2 * (used + bytes));
        copyShort(batch.text.data() + used, text, bytes);
        used += bytes;
        batch.ends[cell++] = std::uint32_t(used);
        return text;
    };

    int rows = 0;
    std::size_t rowEnd = 0;  // the cell after the row being read, 0 between rows
    try {
        while (more) {
            // The row exists before its cells are read, so a failing field
            // leaves a partly written row, as the list shows it.
            const std::size_t row = cell;
            rowEnd = row + kHistoryCols;
            ++rows;
            std::uint8_t *colour = batch.colours.data() + row;
            std::fill_n(colour, kHistoryCols, HistoryRows::None);

            add(c.dateTime);
            add(c.typeName);
            for (int n = 1; n <= 12; ++n) {
                const char *time = add(c.times[std::size_t(n - 1)]);
                colour[n + 1] =
                    time[0] == '-' && time[1] == 0 ? HistoryRows::MissingSolve : HistoryRows::Solve;
            }
            add(c.average);
            colour[solveColumn(stmt, c.worstNo)] = HistoryRows::Worst;
            // Best last: a one-solve series shows its solve as the best.
            colour[solveColumn(stmt, c.bestNo)] = HistoryRows::Best;

            rowEnd = 0;
            if (cell == kBatchCells)
                flush();
            more = statement.step();
        }
    } catch (...) {
        // The cells not reached stay empty.
        while (cell < rowEnd) batch.ends[cell++] = std::uint32_t(used);
        flush();
        throw;
    }
    flush();
    return rows;
}

}  // namespace spinlog
