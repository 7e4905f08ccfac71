#pragma once
// The command line's scramble printing, without the application around it:
//   --scramble KIND [COUNT]   COUNT scrambles (default 1, at most 10 000), one a line
//   --help                    usage
// Returns the exit code: 0, or 2 after a one-line error on ERR.

#include <QStringList>
#include <QTextStream>

namespace spinlog {

inline constexpr int kMaxScrambleCount = 10000;

// True when ARGS (after the program's name) ask for this command rather
// than the stopwatch.
bool isScrambleCommand(const QStringList &args);

// The command's line of the program's usage.
QString scrambleUsage();

int runScrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err);

}  // namespace spinlog
