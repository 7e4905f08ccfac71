#pragma once
// Dated copies of the database, taken at each exit before the compaction,
// in the folder Backup beside the database file: Spinlog-YYYYMMDD.mdb, one a
// day (a later exit the same day replaces it), encrypted as the file is.
// Kept: the newest of each of the last 7 days that have one and the newest
// of each of the last 8 ISO weeks that have one. A restore keeps the file it
// replaces as Spinlog-YYYYMMDD-HHMMSS.mdb, which is never removed by itself.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace spinlog {

struct Snapshot {
    QString path;
    QDate date;
    bool beforeRestore = false;  // the copy a restore kept
    QDateTime written;           // the file's modification time
};

// Backup/ beside the file the database path leads to.
QString snapshotFolder(const QString &databasePath);
// Whether a file name there is a snapshot's (a daily one or a restore's).
bool isSnapshotName(const QString &fileName);
// Every snapshot there, newest first.
std::vector<Snapshot> listSnapshots(const QString &databasePath);

// The dates whose daily snapshot the rule keeps, today being the newest:
// a date after it (a clock set back since) is kept and counts as no day or
// week of the rule.
std::set<QDate> snapshotDatesKept(std::vector<QDate> dates, const QDate &today);

// Free bytes for an unprivileged user on the folder's file system; nothing
// when it cannot be told.
using FreeSpace = std::function<std::optional<qint64>(const QString &folder)>;
std::optional<qint64> systemFreeSpace(const QString &folder);

struct SnapshotOutcome {
    enum class Result { Taken, NoSpace, Failed };
    Result result = Result::Taken;
    QString path;
    QString description;  // why it was not taken
};

// Copies the closed database file to today's snapshot (replacing one of the
// same day, whole or not at all), unless the disk has less free space than
// twice the file; then removes the daily snapshots the rule no longer keeps,
// never today's.
SnapshotOutcome takeSnapshot(const QString &databasePath, const QDate &today,
                             const FreeSpace &freeSpace = systemFreeSpace);
void pruneSnapshots(const QString &databasePath, const QDate &today);

// The saved series of a snapshot, read without changing it; nothing when it
// is no database of ours.
std::optional<int> countSavedSeries(const QString &snapshotPath);

// The steps of a restore, for tests that make one fail.
enum class RestoreStep { Check, KeepCurrent, Replace };
using RestoreHook = std::function<void(RestoreStep)>;

struct RestoreOutcome {
    bool restored = false;
    QString keptAs;       // the copy of the file that was replaced
    QString description;  // why not
};

// Puts the snapshot in the place of the closed database file: checks that
// it opens as ours, copies the current file to Spinlog-YYYYMMDD-HHMMSS.mdb
// in Backup/, then replaces the file through a temporary copy and one
// rename. A failure at any step leaves the database file as it was.
RestoreOutcome restoreSnapshot(const QString &databasePath, const QString &snapshotPath,
                               const QDateTime &now, const RestoreHook &beforeStep = {});

}  // namespace spinlog
