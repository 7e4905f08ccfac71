#include "data/compaction.h"

#include "base/replacing_file.h"
#include "data/database.h"
#include "data/snapshots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace spinlog {

namespace {

// File errors carry the file's name and the system's own message.
QString fileMessage(const QString &path, const QString &message)
{
    return QFileInfo(path).fileName() + QStringLiteral(": ") + message;
}

[[noreturn]] void throwSystemError(const QString &path, int error)
{
    throw SpinlogError(fileMessage(path, QString::fromLocal8Bit(std::strerror(error))));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

void syncFile(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throwSystemError(path, errno);
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok)
        throwSystemError(path, error);
}

}  // namespace

void copyReplacing(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw SpinlogError(fileMessage(from, source.errorString()));
    ReplacingFile target(to);
    if (!target.open(from))
        throwSystemError(to, target.error());
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = source.read(buffer.data(), buffer.size());
        if (n < 0)
            throw SpinlogError(fileMessage(from, source.errorString()));
        if (n == 0)
            break;
        if (!target.write(buffer.constData(), n))
            throwSystemError(to, target.error());
    }
    if (!target.commit())
        throwSystemError(to, target.error());
}

namespace {

// Removes a file if one is there; a directory standing at the path is an error.
void removeFile(const QString &path)
{
    if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
        throwSystemError(path, errno);
}

// The engine opens attached files without creating them, as it opens the
// database itself, so the compacted copy starts as an empty file of ours.
// False, with errno EEXIST, when the name is taken.
bool createEmptyFile(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST)
        return false;
    if (fd < 0)
        throwSystemError(path, errno);
    ::close(fd);
    return true;
}

// One rename: the target is either the old file or the new one, never missing.
void renameOver(const QString &from, const QString &to)
{
    if (std::rename(native(from).constData(), native(to).constData()) != 0)
        throwSystemError(from, errno);
    syncFolder(QFileInfo(to).absolutePath());
}

bool isDirectory(const QString &path)
{
    struct stat info {};
    return ::lstat(native(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Puts the backup back as the database and drops the compacted copy. A failure
// here is not reported: the backup file is then left for the user.
void restore(const QString &database, const QString &backup, const QString &compacted)
{
    // A directory at the compacted copy's path is not ours to remove.
    if (!isDirectory(compacted))
        ::unlink(native(compacted).constData());
    // Replacing in one rename leaves no moment without a database file.
    if (std::rename(native(backup).constData(), native(database).constData()) == 0)
        syncFolder(QFileInfo(database).absolutePath());
}

}  // namespace

QString fileBehind(const QString &path)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : QString();
    return target.isEmpty() ? info.filePath() : target;
}

namespace {

// A keyed copy of everything the connection holds, made by the engine into
// the empty file of ours at path.
void exportTo(Database &db, const QString &path)
{
    db.execute(QStringLiteral("ATTACH DATABASE ? AS copy KEY ?"),
               {path, QString::fromLatin1(kDatabaseKey)});
    db.execute(QStringLiteral("SELECT sqlcipher_export(?)"), {QStringLiteral("copy")});
    db.execute(QStringLiteral("DETACH DATABASE copy"));
    syncFile(path);
}

}  // namespace

QString errorDescription(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const SpinlogError *>(&e))
        return error->description();
    return QString::fromLocal8Bit(e.what());
}

CompactOutcome compactDatabaseFile(const QString &path, const StepHook &beforeStep)
{
    const auto step = [&beforeStep](CompactStep next) {
        if (beforeStep)
            beforeStep(next);
    };
    const QString database = fileBehind(path);
    const QFileInfo info(database);
    const QString folder = info.absolutePath();
    const QString backup = folder + QLatin1Char('/') + QStringLiteral("BK") + info.fileName();
    const QString compacted = folder + QLatin1Char('/') + QStringLiteral("COM") + info.fileName();

    try {
        step(CompactStep::Backup);
        copyReplacing(database, backup);
    } catch (const std::exception &e) {
        return {CompactOutcome::Failed::Backup, errorDescription(e)};
    }

    CompactOutcome outcome;
    try {
        std::unique_ptr<Database> db;
        try {
            db = Database::open(database);
        } catch (const std::exception &e) {
            outcome = {CompactOutcome::Failed::Open, errorDescription(e)};
        }
        if (db) {
            removeFile(compacted);
            removeFile(compacted + QStringLiteral("-journal"));
            if (!createEmptyFile(compacted))
                throwSystemError(compacted, EEXIST);
            exportTo(*db, compacted);
            QFile::setPermissions(compacted, QFile::permissions(database));
            db.reset();
            step(CompactStep::Replace);
            renameOver(compacted, database);
            step(CompactStep::DropBackup);
            removeFile(backup);
            syncFolder(folder);
            return {};
        }
    } catch (const std::exception &e) {
        outcome = {CompactOutcome::Failed::Compact, errorDescription(e)};
    }
    restore(database, backup, compacted);
    return outcome;
}

