#pragma once
// Compacting the database file at exit, and a keyed copy of an open database:
// file work only. Failures come back to the caller, which reports them.

#include <QString>
#include <exception>
#include <functional>

namespace spinlog {

class Database;

struct CompactOutcome {
    enum class Failed { Nothing, Backup, Open, Compact };
    Failed failed = Failed::Nothing;
    QString description;  // the engine's or the system's words
};

// The steps of a compaction, in their order, for tests that make one fail.
enum class CompactStep { Backup, Replace, DropBackup };
using StepHook = std::function<void(CompactStep)>;

// Backs up the closed file (BK + its name), opens it with the key, exports it
// into a compacted copy (COM + its name) and puts that in its place, then
// drops the backup. A failure after the backup puts the backup back and
// leaves no compacted copy. A link is followed: the file it points at is
// compacted beside itself and the link stays.
// beforeStep runs before each step; what it throws fails that step.
CompactOutcome compactDatabaseFile(const QString &path, const StepHook &beforeStep = {});

// Writes everything the open connection holds to a new keyed file named
// stem + ".mdb", or stem + "-2.mdb", "-3.mdb" ... when that name is taken:
// an existing file is never touched. Returns the path written; throws
// SpinlogError, leaving nothing of its own behind (no file, no journal).
QString exportDatabase(Database &db, const QString &stem);

// Removes what an interrupted run left beside the database file at path (a
// link is followed), and only names this program makes: the temporary file
// of a replacing write of the backup, of a restore over the database, of a
// snapshot in Backup/ or of the settings file named
// (NAME.xxxxxx), the compacted copy's journal and a recovery's journal whose
// copy is gone. Failures are ignored.
void removeLeftovers(const QString &databasePath, const QString &settingsName = {});

// Copies through a temporary file that replaces the target only when it is
// complete, so a failed copy leaves neither a partial file nor a lost earlier
// one. Throws SpinlogError naming the file.
void copyReplacing(const QString &from, const QString &to);

// The file a path leads to: a link is followed, so the file it points at is
// worked on in its own folder and the link stays a link.
QString fileBehind(const QString &path);

// The description a failure carries.
QString errorDescription(const std::exception &e);

}  // namespace spinlog
