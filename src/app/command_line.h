#pragma once
// The program's command line. Without arguments the stopwatch starts; the
// scramble and statistics commands and the usage print and end; anything else is refused
// without a window: the usage on the error output and status 2. Output that
// cannot be written (a full device) is an error there too, and status 1.

#include "app/app_folder.h"

#include <QString>
#include <QStringList>

class QIODevice;

namespace spinlog {

// Runs the arguments after the program's name (at least one); returns the
// exit status. The statistics and the other timers' files use the database in
// folder (empty: this copy's application folder, which an installed copy
// makes ready then; the scrambles and the usage touch no folder).
int runCommandLine(const QStringList &args, QIODevice &out, QIODevice &err,
                   const QString &folder = {}, CopyKind kind = CopyKind::Portable);

}  // namespace spinlog
