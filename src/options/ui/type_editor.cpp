#include "options/ui/type_editor.h"

#include "base/seams.h"
#include "base/shown_text.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QFont>
#include <QFontMetrics>
#include <algorithm>

namespace spinlog {

TypeEditor::TypeEditor(OptionsValue &value, TypeRecords records, Grid &grid, Prompts &prompts,
                       QObject *parent)
    : QObject(parent), value_(value), records_(std::move(records)), grid_(grid), prompts_(prompts)
{
    grid_.setCols(kTypeColumns);
    grid_.setFixedCols(1);
    grid_.setRows(1 + int(value_.types.size()));
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
    grid_.setTextMatrix(0, 1, Text::tr("名前"));
    grid_.setTextMatrix(0, 2, Text::tr("回数"));
    grid_.setTextMatrix(0, 3, Text::tr("ﾍﾞｽﾄ･ﾜｰｽﾄ"));
    grid_.setTextMatrix(0, 4, Text::tr("ｲﾝｽﾍﾟｸｼｮﾝ"));
    showTypes();
    grid_.setRow(1);
    grid_.setCol(1);
}

void TypeEditor::showTypes()
{
    grid_.setRows(1 + int(value_.types.size()));
    // Of the five, types a failed load did not reach show empty texts, their
    // inspection as the settings choose it.
    for (int row = 1; row <= int(value_.types.size()); ++row) {
        const bool read = row <= value_.typesRead || row > kTypeCount;
        for (int col = 0; col < kTypeColumns; ++col) {
            const bool shown = read || col == InspectionColumn;
            grid_.setTextMatrix(
                row, col,
                shown ? typeCellText(value_.types[std::size_t(row - 1)], col) : QString());
        }
    }
}

void TypeEditor::addType()
{
    grid_.finishEditing();
    if (const std::optional<QString> refused = spinlog::addType(value_, records_)) {
        prompts_.message(*refused, Icon::Exclamation, Buttons::Ok);
        return;
    }
    showTypes();
    grid_.selectCell(int(value_.types.size()), NameColumn);
}

void TypeEditor::removeCurrentType()
{
    grid_.finishEditing();
    const int row = grid_.row();
    if (const std::optional<QString> refused = spinlog::removeType(value_, row - 1, records_)) {
        prompts_.message(*refused, Icon::Exclamation, Buttons::Ok);
        return;
    }
    showTypes();
    grid_.selectCell(std::min(row, int(value_.types.size())), NameColumn);
}

bool TypeEditor::check(Prompts &prompts)
{
    const int failing = firstFailingType(value_.types);
    if (failing < 0)
        return true;
    prompts.message(typeCountMessage(), Icon::Exclamation, Buttons::Ok);
    grid_.selectCell(failing + 1, CountColumn);
    return false;
}

void TypeEditor::vsFlex_Click()
{
    const int col = grid_.col();
    if (col >= 1 && col <= 4)
        grid_.editCell();
}

void TypeEditor::vsFlex_BeforeEdit(int row, int col, bool *)
{
    switch (col) {
        case 0: grid_.setComboList(QString()); break;
        case 1:
            grid_.setComboList(QString());
            // Typing stops at 20 characters; a longer name an import gave
            // is not cut by opening its cell.
            grid_.setEditMaxLength(
                row >= 1 && row <= int(value_.types.size())
                    ? std::max(20, int(value_.types[std::size_t(row - 1)].name.size()))
                    : 20);
            break;
        case 2: grid_.setComboList(kTypeCountList); break;
        case 3: grid_.setComboList(typeIncludeText() + QLatin1Char('|') + typeExcludeText()); break;
        case 4:
            grid_.setComboList(typeInspectedText() + QLatin1Char('|') + typeNotInspectedText());
            break;
        default: break;
    }
}

void TypeEditor::vsFlex_Edited(int row, int col, const QString &text)
{
    if (row < 1 || row > int(value_.types.size()))
        return;
    setTypeCell(value_.types[std::size_t(row - 1)], col, text);
}

}  // namespace spinlog
