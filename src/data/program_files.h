#pragma once
// The program's own files, which no export may write over: in the
// application folder the database (and the file a link of that name leads
// to) with its journal and its backup and compacted copies, Spinlog.ini,
// Err.log, and everything in Backup/.

#include <QString>

namespace spinlog {

// Throws SpinlogError naming the file when writing to path would write one
// of them: by its name, through a link, or as another name of the same file.
void refuseProgramFile(const QString &path, const QString &appFolder);

}  // namespace spinlog
