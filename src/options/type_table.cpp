#include "options/type_table.h"

#include "base/errors.h"
#include "base/number_text.h"

namespace spinlog {

TypeRow typeRowOf(const PuzzleType &type)
{
    // Anything but "1", an empty field included, leaves best and worst out.
    return {type.id, type.name, type.count,
            includesBestWorst(type.bestWorst) ? kTypeInclude : kTypeExclude};
}

PuzzleType puzzleTypeOf(const TypeRow &row)
{
    return {row.id, row.name, row.count,
            row.bestWorst == kTypeInclude ? QStringLiteral("1") : QStringLiteral("0")};
}

int firstFailingTypeRow(const std::vector<TypeRow> &rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto count = numberFromText(rows[i].count);
        if (!count)
            throw SpinlogError(describe::typeMismatch());
        if (rows[i].bestWorst == kTypeExclude && *count < 3)
            return int(i);
    }
    return -1;
}

}  // namespace spinlog
