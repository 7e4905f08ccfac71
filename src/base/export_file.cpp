#include "base/export_file.h"

#include "base/errors.h"
#include "base/system_calls.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstring>

namespace spinlog {

namespace {

const QString kStandardOutput = QStringLiteral("-");

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

QString followLinks(const QString &path)
{
    QByteArray name = QFile::encodeName(path);
    // As many links as the system itself follows.
    for (int hop = 0; hop < 40 && path != kStandardOutput; ++hop) {
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(name.constData(), target, sizeof target);
        if (length <= 0 || length == ssize_t(sizeof target))
            break;
        const QByteArray link(target, qsizetype(length));
        if (link.startsWith('/')) {
            name = link;
        } else {
            const qsizetype slash = name.lastIndexOf('/');
            name = (slash < 0 ? QByteArray() : name.left(slash + 1)) + link;
        }
    }
    return QFile::decodeName(name);
}

bool isStandardOutput(const QString &path)
{
    if (path == kStandardOutput)
        return true;
    struct stat out {
    }, named{};
    return ::fstat(STDOUT_FILENO, &out) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &named) == 0 && sameFile(out, named);
}

ExportFile::ExportFile(QString path) : path_(std::move(path)) {}

ExportFile::~ExportFile()
{
    if (stream_ >= 0 && !standardOutput_)
        ::close(stream_);
}

bool ExportFile::fail(int error)
{
    error_ = error;
    return false;
}

int ExportFile::error() const
{
    return error_;
}

bool ExportFile::open()
{
    if (path_ == kStandardOutput) {
        standardOutput_ = true;
        stream_ = STDOUT_FILENO;
        return true;
    }
    const QByteArray name = QFile::encodeName(path_);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return fail(EISDIR);
        // A FIFO, a terminal, a device: written as it is, never replaced.
        if (!S_ISREG(info.st_mode)) {
            stream_ = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            return stream_ >= 0 || fail(errno);
        }
    } else if (errno != ENOENT) {
        return fail(errno);
    }
    // A link stays a link: the file it names is the one replaced.
    const QString target = followLinks(path_);
    file_ = std::make_unique<ReplacingFile>(target);
    return file_->open(target) || fail(file_->error());
}

bool ExportFile::write(const char *data, qint64 size)
{
    if (file_)
        return file_->write(data, size) || fail(file_->error());
    // A reader that goes away is a failure to report, not a signal that
    // ends the program (the window's export included).
    sigset_t broken, before;
    sigemptyset(&broken);
    sigaddset(&broken, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &broken, &before);
    int error = 0;
    while (size > 0 && error == 0) {
        const ssize_t n = ::write(stream_, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        size -= n;
    }
    if (error == EPIPE) {
        const timespec now{};
        sigtimedwait(&broken, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return error == 0 || fail(error);
}

bool ExportFile::commit()
{
    if (file_)
        return file_->commit() || fail(file_->error());
    if (standardOutput_)
        return true;
    const int fd = std::exchange(stream_, -1);
    return systemCalls().close(fd) == 0 || fail(errno);
}

void exportWhole(const QString &path, const QByteArray &bytes)
{
    ExportFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit())
        throw SpinlogError(QFileInfo(path).fileName() + QStringLiteral(": ") +
                           QString::fromLocal8Bit(std::strerror(file.error())));
}

}  // namespace spinlog
