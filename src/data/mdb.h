#pragma once
// Opening the database at start-up and compacting it at exit.

#include <QString>

namespace spinlog {

class Program;

// Opens the file into program.gDB. On failure reports "データベースオープンエラー"
// with the engine's description, leaves gDB empty and returns false.
bool Fun_MDBOpen(Program &program, const QString &path);

// Backs up, compacts and replaces Spinlog.mdb after gDB has been released;
// restores the backup on any failure. True when the file was compacted.
bool Fun_MDBCompact(Program &program);

}  // namespace spinlog
