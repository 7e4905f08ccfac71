#include "data/solve_table.h"

#include "data/attempt_columns.h"
#include "data/database.h"
#include "data/scramble_code.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QStringList>

namespace spinlog {

namespace {

const char *const kCreateTable =
    "CREATE TABLE IF NOT EXISTS T_Solve (SolveID INTEGER PRIMARY KEY, TypeID TEXT, [No] "
    "INTEGER, TimeMs INTEGER, Penalty INTEGER, Moment INTEGER, Scramble, Comment TEXT, "
    "Splits TEXT, ImportID TEXT)";
// The statistics' "current" and an import's duplicates look solves up by
// type and moment. With the counted fields in it the index also gives the
// statistics every solve without reading the rows: a third of their pages,
// as a row holds its scramble. It replaces the narrower index of the first
// files with solves. The series without solves (an older copy's) are found
// by an index that holds only them: none once every series has its solves.
const char *const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS T_Solve_Counted ON T_Solve (TypeID, Moment, TimeMs, Penalty)",
    "DROP INDEX IF EXISTS T_Solve_TypeID_Moment",
    "CREATE INDEX IF NOT EXISTS T_Time_WithoutSolves ON T_Time (SeriesKey) WHERE SeriesKey "
    "IS NULL",
};
// Whoever deletes a series (an older copy too) deletes its solves.
const char *const kDeleteTrigger =
    "CREATE TRIGGER IF NOT EXISTS T_Time_DeleteSolves AFTER DELETE ON T_Time "
    "WHEN old.SeriesKey IS NOT NULL BEGIN DELETE FROM T_Solve WHERE SolveID BETWEEN "
    "old.SeriesKey * 16 AND old.SeriesKey * 16 + 15; END";

// Whoever writes a series' texts anew (an older copy's penalty too) writes
// each solve's penalty as its text says it: "DNF", a time ending in "+", or
// a plain time. The raw time does not change with a penalty.
QString penaltyTrigger()
{
    QStringList cases, columns;
    for (int n = 1; n <= 12; ++n) {
        cases << QStringLiteral("WHEN %1 THEN new.Time%1").arg(n);
        columns << QStringLiteral("Time%1").arg(n);
    }
    const QString text = QStringLiteral("(CASE [No] %1 END)").arg(cases.join(QLatin1Char(' ')));
    return QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS T_Time_SolvePenalties AFTER UPDATE OF %1 ON T_Time "
               "WHEN new.SeriesKey IS NOT NULL BEGIN UPDATE T_Solve SET Penalty = CASE WHEN %2 = "
               "'DNF' THEN 2 WHEN %2 LIKE '%+' THEN 1 ELSE 0 END WHERE SolveID BETWEEN "
               "new.SeriesKey * 16 + 1 AND new.SeriesKey * 16 + 12; END")
        .arg(columns.join(QStringLiteral(", ")), text);
}

void addColumn(Database &db, const char *table, const char *column, const char *type)
{
    if (!hasColumn(db, table, column))
        db.execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                       .arg(QLatin1String(table), QLatin1String(column), QLatin1String(type)));
}

QString splitsText(const std::vector<std::int64_t> &splits)
{
    QStringList texts;
    for (const std::int64_t ms : splits) texts << QString::number(ms);
    return texts.join(QLatin1Char(' '));
}

std::vector<std::int64_t> splitsOf(const QString &text)
{
    std::vector<std::int64_t> splits;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qlonglong ms = part.toLongLong(&ok);
        if (ok)
            splits.push_back(ms);
    }
    return splits;
}

