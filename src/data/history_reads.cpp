#include "data/history_reads.h"

#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_order.h"
#include "data/solve_table.h"
#include "data/type_tables.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace spinlog {

using namespace history_detail;

namespace {

// The columns of an older copy's series the statistics read, Time1 to
// Time12 from the fourth on.
constexpr const char *kOlderColumns =
    "select rowid, TypeID, DateTime, Time1, Time2, Time3, Time4, Time5, Time6, Time7, Time8, "
    "Time9, Time10, Time11, Time12 from T_Time ";

}  // namespace

void HistoryChart::rows(const TypeFilter &filter, QStringList &typeNames,
                        const std::function<void(const ChartRow &)> &take) const
{
    // The join of the history list done here: the engine would sort the whole
    // table and, for the join, visit it once per type through the TypeID index
    // (three times slower over 100 000 series). A series whose TypeID has no
    // type row is left out, one with several rows comes once per row, as in
    // the list. The types in TypeID order, as the history's order has them.
    std::vector<std::optional<QByteArray>> typeIds;  // nothing: NULL, equal to nothing
    typeNames.clear();
    {
        Statement types(db_, QStringLiteral("select TypeID, TypeNm from %1 order by TypeID")
                                 .arg(everyTypeRow(db_).from));
        while (types.step()) {
            typeIds.push_back(sqlite3_column_type(types.handle(), 0) == SQLITE_NULL
                                  ? std::nullopt
                                  : std::optional(textField(types.handle(), 0).toByteArray()));
            typeNames.append(QString::fromUtf8(textField(types.handle(), 1)));
        }
    }
    QVariantList values;
    const QString sql =
        QStringLiteral("select DateTime, TypeID, AveTimeSS, BestTimeSS from T_Time") +
        typeCondition(filter, values);
    Statement statement(db_, sql, values);
    sqlite3_stmt *stmt = statement.handle();
    // The rows of a type mostly follow each other: its entries are looked up
    // again only when the type changes, not among a hundred types each row.
    std::optional<QByteArray> lastType;
    std::vector<int> lastEntries;
    while (statement.step()) {
        if (sqlite3_column_type(stmt, 1) == SQLITE_NULL)
            continue;
        const QByteArrayView typeId = textField(stmt, 1);
        if (!lastType || typeId != QByteArrayView(*lastType)) {
            lastType = typeId.toByteArray();
            lastEntries.clear();
            for (std::size_t t = 0; t < typeIds.size(); ++t)
                if (typeIds[t] && QByteArrayView(*typeIds[t]) == typeId)
                    lastEntries.push_back(int(t));
        }
        ChartRow row{textField(stmt, 0), 0, hundredthsField(stmt, 2), hundredthsField(stmt, 3)};
        for (const int t : lastEntries) {
            row.typeIndex = t;
            take(row);
        }
    }
}

HistorySolves::HistorySolves(Database &db) : db_(db), keys_(hasSolveTable(db)) {}

void HistorySolves::olderSeries(const QString &where, const QVariantList &values,
                                const std::function<void(const CountedSolve &)> &take) const
{
    Statement statement(db_, QLatin1String(kOlderColumns) + where, values);
    sqlite3_stmt *stmt = statement.handle();
    LocalCalendar calendar;
    CountedSolve solve;
    while (statement.step()) {
        ++rowsRead_;
        solve.typeId = textField(stmt, 1);
        solve.moment = calendar.momentOf(textField(stmt, 2)).value_or(kUndated);
        solve.series = kOlderSeries + sqlite3_column_int64(stmt, 0);
        for (int n = 0; n < 12; ++n) {
            const QByteArrayView text = textField(stmt, 3 + n);
            if (text.size() == 1 && text.front() == '-')
                continue;
            solve.place = n + 1;
            solve.counted =
                countedFromUtf8(std::string_view(text.data(), std::size_t(text.size())));
            take(solve);
        }
    }
}