QString exportDatabase(Database &db, const QString &stem)
{
    constexpr int kMostCopies = 1000;
    for (int n = 1; n <= kMostCopies; ++n) {
        const QString path = stem + (n == 1 ? QString() : QLatin1Char('-') + QString::number(n)) +
                             QStringLiteral(".mdb");
        if (!createEmptyFile(path))
            continue;  // somebody's file: the next name
        try {
            exportTo(db, path);
            syncFolder(QFileInfo(path).absolutePath());
            return path;
        } catch (...) {
            // No half-written copy is left to be taken for a whole one, nor
            // the journal the engine kept for it.
            ::unlink(native(path).constData());
            ::unlink(native(path + QStringLiteral("-journal")).constData());
            throw;
        }
    }
    throwSystemError(stem + QStringLiteral(".mdb"), EEXIST);
}

namespace {

// A replacing write's temporary file of one of the names: the name, the mark
// and up to seven letters or digits (with older copies' point instead of the
// mark, for names no user would give a file of their own).
bool isTemporaryOf(const QString &name, const QStringList &replaced, bool olderToo)
{
    static const QString mark = QLatin1String(kReplacingMark);
    for (const QString &target : replaced) {
        QString suffix;
        if (name.startsWith(target + mark))
            suffix = name.mid(target.size() + mark.size());
        else if (olderToo && name.startsWith(target + QLatin1Char('.')))
            suffix = name.mid(target.size() + 1);
        if (!suffix.isEmpty() && suffix.size() <= 7 &&
            std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
                return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z');
            }))
            return true;
    }
    return false;
}

void removeWhere(const QDir &dir, const std::function<bool(const QString &)> &leftover)
{
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (leftover(name))
            ::unlink(native(dir.filePath(name)).constData());
    }
}

}  // namespace

void removeLeftovers(const QString &databasePath, const QString &settingsName)
{
    // Beside the file the database is: its backup's and its compacted copy's.
    const QFileInfo database(fileBehind(databasePath));
    const QStringList backup{QStringLiteral("BK") + database.fileName()};
    const QString compactedJournal =
        QStringLiteral("COM") + database.fileName() + QStringLiteral("-journal");
    // A restore's copy over the database itself, and a snapshot's in Backup/.
    const QStringList restored{database.fileName()};
    removeWhere(database.absoluteDir(), [&](const QString &name) {
        return isTemporaryOf(name, backup, true) || isTemporaryOf(name, restored, false) ||
               name == compactedJournal;
    });
    removeWhere(QDir(snapshotFolder(databasePath)), [](const QString &name) {
        const QString target = name.left(name.indexOf(QLatin1String(kReplacingMark)));
        return isSnapshotName(target) && isTemporaryOf(name, {target}, false);
    });
    // Beside its name: the settings file's, and a recovery's journal whose
    // copy is gone.
    static const QRegularExpression recoveryJournal(
        QStringLiteral("^(Spinlog-recovered-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\.mdb)-journal$"));
    const QDir folder = QFileInfo(databasePath).absoluteDir();
    const QStringList settings = settingsName.isEmpty() ? QStringList() : QStringList{settingsName};
    removeWhere(folder, [&](const QString &name) {
        const QRegularExpressionMatch journal = recoveryJournal.match(name);
        return isTemporaryOf(name, settings, false) ||
               (journal.hasMatch() && !folder.exists(journal.captured(1)));
    });
}

}  // namespace spinlog
