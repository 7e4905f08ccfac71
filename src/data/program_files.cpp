#include "data/program_files.h"

#include "base/errors.h"
#include "base/export_file.h"
#include "base/shown_text.h"
#include "data/compaction.h"
#include "data/snapshots.h"

#include <sys/stat.h>
#include <QFileInfo>
#include <optional>

namespace spinlog {

namespace {

// A name as the system finds its file: links followed, the folder's too.
QString realName(const QString &path)
{
    const QFileInfo info(followLinks(path));
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

std::optional<std::pair<dev_t, ino_t>> identity(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return std::pair(info.st_dev, info.st_ino);
}

[[noreturn]] void refuse(const QString &file)
{
    throw SpinlogError(Text::tr("%1 は Spinlog が使うファイルなので、出力先にできません。")
                           .arg(QFileInfo(file).fileName()));
}

}  // namespace

void refuseProgramFile(const QString &path, const QString &appFolder)
{
    if (path == QLatin1String("-"))
        return;
    const QString database = appFolder + QStringLiteral("/Spinlog.mdb");
    QStringList files{appFolder + QStringLiteral("/Spinlog.ini"),
                      appFolder + QStringLiteral("/Err.log")};
    for (const QString &db : {database, fileBehind(database)}) {
        const QFileInfo info(db);
        const QString folder = info.absolutePath() + QLatin1Char('/');
        files << db << db + QStringLiteral("-journal")
              << folder + QStringLiteral("BK") + info.fileName()
              << folder + QStringLiteral("COM") + info.fileName();
    }
    const QString target = realName(path);
    const auto same = identity(path);
    for (const QString &file : files)
        if (realName(file) == target || (same && identity(file) == same))
            refuse(file);
    const auto folder = identity(QFileInfo(target).absolutePath());
    for (const QString &backup : {snapshotFolder(database), appFolder + QStringLiteral("/Backup")})
        if (folder && identity(backup) == folder)
            refuse(target);
}

}  // namespace spinlog
