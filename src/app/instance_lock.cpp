#include "app/instance_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace spinlog {

QString InstanceLock::lockPath(const QString &appFolder)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isWritable())
        dir = QDir::tempPath();
    const QByteArray hash =
        QCryptographicHash::hash(QDir(appFolder).canonicalPath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return dir + QStringLiteral("/spinlog-") + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

bool InstanceLock::claim(const QString &appFolder)
{
    auto lock = std::make_unique<QLockFile>(lockPath(appFolder));
    // Age alone must never make a running copy's lock look stale; a lock whose
    // process is gone is still taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    lock_ = std::move(lock);
    return true;
}

void InstanceLock::release()
{
    if (lock_)
        lock_->unlock();
    lock_.reset();
}

}  // namespace spinlog
