#pragma once
// What the history store's files share: the tokens column's
// values, the filter's TypeID, the solves of a stored row.

#include "base/attempts.h"
#include "base/time_values.h"
#include "data/history_store.h"

#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct sqlite3_stmt;

namespace spinlog::history_detail {

// The kept tokens of a series' solves, slot by slot; empty without any.
QString solvesTokens(const SeriesRecord &r);
// The TypeID text of a one-type filter.
QString typeIdText(TypeFilter filter);
// Each solve's raw time and penalty: the kept tokens when there is one for
// every solve shown; otherwise what each display text says.
std::vector<std::optional<Attempt>> attemptsOf(const std::array<QString, 12> &times,
                                               const QString &tokenText);
// A saved series' insert: every column a series has, ImportID (IMPORTS) and
// Solves (TOKENS) when the file has them; its values in the same order.
QString insertStatement(bool tokens, bool imports);
QVariantList rowValues(const SeriesRecord &r, bool tokens, bool imports, const QVariant &importId);
// A text column as a QString; null for NULL.
QString textOf(sqlite3_stmt *stmt, int col);

}  // namespace spinlog::history_detail