namespace {

// The TypeIDs T_Solve holds, each found by one step of its index.
std::vector<QByteArray> solveTypes(Database &db)
{
    std::vector<QByteArray> types;
    Statement first(db, QStringLiteral("select min(TypeID) from T_Solve"));
    if (!first.step() || sqlite3_column_type(first.handle(), 0) == SQLITE_NULL)
        return types;
    types.push_back(textField(first.handle(), 0).toByteArray());
    Statement next(db, QStringLiteral("select min(TypeID) from T_Solve where TypeID > ?"),
                   QVariantList(1));
    for (;;) {
        sqlite3_stmt *stmt = next.handle();
        sqlite3_reset(stmt);
        const QByteArray &last = types.back();
        sqlite3_bind_text(stmt, 1, last.constData(), int(last.size()), SQLITE_TRANSIENT);
        if (!next.step() || sqlite3_column_type(stmt, 0) == SQLITE_NULL)
            return types;
        types.push_back(textField(stmt, 0).toByteArray());
    }
}

// One type's solves by their moment, from the index alone. The index puts
// solves done at the same moment (an older copy's series, dated by its save)
// in the order of their times: those are put back in the order of their
// SolveIDs, their series' and places' order.
class TypeCursor {
public:
    TypeCursor(std::unique_ptr<Statement> statement, QByteArray typeId)
        : statement_(std::move(statement)), typeId_(std::move(typeId))
    {
        haveAhead_ = read(ahead_);
    }

    bool step()
    {
        if (++at_ < tied_.size()) {
            current_ = tied_[at_];
            return true;
        }
        tied_.clear();
        if (!haveAhead_)
            return false;
        current_ = ahead_;
        haveAhead_ = read(ahead_);
        if (haveAhead_ && ahead_.solve.moment == current_.solve.moment) {
            tied_.push_back(current_);
            do tied_.push_back(ahead_);
            while ((haveAhead_ = read(ahead_)) && ahead_.solve.moment == current_.solve.moment);
            std::sort(tied_.begin(), tied_.end(),
                      [](const Row &a, const Row &b) { return a.id < b.id; });
            at_ = 0;
            current_ = tied_.front();
        }
        return true;
    }
    const CountedSolve &solve() const { return current_.solve; }
    std::int64_t id() const { return current_.id; }

private:
    struct Row {
        std::int64_t id = 0;
        CountedSolve solve;
    };

    bool read(Row &row)
    {
        if (!statement_->step())
            return false;
        sqlite3_stmt *stmt = statement_->handle();
        row.id = sqlite3_column_int64(stmt, 0);
        CountedSolve &solve = row.solve;
        solve.series = row.id / kSolvesPerKey;
        solve.place = int(row.id % kSolvesPerKey);
        solve.typeId = typeId_;
        const int penalty = sqlite3_column_int(stmt, 2);
        const std::int64_t hundredths = hundredthsOfMs(sqlite3_column_int64(stmt, 1));
        solve.counted = penalty == 2   ? Counted::dnfResult()
                        : penalty == 1 ? Counted{hundredths + kPlusTwoHundredths, false}
                                       : Counted{hundredths, false};
        solve.moment = sqlite3_column_int64(stmt, 3);
        return true;
    }

    std::unique_ptr<Statement> statement_;
    QByteArray typeId_;
    Row current_, ahead_;
    bool haveAhead_ = false;
    std::vector<Row> tied_;  // of one moment, in SolveID order
    std::size_t at_ = 0;
};

}  // namespace

