#pragma once
// The puzzle type table as the options dialog edits it: the types shown as
// texts, the check that guards them. Whether a type has the inspection is
// kept in the settings instead, so older copies of the program still read
// MT_Type.

#include "base/shown_text.h"
#include "data/puzzle_type.h"
#include "data/type_tables.h"

#include <QString>
#include <vector>

namespace spinlog {

inline constexpr int kTypeCount = kFixedTypes;  // the five of MT_Type
// The cells' texts in the language shown (the grid is read back through
// them, in the same language).
inline QString typeIncludeText()
{
    return Text::tr("含む");
}
inline QString typeExcludeText()
{
    return Text::tr("除く");
}
inline QString typeInspectedText()
{
    return Text::tr("あり");
}
inline QString typeNotInspectedText()
{
    return Text::tr("なし");
}
inline const QString kTypeCountList = QStringLiteral("1|2|3|4|5|6|7|8|9|10|11|12");
inline QString typeCountMessage()
{
    return Text::tr("ﾍﾞｽﾄ･ﾜｰｽﾄを除く場合は、回数を3以上に設定してください");
}

// The editor's columns: TypeID under "No.", name, count, best/worst,
// inspection.
enum TypeColumn { IdColumn, NameColumn, CountColumn, BestWorstColumn, InspectionColumn };
inline constexpr int kTypeColumns = 5;

// A type's text in a column, and a column's text taken into the type.
QString typeCellText(const PuzzleType &type, int column);
void setTypeCell(PuzzleType &type, int column, const QString &text);

// The index of the first type that leaves out the best and worst solve with
// a count below 3, or -1. Each count up to that type must be a number,
// whatever its rule: throws otherwise.
int firstFailingType(const std::vector<PuzzleType> &types);

}  // namespace spinlog
