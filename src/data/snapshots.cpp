#include "data/snapshots.h"

#include "base/errors.h"
#include "base/replacing_file.h"
#include "base/shown_text.h"
#include "data/compaction.h"
#include "data/database.h"

#include <sys/statvfs.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <memory>

namespace spinlog {

namespace {

const QRegularExpression &snapshotName()
{
    static const QRegularExpression name(QStringLiteral("^Spinlog-([0-9]{8})(-[0-9]{6})?\\.mdb$"));
    return name;
}

QString dailyName(const QDate &date)
{
    return QStringLiteral("Spinlog-%1.mdb").arg(date.toString(QStringLiteral("yyyyMMdd")));
}

}  // namespace

QString snapshotFolder(const QString &databasePath)
{
    return QFileInfo(fileBehind(databasePath)).absolutePath() + QStringLiteral("/Backup");
}

bool isSnapshotName(const QString &fileName)
{
    return snapshotName().match(fileName).hasMatch();
}

std::vector<Snapshot> listSnapshots(const QString &databasePath)
{
    std::vector<Snapshot> snapshots;
    const QDir folder(snapshotFolder(databasePath));
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files)) {
        const QRegularExpressionMatch match = snapshotName().match(file.fileName());
        const QDate date = QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd"));
        if (!match.hasMatch() || !date.isValid())
            continue;
        snapshots.push_back(
            {file.filePath(), date, match.capturedLength(2) > 0, file.lastModified()});
    }
    std::sort(snapshots.begin(), snapshots.end(), [](const Snapshot &a, const Snapshot &b) {
        return a.date != b.date ? a.date > b.date : a.written > b.written;
    });
    return snapshots;
}

std::set<QDate> snapshotDatesKept(std::vector<QDate> dates, const QDate &today)
{
    std::sort(dates.begin(), dates.end(), std::greater<>());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    // How old one dated after today is cannot be told: it stays, and the
    // rule starts from today's, the copy this exit wrote.
    const auto past = std::find_if(dates.begin(), dates.end(),
                                   [&today](const QDate &date) { return date <= today; });
    std::set<QDate> kept(dates.begin(), past);
    dates.erase(dates.begin(), past);
    kept.insert(dates.begin(), dates.begin() + std::min<std::ptrdiff_t>(7, dates.size()));
    std::set<std::pair<int, int>> weeks;
    for (const QDate &date : dates) {
        if (weeks.size() == 8)
            break;
        int year = 0;
        const int week = date.weekNumber(&year);
        // The first date met in a week is its newest.
        if (weeks.insert({year, week}).second)
            kept.insert(date);
    }
    return kept;
}

std::optional<qint64> systemFreeSpace(const QString &folder)
{
    struct statvfs info {};
    if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return std::nullopt;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

SnapshotOutcome takeSnapshot(const QString &databasePath, const QDate &today,
                             const FreeSpace &freeSpace)
{
    const QString database = fileBehind(databasePath);
    const QString folder = snapshotFolder(databasePath);
    const QString target = folder + QLatin1Char('/') + dailyName(today);
    try {
        if (!QDir().mkpath(folder))
            throw SpinlogError(Text::tr("%1 を作れません").arg(folder));
        const qint64 size = QFileInfo(database).size();
        const std::optional<qint64> free = freeSpace ? freeSpace(folder) : std::nullopt;
        if (free && *free < 2 * size)
            return {SnapshotOutcome::Result::NoSpace, target,
                    Text::tr("空き容量 %1 バイトがデータベース %2 バイトの2倍に足りません")
                        .arg(*free)
                        .arg(size)};
        copyReplacing(database, target);
    } catch (const std::exception &e) {
        return {SnapshotOutcome::Result::Failed, target, errorDescription(e)};
    }
    pruneSnapshots(databasePath, today);
    return {SnapshotOutcome::Result::Taken, target, {}};
}

void pruneSnapshots(const QString &databasePath, const QDate &today)
{
    const std::vector<Snapshot> snapshots = listSnapshots(databasePath);
    std::vector<QDate> dates;
    for (const Snapshot &s : snapshots)
        if (!s.beforeRestore)
            dates.push_back(s.date);
    const std::set<QDate> kept = snapshotDatesKept(dates, today);
    for (const Snapshot &s : snapshots)
        if (!s.beforeRestore && s.date != today && !kept.count(s.date))
            ::unlink(QFile::encodeName(s.path).constData());
}

std::optional<int> countSavedSeries(const QString &snapshotPath)
{
    try {
        const std::unique_ptr<Database> db =
            Database::open(snapshotPath, kDatabaseKey, Access::ReadOnly);
        return Recordset(*db, QStringLiteral("select count(*) from T_Time")).field(0).toInt();
    } catch (const SpinlogError &) {
        return std::nullopt;
    }
}

RestoreOutcome restoreSnapshot(const QString &databasePath, const QString &snapshotPath,
                               const QDateTime &now, const RestoreHook &beforeStep)
{
    const auto step = [&beforeStep](RestoreStep next) {
        if (beforeStep)
            beforeStep(next);
    };
    const QString database = fileBehind(databasePath);
    RestoreOutcome outcome;
    try {
        step(RestoreStep::Check);
        if (!countSavedSeries(snapshotPath))
            throw SpinlogError(Text::tr("%1 は Spinlog のデータベースとして開けません")
                                   .arg(QFileInfo(snapshotPath).fileName()));
        step(RestoreStep::KeepCurrent);
        QDir().mkpath(snapshotFolder(databasePath));
        outcome.keptAs = snapshotFolder(databasePath) +
                         now.toString(QStringLiteral("/'Spinlog-'yyyyMMdd-HHmmss'.mdb'"));
        if (QFileInfo::exists(database))
            copyReplacing(database, outcome.keptAs);
        step(RestoreStep::Replace);
        copyReplacing(snapshotPath, database);
    } catch (const std::exception &e) {
        outcome.description = errorDescription(e);
        return outcome;
    }
    // A journal left beside the file belongs to the file replaced: it must
    // never be played into the restored one.
    ::unlink(QFile::encodeName(database + QStringLiteral("-journal")).constData());
    outcome.restored = true;
    return outcome;
}

}  // namespace spinlog
