#pragma once
// What the history's writer and reads share: the tokens column's values, a
// filter's TypeID, the solves of a stored row, the insert of a series.

#include "base/attempts.h"
#include "data/records.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct sqlite3_stmt;

namespace spinlog {
class Database;
}

namespace spinlog::history_detail {

// Whether the file has the column for raw times and penalties (Solves), and
// the one that marks imported series (ImportID).
bool hasTokens(Database &db);
bool hasImports(Database &db);

// The kept tokens of a series' solves, slot by slot; empty without any.
QString solvesTokens(const SeriesRecord &r);
// " where TypeID=?" and its value for a one-type filter; nothing for every type.
QString typeCondition(const TypeFilter &filter, QVariantList &values,
                      const char *joiner = " where ");
// Each solve's raw time and penalty: the kept tokens when there is one for
// every solve shown; otherwise what each display text says.
std::vector<std::optional<Attempt>> attemptsOf(const std::array<QString, 12> &times,
                                               const QString &tokenText);
// The columns a file has beside those of every copy.
struct SeriesColumns {
    bool tokens = false;   // Solves: raw times and penalties
    bool imports = false;  // ImportID: the mark of the import that added a row
    bool keys = false;     // SeriesKey: the key of the series' solves in T_Solve
};
SeriesColumns seriesColumns(Database &db);
// A saved series' insert: every column a series has, and those of the
// columns the file has; its values in the same order.
QString insertStatement(const SeriesColumns &columns);
QVariantList rowValues(const SeriesRecord &r, const SeriesColumns &columns,
                       const QVariant &importId, const QVariant &key);
// A text column as a QString; null for NULL.
QString textOf(sqlite3_stmt *stmt, int col);
// A text column as the statement holds it; a null view for NULL.
QByteArrayView textField(sqlite3_stmt *stmt, int col);
// A seconds column as hundredths; nothing unless it holds a number.
std::optional<std::int64_t> hundredthsField(sqlite3_stmt *stmt, int col);

}  // namespace spinlog::history_detail
