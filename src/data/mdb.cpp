#include "data/mdb.h"

#include "app/error_log.h"
#include "app/program.h"
#include "app/replacing_file.h"
#include "data/database.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace spinlog {

namespace {

const QString kDatabaseName = QStringLiteral("Spinlog.mdb");
const QString kBackupPrefix = QStringLiteral("BK");
const QString kCompactPrefix = QStringLiteral("COM");

const QString kCompactLogPrefix = QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrCompact] ");
const QString kCompactFailed = QStringLiteral("MDB最適化失敗。");
const QString kMovedLogPrefix = QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrMoved] ");
const QString kMoved = QStringLiteral(
    "データベースファイルが移動または置き換えられたため、"
    "開いていた内容を次のファイルに保存しました");

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

// Copies through a temporary file that replaces the target only when it is
// complete, so a failed copy leaves neither a partial file nor a lost earlier one.
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

// Removes a file if one is there; a directory standing at the path is an error.
void removeFile(const QString &path)
{
    if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
        throwSystemError(path, errno);
}

// The engine opens attached files without creating them, as it opens the
// database itself, so the compacted copy starts as an empty file of ours.
void createEmptyFile(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throwSystemError(path, errno);
    ::close(fd);
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

QString descriptionOf(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const SpinlogError *>(&e))
        return error->description();
    return QString::fromLocal8Bit(e.what());
}

// The file the database path leads to. A link is followed, so the file it
// points at is compacted in its own folder and the link stays a link.
QString databaseFile(const Program &program)
{
    const QFileInfo info(program.path(kDatabaseName));
    const QString target = info.isSymLink() ? info.canonicalFilePath() : QString();
    return target.isEmpty() ? info.filePath() : target;
}

// The file the database was opened from is gone or another one: compacting
// would work on the wrong file, so what the connection holds goes to a new
// file of its own, in the same form as a compacted copy.
void saveToNewFile(Program &program)
{
    const QString saved =
        program.path(QStringLiteral("Spinlog-recovered-") +
                     program.services.clock.localNow().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                     QStringLiteral(".mdb"));
    bool created = false;
    try {
        createEmptyFile(saved);
        created = true;
        Database &db = *program.gDB;
        db.execute(QStringLiteral("ATTACH DATABASE ? AS rec KEY ?"),
                   {saved, QString::fromLatin1(kDatabaseKey)});
        db.execute(QStringLiteral("SELECT sqlcipher_export(?)"), {QStringLiteral("rec")});
        db.execute(QStringLiteral("DETACH DATABASE rec"));
        syncFile(saved);
        syncFolder(program.folder());
    } catch (const std::exception &e) {
        program.gDB.reset();
        if (created)
            ::unlink(native(saved).constData());
        program.reportError(QStringLiteral("MDB最適化エラー[Recover]"),
                            QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrRecover] "),
                            descriptionOf(e));
        return;
    }
    program.services.prompts.message(kMoved + QStringLiteral("\r\n") + saved, Icon::Exclamation,
                                     Buttons::Ok);
    Fun_LogWrite(program, kMovedLogPrefix + kMoved + QChar(0x3000) + saved);
}

}  // namespace

bool Fun_MDBOpen(Program &program, const QString &path)
{
    try {
        program.gDB = Database::open(path);
        return true;
    } catch (const std::exception &e) {
        program.gDB.reset();
        program.reportError(QStringLiteral("データベースオープンエラー"),
                            QStringLiteral("[mdlCommon]-[Fun_MDBOpen] "), descriptionOf(e));
        return false;
    }
}

bool Fun_MDBCompact(Program &program)
{
    const QString database = databaseFile(program);
    const QFileInfo info(database);
    const QString folder = info.absolutePath();
    const QString backup = folder + QLatin1Char('/') + kBackupPrefix + info.fileName();
    const QString compacted = folder + QLatin1Char('/') + kCompactPrefix + info.fileName();

    try {
        copyReplacing(database, backup);
    } catch (const std::exception &e) {
        program.reportError(QStringLiteral("MDB最適化エラー[Backup]"),
                            QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] "),
                            descriptionOf(e));
        return false;
    }

    bool openFailed = false;
    QString description;
    try {
        if (Fun_MDBOpen(program, database)) {
            Database &db = *program.gDB;
            removeFile(compacted);
            createEmptyFile(compacted);
            QFile::setPermissions(compacted, QFile::permissions(database));
            db.execute(QStringLiteral("ATTACH DATABASE ? AS com KEY ?"),
                       {compacted, QString::fromLatin1(kDatabaseKey)});
            db.execute(QStringLiteral("SELECT sqlcipher_export(?)"), {QStringLiteral("com")});
            db.execute(QStringLiteral("DETACH DATABASE com"));
            program.gDB.reset();
            syncFile(compacted);
            renameOver(compacted, database);
            removeFile(backup);
            syncFolder(folder);
            return true;
        }
        openFailed = true;
    } catch (const std::exception &e) {
        description = descriptionOf(e);
    }

    program.gDB.reset();
    restore(database, backup, compacted);
    if (openFailed) {
        // Fun_MDBOpen has already shown and logged why.
        program.services.prompts.message(kCompactFailed, Icon::Critical, Buttons::Ok);
        Fun_LogWrite(program, kCompactLogPrefix + kCompactFailed);
    } else {
        program.reportError(QStringLiteral("MDB最適化エラー[Compact]"), kCompactLogPrefix,
                            description);
    }
    return false;
}

bool closeAndCompact(Program &program)
{
    if (program.gDB && !program.gDB->stillAtItsPath()) {
        saveToNewFile(program);
        program.gDB.reset();
        return false;
    }
    program.gDB.reset();
    return Fun_MDBCompact(program);
}

}  // namespace spinlog
