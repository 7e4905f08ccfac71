#include "data/type_solves.h"

#include "data/database.h"
#include "data/history_detail.h"
#include "data/history_order.h"
#include "data/scramble_code.h"
#include "data/solve_table.h"

#include <sqlite3.h>

#include <QStringList>
#include <algorithm>

namespace spinlog {

using namespace history_detail;

namespace {

Penalty penaltyOf(int stored)
{
    return stored == 1 ? Penalty::PlusTwo : stored == 2 ? Penalty::Dnf : Penalty::None;
}

QString scrambleOf(sqlite3_stmt *stmt, int col)
{
    if (sqlite3_column_type(stmt, col) == SQLITE_BLOB)
        return scrambleFromCode(
            QByteArrayView(static_cast<const char *>(sqlite3_column_blob(stmt, col)),
                           sqlite3_column_bytes(stmt, col)));
    return textOf(stmt, col);
}

std::vector<std::int64_t> splitsOf(const QString &text)
{
    std::vector<std::int64_t> splits;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        splits.push_back(part.toLongLong());
    return splits;
}

}  // namespace

TypeSolveWalk::TypeSolveWalk(Database &db, const TypeId &type, bool lastFirst, bool wholeSeries)
    : lastFirst_(lastFirst), wholeSeries_(wholeSeries), tokens_(hasTokens(db))
{
    const QString direction = lastFirst ? QStringLiteral(" desc") : QString();
    const bool keys = hasSolveTable(db);
    if (keys)
        keyed_ = std::make_unique<Statement>(
            db,
            QStringLiteral("select SolveID, TimeMs, Penalty, Moment, Scramble, Comment, Splits, "
                           "[No] from T_Solve where TypeID=? order by Moment%1, SolveID%1")
                .arg(direction),
            QVariantList{type.text()});
    else
        keyedDone_ = true;
    older_ = std::make_unique<Statement>(
        db,
        QStringLiteral("select rowid, DateTime, Time1, Time2, Time3, Time4, Time5, Time6, Time7, "
                       "Time8, Time9, Time10, Time11, Time12%1 from T_Time where TypeID=?%2 "
                       "order by DateTime%3, rowid%3")
            .arg(tokens_ ? QStringLiteral(", Solves") : QString(),
                 keys ? QStringLiteral(" and SeriesKey is null") : QString(), direction),
        QVariantList{type.text()});
}

TypeSolveWalk::~TypeSolveWalk() = default;

bool TypeSolveWalk::readKeyed()
{
    if (!keyed_->step()) {
        keyedDone_ = true;
        return false;
    }
    ++rowsRead_;
    sqlite3_stmt *stmt = keyed_->handle();
    WalkedSolve s;
    const std::int64_t id = sqlite3_column_int64(stmt, 0);
    s.series = id / kSolvesPerKey;
    s.place = int(id % kSolvesPerKey);
    const std::int64_t ms = sqlite3_column_int64(stmt, 1);
    s.attempt = Attempt{hundredthsOfMs(ms), penaltyOf(sqlite3_column_int(stmt, 2))};
    s.moment = sqlite3_column_int64(stmt, 3);
    s.details.moment = s.moment;
    s.details.rawMs = ms;
    s.details.scramble = scrambleOf(stmt, 4);
    s.details.comment = textOf(stmt, 5);
    s.details.splits = splitsOf(textOf(stmt, 6));
    s.inSeries = sqlite3_column_type(stmt, 7) != SQLITE_NULL;
    keyedSolve_ = std::move(s);
    return true;
}

bool TypeSolveWalk::fillOlder()
{
    sqlite3_stmt *stmt = older_->handle();
    while (older_->step()) {
        ++rowsRead_;
        std::array<QString, 12> times;
        for (int n = 0; n < 12; ++n) times[std::size_t(n)] = textOf(stmt, 2 + n);
        const std::vector<std::optional<Attempt>> attempts =
            attemptsOf(times, tokens_ ? textOf(stmt, 14) : QString());
        const std::optional<std::int64_t> moment = calendar_.momentOf(textField(stmt, 1));
        const bool whole =
            moment && std::all_of(attempts.begin(), attempts.end(),
                                  [](const std::optional<Attempt> &a) { return a.has_value(); });
        if (wholeSeries_ && (!whole || attempts.empty())) {
            ++skipped_;
            continue;
        }
        const std::int64_t row = sqlite3_column_int64(stmt, 0);
        for (std::size_t i = 0; i < attempts.size(); ++i) {
            WalkedSolve s;
            s.moment = moment.value_or(kUndated);
            s.series = kOlderSeries + row;
            s.place = int(i) + 1;
            s.attempt = attempts[i];
            s.details.moment = s.moment;
            olderSolves_.push_back(std::move(s));
        }
        // The next one last.
        if (!lastFirst_)
            std::reverse(olderSolves_.begin(), olderSolves_.end());
        if (!olderSolves_.empty())
            return true;
    }
    olderDone_ = true;
    return false;
}

bool TypeSolveWalk::before(const WalkedSolve &a, const WalkedSolve &b) const
{
    const SolvePlace x{a.moment, a.series, a.place}, y{b.moment, b.series, b.place};
    return lastFirst_ ? doneBefore(y, x) : doneBefore(x, y);
}

bool TypeSolveWalk::next(WalkedSolve &solve)
{
    if (!keyedSolve_ && !keyedDone_)
        readKeyed();
    if (olderSolves_.empty() && !olderDone_)
        fillOlder();
    const bool older = !olderSolves_.empty();
    if (!keyedSolve_ && !older)
        return false;
    if (keyedSolve_ && (!older || before(*keyedSolve_, olderSolves_.back()))) {
        solve = std::move(*keyedSolve_);
        keyedSolve_.reset();
        return true;
    }
    solve = std::move(olderSolves_.back());
    olderSolves_.pop_back();
    return true;
}

}  // namespace spinlog
