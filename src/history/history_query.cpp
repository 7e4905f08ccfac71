#include "history/history_query.h"

#include "app/errors.h"
#include "app/number_text.h"
#include "app/settings.h"
#include "data/database.h"

#include <sqlite3.h>

#include <array>
#include <cstring>
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

// A shown field must hold a value. One call into the engine per field: each
// call takes the connection's lock, which a long list notices.
QString fieldText(sqlite3_stmt *stmt, int col, TextPool *pool)
{
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    if (!text)
        throw SpinlogError(describe::invalidNull());
    const int bytes = int(std::strlen(text));
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
            number = int16FromText(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)),
                                  sqlite3_column_bytes(stmt, col)));
    }
    const double column = std::nearbyint(number) + 1;
    if (column < 0 || column >= kHistoryCols)
        throw SpinlogError(describe::invalidArgument());
    return int(column);
}

// The row with the least sort key seen so far, and the text it shows.
class Least {
public:
    Least(int keyCol, int shownCol) : keyCol_(keyCol), shownCol_(shownCol) {}

    void consider(sqlite3_stmt *stmt)
    {
        const int type = sqlite3_column_type(stmt, keyCol_);
        const int rank = rankOf(type);
        double number = 0;
        const char *bytes = nullptr;
        int size = 0;
        if (rank == 1) {
            number = sqlite3_column_double(stmt, keyCol_);
        } else if (rank > 1) {
            bytes = static_cast<const char *>(
                rank == 2 ? static_cast<const void *>(sqlite3_column_text(stmt, keyCol_))
                          : sqlite3_column_blob(stmt, keyCol_));
            size = sqlite3_column_bytes(stmt, keyCol_);
        }
        if (found_ && !less(rank, number, bytes, size))
            return;
        found_ = true;
        rank_ = rank;
        number_ = number;
        bytes_ = QByteArray(bytes, size);
        shownNull_ = sqlite3_column_type(stmt, shownCol_) == SQLITE_NULL;
        if (!shownNull_)
            shown_ = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(stmt, shownCol_)),
                sqlite3_column_bytes(stmt, shownCol_));
    }

    QString shown() const
    {
        if (!found_)
            return QStringLiteral("-");
        if (shownNull_)
            throw SpinlogError(describe::invalidNull());
        return shown_;
    }

private:
    static int rankOf(int type)
    {
        switch (type) {
            case SQLITE_NULL: return 0;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT: return 1;
            case SQLITE_TEXT: return 2;
            default: return 3;
        }
    }

    // Strictly less only: of equal keys the first one stays.
    bool less(int rank, double number, const char *bytes, int size) const
    {
        if (rank != rank_)
            return rank < rank_;
        if (rank == 0)
            return false;
        if (rank == 1)
            return number < number_;
        const int common = std::min(size, int(bytes_.size()));
        const int order =
            common > 0 ? std::memcmp(bytes, bytes_.constData(), std::size_t(common)) : 0;
        return order < 0 || (order == 0 && size < bytes_.size());
    }

    int keyCol_, shownCol_;
    bool found_ = false;
    int rank_ = 0;
    double number_ = 0;
    QByteArray bytes_;
    QString shown_;
    bool shownNull_ = false;
};

}  // namespace

BoundStatement historyListQuery(int typePosition, int orderPosition)
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
    if (orderPosition >= 0 && orderPosition < kHistoryOrders)
        s.sql += QLatin1String(kOrderFragments[std::size_t(orderPosition)]);
    return s;
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
    QString sql = QStringLiteral("select BestTime, BestTimeSS, AveTime, AveTimeSS from T_Time");
    QVariantList values;
    if (typePosition != 0) {
        values << typeIdText(typePosition);
        sql += QStringLiteral(" where TypeID=?");
    }
    Statement statement(db, sql, values);
    Least bestSingle(1, 0);
    Least bestAverage(3, 2);
    while (statement.step()) {
        bestSingle.consider(statement.handle());
        bestAverage.consider(statement.handle());
    }
    BestRecords best;
    best.bestTime = bestSingle.shown();
    best.bestAverage = bestAverage.shown();
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
    const std::uint32_t defColour = settings.color(Setting::DefColor);
    const std::uint32_t worstColour = settings.color(Setting::WorstColor);
    const std::uint32_t bestColour = settings.color(Setting::BestColor);
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
