#pragma once
// What the command-line commands share: the one-line failure, and the TYPE
// argument read the same way by each of them.

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace spinlog {

// "spinlog: MESSAGE" as one line on the error output, whatever line breaks
// the message held; returns the commands' failure status, 2.
int failCommand(QTextStream &err, QString message);

// The type number (1 to the number of names) a TYPE argument gives: a type's
// name in any case, or else its number (a type named "1" goes before the
// first type); nothing for another text. A name two types have in any case
// throws SpinlogError naming both.
std::optional<int> typeNumberNamed(const QString &text, const QStringList &names);

}  // namespace spinlog
