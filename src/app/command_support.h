#pragma once
// What the command-line commands share: the one-line failure, and the TYPE
// argument read the same way by each of them.

#include "data/puzzle_type.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QTextStream;

namespace spinlog {

// "spinlog: MESSAGE" as one line on the error output, whatever line breaks
// the message held; returns the commands' failure status, 2.
int failCommand(QTextStream &err, QString message);

// The type a TYPE argument names: by its name in any case, or else by its
// number (TypeID; a type named "1" goes before the type numbered 1); null for
// another text. A name two types have in any case throws SpinlogError naming
// both.
const PuzzleType *typeNamed(const QString &text, const std::vector<PuzzleType> &types);
// The types' names, joined for a message.
QString typeNames(const std::vector<PuzzleType> &types, const QString &separator);

}  // namespace spinlog
