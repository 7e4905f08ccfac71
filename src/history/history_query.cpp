#include "history/history_query.h"

#include "app/errors.h"
#include "app/program.h"
#include "data/database.h"
#include "history/history_numbers.h"

#include <sqlite3.h>

#include <array>
#include <string>
#include <unordered_map>

namespace spinlog {

namespace {

// Fixed texts only: the order never comes from outside this table.
constexpr std::array<const char *, kHistoryOrders> kOrderFragments = {
    "DateTime", "DateTime desc", "AveTimeSS", "AveTimeSS desc"};

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

// The list reads the same few time texts over and over; sharing one QString
// per distinct text keeps 100 000 listed series to a fraction of the memory.
class TextPool {
public:
    QString get(const char *utf8, int bytes)
    {
        if (bytes > 15)  // beyond the short-string buffer: not worth a key
            return QString::fromUtf8(utf8, bytes);
        key_.assign(utf8, std::size_t(bytes));
        auto found = pool_.find(key_);
        if (found != pool_.end())
            return found->second;
        QString text = QString::fromUtf8(utf8, bytes);
        if (pool_.size() < kMaxEntries)
            pool_.emplace(key_, text);
        return text;
    }

private:
    static constexpr std::size_t kMaxEntries = 1 << 16;
    std::string key_;
    std::unordered_map<std::string, QString> pool_;
};

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

// A shown field must hold a value.
QString fieldText(sqlite3_stmt *stmt, int col, TextPool *pool)
{
    if (sqlite3_column_type(stmt, col) == SQLITE_NULL)
        throw SpinlogError(describe::invalidNull());
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    const int bytes = sqlite3_column_bytes(stmt, col);
    return pool ? pool->get(text, bytes) : QString::fromUtf8(text, bytes);
}

// The grid column of a solve number (best or worst): number + 1, which must
// be a column of the grid.
int solveColumn(sqlite3_stmt *stmt, int col)
{
    double number = 0;
    switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_NULL: throw SpinlogError(describe::invalidNull());
        case SQLITE_INTEGER: number = double(sqlite3_column_int64(stmt, col)); break;
        case SQLITE_FLOAT: number = sqlite3_column_double(stmt, col); break;
        default:
            number = positionFromText(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)),
                                  sqlite3_column_bytes(stmt, col)));
    }
    const double column = std::nearbyint(number) + 1;
    if (column < 0 || column >= kHistoryCols)
        throw SpinlogError(describe::invalidArgument());
    return int(column);
}

}  // namespace

BoundStatement historyListQuery(int typePosition, int orderPosition)
{
    BoundStatement s;
    s.sql = QStringLiteral("select * from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID ");
    if (typePosition != 0) {
        s.values << typeIdText(typePosition);
        s.sql += QStringLiteral("and T_Time.TypeID=?");
    }
    s.sql += QStringLiteral(" order by ");
    // Any other position leaves the order out, and the engine refuses the text.
    if (orderPosition >= 0 && orderPosition < kHistoryOrders)
        s.sql += QLatin1String(kOrderFragments[std::size_t(orderPosition)]);
    return s;
}

std::optional<QString> historyTypeFilter(int typePosition)
{
    if (typePosition == 0)
        return std::nullopt;
    return typeIdText(typePosition);
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

int fillHistory(Database &db, const BoundStatement &query, const SettingsValues &settings,
                HistorySink &sink)
{
    Statement statement(db, query.sql, query.values);
    sqlite3_stmt *stmt = statement.handle();
    bool more = statement.step();
    sink.clear();
    if (!more)
        return 0;

    const ListColumns c = listColumns(stmt);
    const std::uint32_t defColour = colourFromText(settings.DefColor);
    const std::uint32_t worstColour = colourFromText(settings.WorstColor);
    const std::uint32_t bestColour = colourFromText(settings.BestColor);
    const QString missing = QStringLiteral("-");

    constexpr int kBatchRows = 2048;
    TextPool pool;
    QStringList texts;
    std::vector<std::uint32_t> colours;
    auto flush = [&] {
        if (texts.isEmpty())
            return;
        sink.appendRows(texts, colours);
        texts.clear();
        colours.clear();
    };
    texts.reserve(kBatchRows * kHistoryCols);
    colours.reserve(std::size_t(kBatchRows) * kHistoryCols);

    int rows = 0;
    try {
        while (more) {
            // The row exists before its cells are read, so a failing field
            // leaves a partly written row, as the list shows it.
            const qsizetype base = texts.size();
            texts.resize(base + kHistoryCols);
            colours.resize(std::size_t(base) + kHistoryCols, kNoColour);
            ++rows;
            QString *cell = texts.data() + base;
            std::uint32_t *colour = colours.data() + base;

            cell[0] = fieldText(stmt, c.dateTime, nullptr);
            cell[1] = fieldText(stmt, c.typeName, &pool);
            for (int n = 1; n <= 12; ++n) {
                cell[n + 1] = fieldText(stmt, c.times[std::size_t(n - 1)], &pool);
                colour[n + 1] = cell[n + 1] == missing ? kMissingSolveColour : defColour;
            }
            cell[kHistoryAverageCol] = fieldText(stmt, c.average, &pool);
            colour[solveColumn(stmt, c.worstNo)] = worstColour;
            // Best last: a one-solve series shows its solve as the best.
            colour[solveColumn(stmt, c.bestNo)] = bestColour;

            if (texts.size() >= kBatchRows * kHistoryCols)
                flush();
            more = statement.step();
        }
    } catch (...) {
        flush();
        throw;
    }
    flush();
    return rows;
}

}  // namespace spinlog
