#include "options/ui/type_editor.h"

#include "app/program.h"
#include "data/database.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QFont>
#include <QFontMetrics>

namespace spinlog {

TypeEditor::TypeEditor(Program &program, Grid &grid, QObject *parent)
    : QObject(parent), program_(program), grid_(grid)
{
    grid_.setCols(4);
    grid_.setFixedCols(1);
    grid_.setRows(1 + kTypeCount);
    connect(&grid_, &Grid::gridClicked, this, &TypeEditor::vsFlex_Click);
    connect(&grid_, &Grid::beforeEdit, this, &TypeEditor::vsFlex_BeforeEdit);
}

void TypeEditor::setupAndFill(const QFont &font)
{
    for (int col = 0; col < 4; ++col) grid_.setFixedAlignment(col, Qt::AlignCenter);
    grid_.setColAlignment(0, Qt::AlignCenter);
    grid_.setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    grid_.setColAlignment(2, Qt::AlignCenter);
    grid_.setColAlignment(3, Qt::AlignCenter);

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

    grid_.setTextMatrix(0, 0, QStringLiteral("No."));
    grid_.setTextMatrix(0, 1, QStringLiteral("名前"));
    grid_.setTextMatrix(0, 2, QStringLiteral("回数"));
    grid_.setTextMatrix(0, 3, QStringLiteral("ﾍﾞｽﾄ･ﾜｰｽﾄ"));

    PuzzleTypeStore(program_.db()).readFive([this](int index, const PuzzleType &stored) {
        const TypeRow type = typeRowOf(stored);
        const int row = index + 1;
        grid_.setTextMatrix(row, 0, type.id);
        grid_.setTextMatrix(row, 1, type.name);
        grid_.setTextMatrix(row, 2, type.count);
        grid_.setTextMatrix(row, 3, type.bestWorst);
    });

    grid_.setRow(1);
    grid_.setCol(1);
}

bool TypeEditor::check()
{
    const int failing = firstFailingTypeRow(rows());
    if (failing < 0)
        return true;
    program_.services.prompts.message(kTypeCountMessage, Icon::Exclamation, Buttons::Ok);
    grid_.selectCell(failing + 1, 2);
    return false;
}

void TypeEditor::rewrite()
{
    std::vector<PuzzleType> types;
    for (const TypeRow &row : rows()) types.push_back(puzzleTypeOf(row));
    PuzzleTypeStore(program_.db()).rewrite(types);
}

std::vector<TypeRow> TypeEditor::rows() const
{
    std::vector<TypeRow> rows;
    for (int row = 1; row <= kTypeCount; ++row) {
        rows.push_back({grid_.textMatrix(row, 0), grid_.textMatrix(row, 1),
                        grid_.textMatrix(row, 2), grid_.textMatrix(row, 3)});
    }
    return rows;
}

void TypeEditor::vsFlex_Click()
{
    const int col = grid_.col();
    if (col >= 1 && col <= 3)
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
        default: break;
    }
}

}  // namespace spinlog
