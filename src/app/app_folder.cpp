#include "app/app_folder.h"

#include "base/errors.h"
#include "base/replacing_file.h"
#include "base/shown_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace spinlog {

namespace {

// A missing file and a dangling link both count as present: a link the user
// made (Spinlog.mdb may be one) is never replaced.
bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SpinlogError(path + QStringLiteral(": ") + file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw SpinlogError(path + QStringLiteral(": ") + file.errorString());
    return bytes;
}

}  // namespace

QString userDataFolder(const QString &xdgDataHome, const QString &home)
{
    const QString base =
        QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : home + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/Spinlog"));
}

QString prepareUserFolder(const QString &folder, const QString &delivered)
{
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return Text::tr("データフォルダーを作れません: ") + folder;
    const auto from = [&](const char *name) { return delivered + QLatin1Char('/') + name; };
    const auto to = [&](const char *name) { return folder + QLatin1Char('/') + name; };
    try {
        if (!present(to("Spinlog.mdb")))
            writeWhole(to("Spinlog.mdb"), contents(from("Spinlog.mdb")));
    } catch (const SpinlogError &e) {
        return Text::tr("データベースをデータフォルダーへコピーできません: ") + e.description();
    }
    // The program runs without these, as a portable copy does; a failure here
    // shows where they are used (no sound, Help's message).
    try {
        for (const char *sound : {"Sound.wav", "Warn.wav"})
            if (!present(to(sound)) && QFileInfo::exists(from(sound)))
                writeWhole(to(sound), contents(from(sound)));
        if (QFileInfo::exists(from("Readme.txt"))) {
            const QByteArray guide = contents(from("Readme.txt"));
            if (!QFileInfo(to("Readme.txt")).isFile() || contents(to("Readme.txt")) != guide)
                writeWhole(to("Readme.txt"), guide);
        }
    } catch (const SpinlogError &) {
    }
    return {};
}

QString deliveredFolder(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/spinlog"));
}

QString applicationFolderPath(CopyKind kind)
{
    if (kind == CopyKind::Portable)
        return QCoreApplication::applicationDirPath();
    return userDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

AppFolder applicationFolder(CopyKind kind)
{
    AppFolder folder{applicationFolderPath(kind), {}};
    if (kind == CopyKind::Installed)
        folder.problem =
            prepareUserFolder(folder.path, deliveredFolder(QCoreApplication::applicationDirPath()));
    return folder;
}

}  // namespace spinlog
