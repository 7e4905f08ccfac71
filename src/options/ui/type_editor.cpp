#include "options/ui/type_editor.h"

#include "base/seams.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QFont>
#include <QFontMetrics>

namespace spinlog {

TypeEditor::TypeEditor(std::vector<PuzzleType> &types, int read, Grid &grid, QObject *parent)
    : QObject(parent), types_(types), read_(read), grid_(grid)
{
    grid_.setCols(kTypeColumns);
    grid_.setFixedCols(1);
    grid_.setRows(1 + kTypeCount);
    connect(&grid_, &Grid::gridClicked, this, &TypeEditor::vsFlex_Click);
    connect(&grid_, &Grid::beforeEdit, this, &TypeEditor::vsFlex_BeforeEdit);
    connect(&grid_, &Grid::cellEdited, this, &TypeEditor::vsFlex_Edited);
}

void TypeEditor::setupAndShow(const QFont &font)
{
    for (int col = 0; col < 5; ++col) grid_.setFixedAlignment(col, Qt::AlignCenter);
    grid_.setColAlignment(0, Qt::AlignCenter);
    grid_.setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    grid_.setColAlignment(2, Qt::AlignCenter);
    grid_.setColAlignment(3, Qt::AlignCenter);
    grid_.setColAlignment(4, Qt::AlignCenter);

    // Widths in full-width characters of the dialog's font, so the columns
    // follow that font.
    const QFontMetrics metrics(font);
    const auto chars = [&](int n) {
        return int(twipsFromPx(metrics.horizontalAdvance(QString(n, QChar(0x3042)))));
    };
    grid_.setColWidth(0, chars(2));
    grid_.setColWidth(1, chars(8));
    grid_.setColWidth(2, chars(4));
    grid_.setColWidth(3, chars(6));
    grid_.setColWidth(4, chars(6));

    grid_.setTextMatrix(0, 0, QStringLiteral("No."));
    grid_.setTextMatrix(0, 1, QStringLiteral("名前"));
    grid_.setTextMatrix(0, 2, QStringLiteral("回数"));
    grid_.setTextMatrix(0, 3, QStringLiteral("ﾍﾞｽﾄ･ﾜｰｽﾄ"));
    grid_.setTextMatrix(0, 4, QStringLiteral("ｲﾝｽﾍﾟｸｼｮﾝ"));
    // Types a failed load did not reach show empty texts, their inspection
    // as the settings choose it.
    for (int row = 1; row <= int(types_.size()); ++row) {
        for (int col = 0; col < kTypeColumns; ++col) {
            const bool shown = row <= read_ || col == InspectionColumn;
            grid_.setTextMatrix(
                row, col, shown ? typeCellText(types_[std::size_t(row - 1)], col) : QString());
        }
    }
    grid_.setRow(1);
    grid_.setCol(1);
}

bool TypeEditor::check(Prompts &prompts)
{
    const int failing = firstFailingType(types_);
    if (failing < 0)
        return true;
    prompts.message(kTypeCountMessage, Icon::Exclamation, Buttons::Ok);
    grid_.selectCell(failing + 1, CountColumn);
    return false;
}

void TypeEditor::vsFlex_Click()
{
    const int col = grid_.col();
    if (col >= 1 && col <= 4)
        grid_.editCell();
}

void TypeEditor::vsFlex_BeforeEdit(int, int col, bool *)
{
    switch (col) {
        case 0: grid_.setComboList(QString()); break;
        case 1:
            grid_.setComboList(QString());
            grid_.setEditMaxLength(20);
            break;
        case 2: grid_.setComboList(kTypeCountList); break;
        case 3: grid_.setComboList(kTypeInclude + QLatin1Char('|') + kTypeExclude); break;
        case 4: grid_.setComboList(kTypeInspected + QLatin1Char('|') + kTypeNotInspected); break;
        default: break;
    }
}

void TypeEditor::vsFlex_Edited(int row, int col, const QString &text)
{
    if (row < 1 || row > int(types_.size()))
        return;
    setTypeCell(types_[std::size_t(row - 1)], col, text);
}

}  // namespace spinlog
