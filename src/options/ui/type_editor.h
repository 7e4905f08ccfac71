#pragma once
// The puzzle type table of the options dialog: the types shown in a grid
// with a fixed "No." column, five of them always, and those added after
// them. The types are the dialog's value; the grid shows them, every edit
// goes back into them, and 追加 and 削除 add and take out types there.

#include "options/options_value.h"

#include <QObject>
#include <vector>

class QFont;

namespace spinlog {

class Grid;
class Prompts;

class TypeEditor : public QObject {
    Q_OBJECT
public:
    // value: the dialog's value, which must outlive the editor; of its first
    // five types those it read show their texts, the rest empty ones.
    TypeEditor(OptionsValue &value, TypeRecords records, Grid &grid, Prompts &prompts,
               QObject *parent = nullptr);

    // Sets up the columns with widths measured in the font, shows the types
    // and makes row 1's name current.
    void setupAndShow(const QFont &font);
    // True when the types pass; otherwise shows the message and puts the
    // focus on the failing row's count cell. Throws for a count that is not a
    // number.
    bool check(Prompts &prompts);

    // 追加: a new type in a row after the others, its name current.
    void addType();
    // 削除: the current row's type taken out, or the reason it cannot be.
    void removeCurrentType();

private:
    void showTypes();
    void vsFlex_Click();
    void vsFlex_BeforeEdit(int row, int col, bool *cancel);
    void vsFlex_Edited(int row, int col, const QString &text);

    OptionsValue &value_;
    TypeRecords records_;
    Grid &grid_;
    Prompts &prompts_;
};

}  // namespace spinlog
