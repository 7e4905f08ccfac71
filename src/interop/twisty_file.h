#pragma once
// Twisty Timer's backup, written: a header line, then a record a solve of
// seven fields in double quotes separated by ";": the puzzle's code, the
// category, the time in ms (a +2 solve's with its two seconds), the moment
// in ms, the scramble, the penalty (0, 1 for +2, 2 for DNF) and the comment.
// A type's name is its puzzle and category: "3x3x3" is the 3x3x3's first
// category "Normal", "3x3x3 OH" its category "OH". (The reader is in
// history_file.h.)

#include "base/attempts.h"
#include "data/records.h"

#include <QByteArray>
#include <QString>
#include <utility>

namespace spinlog {

// The name of a puzzle's code ("333": "3x3x3"); an unknown code is its own name.
QString twistyPuzzleName(const QByteArray &code);
// A type's name as Twisty Timer's puzzle code and category.
std::pair<QByteArray, QByteArray> twistyPuzzleOf(const QString &typeName);

class TwistyWriter {
public:
    TwistyWriter();
    // The next solve, of the type of that name; its moment must be set.
    void add(const QString &typeName, const Attempt &attempt, const SolveDetails &details);
    QByteArray finish() { return std::move(out_); }

private:
    QByteArray out_;
    bool named_ = false;
    QString lastName_;
    std::pair<QByteArray, QByteArray> puzzle_;
};

}  // namespace spinlog
