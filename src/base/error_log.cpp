#include "base/error_log.h"

#include "base/encoding.h"
#include "base/errors.h"
#include "base/shown_text.h"
#include "base/system_calls.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace spinlog {

namespace {

constexpr int kDateSize = 19;
constexpr int kTextOffset = kDateSize + 2;
constexpr int kCountDigits = 5;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The leading number of the text as BASIC's Val reads it: blanks anywhere are
// skipped, "&H" and "&O" prefixes give hexadecimal and octal, otherwise a
// signed decimal with an optional exponent; reading stops at the first
// character that does not fit. Nothing readable gives 0.
double basicVal(const QByteArray &raw)
{
    std::string s;
    for (char c : raw) {
        if (c == '\0')
            break;
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;
    }
    if (s.size() >= 2 && s[0] == '&' &&
        (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        long long value = 0;
        std::from_chars(s.data() + 2, s.data() + s.size(), value, base);
        return double(value);
    }
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            number += '-';
        ++i;
    }
    bool digits = false;
    for (; i < s.size() && isDigit(s[i]); ++i, digits = true) number += s[i];
    if (i < s.size() && s[i] == '.') {
        number += '.';
        for (++i; i < s.size() && isDigit(s[i]); ++i, digits = true) number += s[i];
    }
    if (!digits)
        return 0.0;
    if (i + 1 < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (s[j] == '+' || s[j] == '-')
            exponent += s[j++];
        const std::size_t first = j;
        for (; j < s.size() && isDigit(s[j]); ++j) exponent += s[j];
        if (j > first)
            number += exponent;
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

[[noreturn]] void throwSystemError(int error)
{
    throw SpinlogError(QString::fromLocal8Bit(std::strerror(error)));
}

void writeAt(int fd, qint64 offset, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throwSystemError(n < 0 ? errno : ENOSPC);
        done += n;
    }
}

// The open log, closed on every way out; a log this call created is removed
// again unless the entry was written, so a failure leaves nothing new behind.
struct LogFile {
    QByteArray path;
    int fd = -1;
    bool created = false;
    bool written = false;
    ~LogFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (created && !written)
            ::unlink(path.constData());
    }
};

}  // namespace

int logHeaderCount(const QByteArray &headerRecord)
{
    const double value = basicVal(headerRecord.mid(kTextOffset, kCountDigits));
    const double rounded = std::nearbyint(value);
    // A negative count would put the entry over the header itself.
    if (!(rounded >= 0 && rounded < kLogEntries))
        return 0;
    return int(rounded);
}

QByteArray logRecord(const QDateTime &when, const QString &text)
{
    QByteArray record = when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                            .toLatin1()
                            .leftJustified(kDateSize, ' ', true);
    record.append(2, '\0');
    QByteArray bytes = toCp932(text);
    // No half of a two-byte character is left at the cut.
    bytes.truncate(cp932CutPoint(bytes, kLogTextSize));
    record += bytes.leftJustified(kLogTextSize, ' ');
    record += "\r\n";
    return record;
}

ErrorLog::ErrorLog(QString folder, const Clock &clock, Prompts &prompts)
    : path_(folder + QStringLiteral("/Err.log")), clock_(clock), prompts_(prompts)
{
}

bool ErrorLog::write(const QString &message) const
{
    try {
        const QDateTime now = clock_.localNow();
        LogFile log;
        log.path = QFile::encodeName(path_);
        // Never blocks: a pipe or a device standing at the log's place would
        // otherwise hold the program up for good. Never follows a link: the
        // records would overwrite whatever file it points to.
        const int flags = O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
        log.fd = ::open(log.path.constData(), flags);
        if (log.fd < 0 && errno == ENOENT) {
            log.fd = ::open(log.path.constData(), flags | O_CREAT | O_EXCL, 0666);
            log.created = log.fd >= 0;
        }
        if (log.fd < 0)
            throwSystemError(errno);
        struct stat info {};
        if (::fstat(log.fd, &info) != 0)
            throwSystemError(errno);
        if (!S_ISREG(info.st_mode))
            throwSystemError(ESPIPE);

        QByteArray header(kLogRecordSize, Qt::Uninitialized);
        ssize_t got = 0;
        do {
            got = systemCalls().pread(log.fd, header.data(), size_t(header.size()), 0);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            throwSystemError(errno);
        header.truncate(got);
        const int count = logHeaderCount(header);

        const QString counter =
            QStringLiteral("%1").arg(count + 1, kCountDigits, 10, QLatin1Char('0'));
        writeAt(log.fd, 0, logRecord(now, counter));
        writeAt(log.fd, qint64(count + 1) * kLogRecordSize, logRecord(now, message));
        log.written = true;
        return true;
    } catch (const SpinlogError &e) {
        prompts_.message(Text::tr("Log出力エラー\r\n") + e.description(), Icon::Critical,
                         Buttons::Ok);
        return false;
    }
}

}  // namespace spinlog
