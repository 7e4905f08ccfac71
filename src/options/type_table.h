#pragma once
// The puzzle type table as the options dialog edits it: five rows of texts,
// the check that guards them and their form in MT_Type. Whether a type has
// the inspection is kept in the settings instead, so older copies of the
// program still read MT_Type.

#include "data/puzzle_type_store.h"

#include <QString>
#include <vector>

namespace spinlog {

inline constexpr int kTypeCount = 5;
inline const QString kTypeInclude = QStringLiteral("含む");
inline const QString kTypeExclude = QStringLiteral("除く");
inline const QString kTypeInspected = QStringLiteral("あり");
inline const QString kTypeNotInspected = QStringLiteral("なし");
inline const QString kTypeCountList = QStringLiteral("1|2|3|4|5|6|7|8|9|10|11|12");
inline const QString kTypeCountMessage =
    QStringLiteral("ﾍﾞｽﾄ･ﾜｰｽﾄを除く場合は、回数を3以上に設定してください");

// One type as the editor shows it: the texts of its five columns.
struct TypeRow {
    QString id;
    QString name;
    QString count;
    QString bestWorst;                    // kTypeInclude or kTypeExclude
    QString inspection = kTypeInspected;  // or kTypeNotInspected; not in MT_Type
};

TypeRow typeRowOf(const PuzzleType &type);
PuzzleType puzzleTypeOf(const TypeRow &row);

// The index of the first row that leaves out the best and worst solve with a
// count below 3, or -1. Each count up to that row must be a number, whatever
// its best/worst setting: throws otherwise.
int firstFailingTypeRow(const std::vector<TypeRow> &rows);

}  // namespace spinlog
