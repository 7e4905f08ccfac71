#pragma once
// The command line's imports and exports, without a window:
//   spinlog --export-cstimer FILE [TYPE]   the history (of one type) as csTimer's file
//   spinlog --import FILE [--type TYPE]    another timer's history added to it
// Each opens Spinlog.mdb of the application folder (refused while the
// program runs there) and changes nothing on any failure: one line on the
// error output and status 2.

#include <QString>
#include <QStringList>

class QTextStream;

namespace spinlog {

bool isInteropCommand(const QStringList &args);
int runInteropCommand(const QStringList &args, const QString &appFolder, QTextStream &out,
                      QTextStream &err);
// The usage lines of these commands, for --help.
QString interopUsage();

}  // namespace spinlog