void HistorySolves::all(const std::function<void(const CountedSolve &)> &take) const
{
    // An older copy's series were mostly done before any with solves.
    olderSeries(keys_ ? QStringLiteral("where SeriesKey is null order by rowid")
                      : QStringLiteral("order by rowid"),
                {}, take);
    if (!keys_)
        return;
    // A cursor per type over the counted index, merged by moment: the solves
    // come in the order they were done and no row is read.
    std::vector<std::optional<QByteArray>> types{std::nullopt};  // NULL first
    for (QByteArray &typeId : solveTypes(db_)) types.emplace_back(std::move(typeId));
    std::vector<TypeCursor> cursors;
    for (std::optional<QByteArray> &typeId : types) {
        const QString select = QStringLiteral(
            "select SolveID, TimeMs, Penalty, Moment from T_Solve where TypeID %1 order by Moment");
        TypeCursor cursor(
            typeId ? std::make_unique<Statement>(db_, select.arg(QStringLiteral("= ?")),
                                                 QVariantList{QString::fromUtf8(*typeId)})
                   : std::make_unique<Statement>(db_, select.arg(QStringLiteral("is null"))),
            typeId.value_or(QByteArray()));
        if (cursor.step())
            cursors.push_back(std::move(cursor));
    }
    // A heap of the cursors, the one whose solve was done first on top.
    const auto later = [&cursors](std::size_t a, std::size_t b) {
        const TypeCursor &x = cursors[a], &y = cursors[b];
        const std::int64_t xMoment = x.solve().moment, yMoment = y.solve().moment;
        return xMoment != yMoment ? xMoment > yMoment : x.id() > y.id();
    };
    std::vector<std::size_t> heap(cursors.size());
    for (std::size_t i = 0; i < heap.size(); ++i) heap[i] = i;
    std::make_heap(heap.begin(), heap.end(), later);
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        TypeCursor &cursor = cursors[heap.back()];
        ++rowsRead_;
        take(cursor.solve());
        if (cursor.step())
            std::push_heap(heap.begin(), heap.end(), later);
        else
            heap.pop_back();
    }
}

std::int64_t HistorySolves::solvesAbout() const
{
    // Rowids are given upwards from 1: the greatest is at least the count of
    // series, most of five solves.
    Statement last(db_, QStringLiteral("select max(rowid) from T_Time"));
    return last.step() ? 5 * sqlite3_column_int64(last.handle(), 0) : 0;
}

void HistorySolves::ofSeries(const std::vector<std::int64_t> &ids,
                             const std::function<void(const CountedSolve &)> &take) const
{
    for (const std::int64_t id : ids) {
        std::int64_t key = -1;
        QByteArray typeId;
        if (keys_) {
            Statement series(db_,
                             QStringLiteral("select SeriesKey, TypeID from T_Time where rowid=?"),
                             {qlonglong(id)});
            if (!series.step())
                continue;
            if (sqlite3_column_type(series.handle(), 0) != SQLITE_NULL)
                key = sqlite3_column_int64(series.handle(), 0);
        }
        if (key < 0) {
            olderSeries(QStringLiteral("where rowid=?"), {qlonglong(id)}, take);
            continue;
        }
        for (const StoredSolve &stored : solvesOfSeries(db_, key)) {
            ++rowsRead_;
            typeId = stored.typeId.text().toUtf8();
            CountedSolve solve;
            solve.moment = stored.details.moment.value_or(0);
            solve.series = key;
            solve.place = stored.no;
            solve.typeId = typeId;
            solve.counted = stored.attempt.counted();
            take(solve);
        }
    }
}

void HistorySolves::lastDone(const TypeId &type,
                             const std::function<bool(const CountedSolve &)> &take) const
{
    TypeSolveWalk walk(db_, type, true, false);
    const QByteArray typeId = type.text().toUtf8();
    WalkedSolve walked;
    CountedSolve solve;
    solve.typeId = typeId;
    while (walk.next(walked)) {
        solve.moment = walked.moment;
        solve.series = walked.series;
        solve.place = walked.place;
        solve.counted = walked.attempt ? std::optional(walked.attempt->counted()) : std::nullopt;
        if (!take(solve))
            break;
    }
    rowsRead_ += walk.rowsRead();
}

int HistoryExport::solves(const TypeId &type,
                          const std::function<void(const ExportedSolve &)> &take) const
{
    TypeSolveWalk walk(db_, type, false, true);
    WalkedSolve walked;
    ExportedSolve solve;
    while (walk.next(walked)) {
        solve.attempt = *walked.attempt;
        solve.details = std::move(walked.details);
        solve.inSeries = walked.inSeries;
        solve.series = walked.series;
        take(solve);
    }
    return walk.skipped();
}

}  // namespace spinlog
