#pragma once
// The database's lifetime in the program: opened at start-up, and at exit
// either compacted or, when its file was taken away meanwhile, saved to a new
// file. Each reports its own failures.

#include <QString>

namespace spinlog {

class Program;

// Opens the file into program.records. On failure reports
// "データベースオープンエラー" with the engine's description, leaves the
// records empty and returns false.
bool Fun_MDBOpen(Program &program, const QString &path);

// Backs up, compacts and replaces Spinlog.mdb after the records have been
// released; restores the backup on any failure. True when the file was
// compacted.
bool Fun_MDBCompact(Program &program);

// The whole exit: while the database is still open, checks that Spinlog.mdb
// is still the file it was opened from. If the file has been deleted or
// replaced, what the connection holds is written to
// Spinlog-recovered-YYYYMMDD-HHMMSS.mdb in the application folder (same key;
// -2, -3 ... before the extension when the name is taken),
// the user is told, nothing is compacted and false is returned. Otherwise
// releases the records and runs Fun_MDBCompact.
bool closeAndCompact(Program &program);

}  // namespace spinlog
