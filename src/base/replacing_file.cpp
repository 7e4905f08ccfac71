#include "base/replacing_file.h"

#include "base/errors.h"
#include "base/system_calls.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace spinlog {

ReplacingFile::~ReplacingFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
}

bool ReplacingFile::fail()
{
    error_ = errno;
    return false;
}

bool ReplacingFile::open(const QString &modeFrom)
{
    // A name no user file has: a leftover of a killed write is known as ours.
    const QByteArray base = QFile::encodeName(target_) + kReplacingMark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name =
            base + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = name;
            break;
        }
        if (errno != EEXIST)
            return fail();
    }
    if (fd_ < 0)
        return fail();
    struct stat info {};
    if (::stat(QFile::encodeName(modeFrom).constData(), &info) == 0 &&
        ::fchmod(fd_, info.st_mode & 07777) != 0)
        return fail();
    return true;
}

bool ReplacingFile::write(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail();
        if (n == 0) {
            errno = ENOSPC;
            return fail();
        }
        data += n;
        size -= n;
    }
    return true;
}

bool ReplacingFile::commit()
{
    // A full disk may only show when the data is flushed or the file closed.
    if (systemCalls().fsync(fd_) != 0)
        return fail();
    const int fd = fd_;
    fd_ = -1;
    if (systemCalls().close(fd) != 0)
        return fail();
    if (std::rename(temporary_.constData(), QFile::encodeName(target_).constData()) != 0)
        return fail();
    temporary_.clear();
    syncFolder(QFileInfo(target_).absolutePath());
    return true;
}

void writeWhole(const QString &path, const QByteArray &bytes)
{
    ReplacingFile file(path);
    if (!file.open(path) || !file.write(bytes) || !file.commit())
        throw SpinlogError(QFileInfo(path).fileName() + QStringLiteral(": ") +
                           QString::fromLocal8Bit(std::strerror(file.error())));
}

void syncFolder(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace spinlog
