#include "options/type_table.h"

#include "base/errors.h"
#include "base/number_text.h"

namespace spinlog {

QString typeCellText(const PuzzleType &type, int column)
{
    switch (column) {
        case IdColumn: return type.id.text();
        case NameColumn: return type.name;
        case CountColumn: return type.storedCount;
        case BestWorstColumn: return type.countsBestWorst() ? typeIncludeText() : typeExcludeText();
        case InspectionColumn: return type.inspected ? typeInspectedText() : typeNotInspectedText();
        default: return QString();
    }
}

void setTypeCell(PuzzleType &type, int column, const QString &text)
{
    switch (column) {
        case NameColumn: type.name = text; break;
        case CountColumn:
            type.storedCount = text;
            type.seriesLength = seriesLengthOf(text);
            break;
        case BestWorstColumn:
            type.average = text == typeIncludeText() ? AverageRule::CountBestWorst
                                                     : AverageRule::LeaveOutBestWorst;
            break;
        case InspectionColumn: type.inspected = text != typeNotInspectedText(); break;
        default: break;
    }
}

int firstFailingType(const std::vector<PuzzleType> &types)
{
    for (std::size_t i = 0; i < types.size(); ++i) {
        const auto count = numberFromText(types[i].storedCount);
        if (!count)
            throw SpinlogError(describe::typeMismatch());
        if (!types[i].countsBestWorst() && *count < 3)
            return int(i);
    }
    return -1;
}

}  // namespace spinlog
