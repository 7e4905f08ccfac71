#pragma once
// The puzzle type table of the options dialog: five types shown in a grid
// with a fixed "No." column. The types are the dialog's value; the grid shows
// them and every edit goes back into them.

#include "options/type_table.h"

#include <QObject>
#include <vector>

class QFont;

namespace spinlog {

class Grid;
class Prompts;

class TypeEditor : public QObject {
    Q_OBJECT
public:
    // types: the value's types, which must outlive the editor; the first
    // `read` of them were read from MT_Type, the rest show empty texts.
    TypeEditor(std::vector<PuzzleType> &types, int read, Grid &grid, QObject *parent = nullptr);

    // Sets up the columns with widths measured in the font, shows the types
    // and makes row 1's name current.
    void setupAndShow(const QFont &font);
    // True when the types pass; otherwise shows the message and puts the
    // focus on the failing row's count cell. Throws for a count that is not a
    // number.
    bool check(Prompts &prompts);

private:
    void vsFlex_Click();
    void vsFlex_BeforeEdit(int row, int col, bool *cancel);
    void vsFlex_Edited(int row, int col, const QString &text);

    std::vector<PuzzleType> &types_;
    int read_;
    Grid &grid_;
};

}  // namespace spinlog
