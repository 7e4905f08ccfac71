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

// Writes everything the open connection holds to a new keyed file at path;
// throws SpinlogError, leaving no file behind.
void exportDatabase(Database &db, const QString &path);

// The description a failure carries.
QString errorDescription(const std::exception &e);

}  // namespace spinlog
