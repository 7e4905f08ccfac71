#pragma once
// The puzzle type table of the options dialog: five types edited in a grid
// with a fixed "No." column, checked and written back to MT_Type on OK.

#include "options/type_table.h"

#include <QObject>
#include <vector>

class QFont;

namespace spinlog {

class Grid;
class Program;

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
