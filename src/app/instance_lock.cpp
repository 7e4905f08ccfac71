#include "app/instance_lock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace spinlog {

bool InstanceLock::claim(const QString &appFolder)
{
    release();
    // Close-on-exec: a program started from here (the Readme's viewer) must
    // not inherit the claim and hold it after this copy has ended.
    const int fd =
        ::open(QFile::encodeName(appFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace spinlog
