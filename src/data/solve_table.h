#pragma once
// T_Solve, a row for every solve: of a saved series (its T_Time row carries
// the series' key in SeriesKey, the solve its place in [No]) or without one
// (the last solves of an imported session that fill no series: no [No]).
// Its SolveID is the key times 16 plus the solve's place, so a series'
// solves are one range of the table's own order and need no index; a key
// is never given twice. A series with solves keeps their raw times in them
// alone (its T_Time.Solves stays empty). Rows an older copy of the program
// writes to T_Time have no key and no solves. Two triggers keep the solves
// with their series whoever changes T_Time: a deleted series takes its
// solves along, a penalty written into a series' texts reaches its solves.
// The compaction's export copies both. (The first files with solves also
// kept the key in each row, T_Solve.SeriesKey: no longer read or written.)
//
// W_Time gains each solve's moment, scramble and comment, so a crash
// between a solve and its save loses neither.

#include "data/records.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <vector>

namespace spinlog {

class Database;
class Statement;

inline constexpr std::int64_t kSolvesPerKey = 16;

// Adds what a file lacks of the above, all or nothing. A file where it cannot
// be added (read-only, a full disk) stays as it was and false comes back:
// the stores then work as an older copy does. Never throws.
bool addSolveTable(Database &db) noexcept;
// Whether the file has T_Solve and T_Time's key.
bool hasSolveTable(Database &db);

// A solve as T_Solve keeps it.
struct StoredSolve {
    std::int64_t id = 0;
    std::optional<std::int64_t> seriesKey;  // none: a solve without a series
    TypeId typeId;
    int no = 0;            // its place in its series; 0 without one
    Attempt attempt;       // raw hundredths (the ms cut) and the penalty
    SolveDetails details;  // rawMs and moment always set
    QString importId;
};

// The hundredths a time in ms counts as: cut, as timers show them.
inline std::int64_t hundredthsOfMs(std::int64_t ms)
{
    return ms / 10;
}

// Writes T_Solve rows, one statement prepared once, inside the caller's
// transaction.
class SolveInserter {
public:
    explicit SolveInserter(Database &db);
    ~SolveInserter();
    SolveInserter(const SolveInserter &) = delete;
    SolveInserter &operator=(const SolveInserter &) = delete;

    // A key no series and no solve has had (the greatest ever given, plus one).
    std::int64_t newKey();
    // Solve `place` (1 to 15) of the key; inSeries: the key is a series'.
    void add(std::int64_t key, int place, bool inSeries, const TypeId &type, const Attempt &attempt,
             const SolveDetails &details, const QString &importId);

private:
    // A text bound as UTF-8, converted once while it stays the same: an
    // import gives every solve the same type and mark.
    struct Utf8Of {
        const QByteArray &operator()(const QString &text);
        QString text;
        QByteArray utf8;
    };

    Database &db_;
    std::unique_ptr<Statement> insert_;
    std::int64_t lastKey_ = -1;
    Utf8Of type_, importId_;
};

// The solves of the series with this key, in place order.
std::vector<StoredSolve> solvesOfSeries(Database &db, std::int64_t key);

// The ms since the epoch of a DateTime text read as local time; nothing when
// it is no such text.
std::optional<std::int64_t> localMoment(const QString &dateTime);

}  // namespace spinlog
