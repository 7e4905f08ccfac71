#pragma once
// The command line's statistics: spinlog --stats [TYPE] prints the figures
// over every saved solve of the type (its name or its number), or of every
// type, from the application folder's database, which it only reads. One
// figure a line, its name and values separated by tabs. A database that is
// missing, unreadable or in use by the running program, or an unknown type:
// a one-line error and status 2.

#include <QStringList>
#include <QTextStream>

namespace spinlog {

bool isStatsCommand(const QStringList &args);
int runStatsCommand(const QStringList &args, const QString &folder, QTextStream &out,
                    QTextStream &err);
// The usage line of the command, for --help.
QString statsUsage();

}  // namespace spinlog
