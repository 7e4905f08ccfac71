#pragma once
// The solves of one saved series (object name frmSolves): each solve's time,
// penalty, the moment it was done (local time), the scramble it was done
// from and its comment. A penalty is chosen in its row; a comment is written
// with the button or a double click on the row. It follows the history's
// changes of its series.

#include "data/history_change.h"

#include <QDialog>
#include <cstdint>

class QTableWidget;

namespace spinlog {

class HistoryEdits;
class HistoryWriter;
class Prompts;
class Reporter;

struct SolveViewParts {
    const HistoryWriter &history;  // followed as it changes
    HistoryEdits &edits;
    Prompts &prompts;
    const Reporter &reporter;
};

class SolveView : public QDialog {
    Q_OBJECT
public:
    // The series with this id; a failure to read it is reported and the
    // view stays empty.
    SolveView(SolveViewParts parts, std::int64_t id, QWidget *parent = nullptr);

    // The comment of the current row's solve, asked for.
    void writeComment();

private:
    void fill();
    void historyChanged(const HistoryChange &change);
    void choosePenalty(int no, int choice);

    SolveViewParts parts_;
    std::int64_t id_;
    QTableWidget *table_ = nullptr;
    int solves_ = 0;
};

}  // namespace spinlog
