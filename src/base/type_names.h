#pragma once
// Puzzle type names as the program reads them: the user types them, with or
// without an input method, so full-width letters and digits count as their
// plain forms.

#include <QString>
#include <QStringList>
#include <vector>

namespace spinlog {

// The positions (from 0) of the names NAME is, in any case and without the
// spaces at either end. More than one is ambiguous: no type is taken then.
std::vector<int> positionsNamed(const QString &name, const QStringList &names);

// NAME in the form names are compared in: compatibility forms made plain
// ("３ｘ３ｘ３" is "3x3x3"), lower case, without spaces and "-".
QString plainTypeName(const QString &name);

// Whether a type's name says it is timed blindfolded ("目隠し" or "BLD").
bool isBlindfoldName(const QString &name);

}  // namespace spinlog
