#pragma once
// The puzzle type table of the options dialog: five types edited in a grid
// with a fixed "No." column, checked and written back to MT_Type on OK.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QFont;

namespace spinlog {

class Database;
class Grid;
class Program;

inline constexpr int kTypeCount = 5;
inline const QString kTypeInclude = QStringLiteral("含む");
inline const QString kTypeExclude = QStringLiteral("除く");
inline const QString kTypeCountList = QStringLiteral("1|2|3|4|5|6|7|8|9|10|11|12");
inline const QString kTypeCountMessage =
    QStringLiteral("ﾍﾞｽﾄ･ﾜｰｽﾄを除く場合は、回数を3以上に設定してください");

// One type as the grid shows it: the texts of columns 0 to 3.
struct TypeRow {
    QString id;
    QString name;
    QString count;
    QString bestWorst;  // kTypeInclude or kTypeExclude
};

// Reads the first five types in TypeID order, handing each over as soon as it
// is read; a table with fewer throws at the first missing one, after the
// earlier rows were handed over.
void readTypeRows(Database &db, const std::function<void(int index, const TypeRow &)> &take);

// The index of the first row that leaves out the best and worst solve with a
// count below 3, or -1. Each count up to that row must be a number, whatever
// its best/worst setting: throws otherwise.
int firstFailingTypeRow(const std::vector<TypeRow> &rows);

// Replaces every row of MT_Type with the given rows, numbered from 1 in their
// order. One transaction: a failure leaves the previous table as it was.
void rewriteTypes(Database &db, const std::vector<TypeRow> &rows);

// The grid side: layout, fill, the editors it opens, the check and the rewrite.
class TypeEditor : public QObject {
    Q_OBJECT
public:
    TypeEditor(Program &program, Grid &grid, QObject *parent = nullptr);

    // Sets up the columns with widths measured in the font, fills the five
    // rows and makes row 1's name current. Throws on a load failure, leaving
    // the rows read so far in the grid.
    void setupAndFill(const QFont &font);
    // True when the rows pass; otherwise shows the message and puts the focus
    // on the failing row's count cell. Throws for a count that is not a number.
    bool check();
    // Writes the grid's five rows to MT_Type.
    void rewrite();

    std::vector<TypeRow> rows() const;

private:
    void vsFlex_Click();
    void vsFlex_BeforeEdit(int row, int col, bool *cancel);

    Program &program_;
    Grid &grid_;
};

}  // namespace spinlog
