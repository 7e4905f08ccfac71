#include "options/type_editor.h"

#include "app/errors.h"
#include "app/program.h"
#include "data/database.h"
#include "app/number_text.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QFont>
#include <QFontMetrics>

namespace spinlog {

void readTypeRows(Database &db, const std::function<void(int index, const TypeRow &)> &take)
{
    Recordset rs(db, QStringLiteral("select * from MT_Type order by TypeID"));
    // Exactly five, without looking for the end: a short table fails on the
    // first missing record, which the caller reports.
    for (int i = 0; i < kTypeCount; ++i) {
        TypeRow row;
        row.id = rs.text(QStringLiteral("TypeID"));
        row.name = rs.text(QStringLiteral("TypeNm"));
        row.count = rs.text(QStringLiteral("TypeCnt"));
        // Anything but "1", an empty field included, leaves best and worst out.
        const QVariant bw = rs.field(QStringLiteral("TypeBW"));
        row.bestWorst =
            !bw.isNull() && bw.toString() == QStringLiteral("1") ? kTypeInclude : kTypeExclude;
        take(i, row);
        rs.moveNext();
    }
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

void rewriteTypes(Database &db, const std::vector<TypeRow> &rows)
{
    Transaction transaction(db);
    db.execute(QStringLiteral("delete from MT_Type"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TableAppender type(db, QStringLiteral("MT_Type"));
        type.set(QStringLiteral("TypeID"), int(i + 1));
        type.set(QStringLiteral("TypeNm"), rows[i].name);
        type.set(QStringLiteral("TypeCnt"), rows[i].count);
        type.set(QStringLiteral("TypeBW"),
                 rows[i].bestWorst == kTypeInclude ? QStringLiteral("1") : QStringLiteral("0"));
        type.update();
    }
    transaction.commit();
}

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

    readTypeRows(program_.db(), [this](int index, const TypeRow &type) {
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
    rewriteTypes(program_.db(), rows());
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