void bindText(sqlite3_stmt *stmt, int at, const QString &text)
{
    if (text.isEmpty()) {
        sqlite3_bind_null(stmt, at);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

}  // namespace

bool addSolveTable(Database &db) noexcept
{
    try {
        Transaction transaction(db);
        addColumn(db, "W_Time", "Moment", "INTEGER");
        addColumn(db, "W_Time", "Scramble", "TEXT");
        addColumn(db, "W_Time", "Comment", "TEXT");
        addColumn(db, "T_Time", "SeriesKey", "INTEGER");
        db.execute(QLatin1String(kCreateTable));
        for (const char *sql : kIndexes) db.execute(QLatin1String(sql));
        db.execute(QLatin1String(kDeleteTrigger));
        db.execute(penaltyTrigger());
        transaction.commit();
        return true;
    } catch (...) {
        return false;
    }
}

bool hasSolveTable(Database &db)
{
    Statement table(db, QStringLiteral("select 1 from sqlite_master where type='table' and "
                                       "name='T_Solve'"));
    return table.step() && hasColumn(db, "T_Time", "SeriesKey");
}

SolveInserter::SolveInserter(Database &db)
    : db_(db),
      insert_(std::make_unique<Statement>(
          db,
          QStringLiteral("insert into T_Solve (SolveID, TypeID, [No], TimeMs, Penalty, Moment, "
                         "Scramble, Comment, Splits, ImportID) values "
                         "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          QVariantList(10)))
{
}

SolveInserter::~SolveInserter() = default;

std::int64_t SolveInserter::newKey()
{
    if (lastKey_ < 0) {
        // The greatest key in use, plus one: a series with a key has solves
        // under it. A deleted series' key may come again: its solves went
        // with it, so nothing is found under it.
        Statement solves(db_, QStringLiteral("select max(SolveID) from T_Solve"));
        solves.step();
        lastKey_ = sqlite3_column_int64(solves.handle(), 0) / kSolvesPerKey;
    }
    return ++lastKey_;
}

void SolveInserter::add(std::int64_t key, int place, bool inSeries, const TypeId &type,
                        const Attempt &attempt, const SolveDetails &details,
                        const QString &importId)
{
    sqlite3_stmt *stmt = insert_->handle();
    sqlite3_reset(stmt);
    // The series' key is the SolveID's (a sixteenth of it): a place marks
    // a solve of a series.
    sqlite3_bind_int64(stmt, 1, key * kSolvesPerKey + place);
    const QByteArray &typeId = type_(type.text());
    sqlite3_bind_text(stmt, 2, typeId.constData(), int(typeId.size()), SQLITE_STATIC);
    if (inSeries)
        sqlite3_bind_int(stmt, 3, place);
    else
        sqlite3_bind_null(stmt, 3);
    sqlite3_bind_int64(stmt, 4, details.rawMs.value_or(attempt.raw * 10));
    sqlite3_bind_int(stmt, 5, int(attempt.penalty));
    sqlite3_bind_int64(stmt, 6, details.moment.value_or(0));
    const QVariant scramble = storedScramble(details.scramble);
    if (scramble.isNull()) {
        sqlite3_bind_null(stmt, 7);
    } else if (scramble.typeId() == QMetaType::QByteArray) {
        const QByteArray code = scramble.toByteArray();
        sqlite3_bind_blob(stmt, 7, code.constData(), int(code.size()), SQLITE_TRANSIENT);
    } else {
        bindText(stmt, 7, details.scramble);
    }
    bindText(stmt, 8, details.comment);
    bindText(stmt, 9, splitsText(details.splits));
    if (importId.isEmpty()) {
        sqlite3_bind_null(stmt, 10);
    } else {
        const QByteArray &mark = importId_(importId);
        sqlite3_bind_text(stmt, 10, mark.constData(), int(mark.size()), SQLITE_STATIC);
    }
    insert_->step();
}

const QByteArray &SolveInserter::Utf8Of::operator()(const QString &from)
{
    if (from != text || utf8.isNull()) {
        text = from;
        utf8 = from.toUtf8();
    }
    return utf8;
}

std::vector<StoredSolve> solvesOfSeries(Database &db, std::int64_t key)
{
    std::vector<StoredSolve> solves;
    Statement rows(
        db,
        QStringLiteral("select SolveID, TypeID, [No], TimeMs, Penalty, Moment, Scramble, "
                       "Comment, Splits, ImportID from T_Solve where SolveID between ? "
                       "and ? order by SolveID"),
        {qlonglong(key * kSolvesPerKey), qlonglong(key * kSolvesPerKey + 15)});
    sqlite3_stmt *stmt = rows.handle();
    const auto text = [stmt](int col) {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
        return t ? QString::fromUtf8(t, sqlite3_column_bytes(stmt, col)) : QString();
    };
    while (rows.step()) {
        StoredSolve s;
        s.id = sqlite3_column_int64(stmt, 0);
        s.typeId = TypeId(text(1));
        // A place only for a solve of the series.
        if (sqlite3_column_type(stmt, 2) != SQLITE_NULL)
            s.seriesKey = s.id / kSolvesPerKey;
        s.no = sqlite3_column_int(stmt, 2);
        const std::int64_t ms = sqlite3_column_int64(stmt, 3);
        const int penalty = sqlite3_column_int(stmt, 4);
        s.attempt = {hundredthsOfMs(ms), penalty == 1   ? Penalty::PlusTwo
                                         : penalty == 2 ? Penalty::Dnf
                                                        : Penalty::None};
        s.details.rawMs = ms;
        s.details.moment = sqlite3_column_int64(stmt, 5);
        if (sqlite3_column_type(stmt, 6) == SQLITE_BLOB)
            s.details.scramble = scrambleFromCode(
                QByteArrayView(static_cast<const char *>(sqlite3_column_blob(stmt, 6)),
                               sqlite3_column_bytes(stmt, 6)));
        else
            s.details.scramble = text(6);
        s.details.comment = text(7);
        s.details.splits = splitsOf(text(8));
        s.importId = text(9);
        solves.push_back(std::move(s));
    }
    return solves;
}

std::optional<std::int64_t> localMoment(const QString &dateTime)
{
    const QDateTime date = QDateTime::fromString(dateTime, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!date.isValid())
        return std::nullopt;
    return date.toMSecsSinceEpoch();
}

}  // namespace spinlog
