#include "interop/history_file.h"

#include "base/encoding.h"
#include "base/errors.h"
#include "base/shown_text.h"

#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace spinlog {

namespace {

QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

HistoryFormat formatOf(QByteArrayView bytes)
{
    QByteArrayView start = withoutByteOrderMark(bytes);
    while (!start.isEmpty() && (start.front() == ' ' || start.front() == '\t' ||
                                start.front() == '\r' || start.front() == '\n'))
        start = start.sliced(1);
    if (start.startsWith("{"))
        return HistoryFormat::CsTimer;
    if (start.startsWith("Puzzle,Category,Time(millis),Date(millis)"))
        return HistoryFormat::TwistyTimer;
    static const QByteArray spinlogHeader = toCp932(QStringLiteral("日時,"));
    if (start.startsWith(spinlogHeader))
        return HistoryFormat::SpinlogCsv;
    throw SpinlogError(
        Text::tr("csTimer、Twisty Timer、Spinlog のどの形式のファイルでもありません。"));
}

}  // namespace

QString formatName(HistoryFormat format)
{
    switch (format) {
        case HistoryFormat::CsTimer: return QStringLiteral("csTimer");
        case HistoryFormat::TwistyTimer: return QStringLiteral("Twisty Timer");
        case HistoryFormat::SpinlogCsv: break;
    }
    return QStringLiteral("Spinlog CSV");
}

std::optional<std::int64_t> hundredthsFromMs(double ms)
{
    if (!std::isfinite(ms) || ms < 0 || ms >= double(kDnfHundredths) * 10)
        return std::nullopt;
    return std::int64_t(std::floor(ms / 10));
}

HistoryFile readHistoryBytes(QByteArrayView bytes)
{
    HistoryFile file;
    file.format = formatOf(bytes);
    switch (file.format) {
        case HistoryFormat::CsTimer:
            file.sessions = readCsTimer(withoutByteOrderMark(bytes));
            break;
        case HistoryFormat::TwistyTimer:
            file.sessions = readTwistyTimer(withoutByteOrderMark(bytes));
            break;
        case HistoryFormat::SpinlogCsv: file.sessions = readSpinlogCsv(bytes); break;
    }
    return file;
}

namespace {

[[noreturn]] void tooLarge(const QString &name)
{
    throw SpinlogError(Text::tr("%1: ファイルが大きすぎます（%2 MB まで）。")
                           .arg(name)
                           .arg(kMaxHistoryFileBytes / (1024 * 1024)));
}

// A FIFO, a device or the standard input: read as it comes, to its end,
// within the bound a file has.
QByteArray readStream(QFile &file, const QString &name)
{
    QByteArray bytes;
    for (;;) {
        const qint64 had = bytes.size();
        const qint64 chunk = std::min<qint64>(1 << 20, kMaxHistoryFileBytes + 1 - had);
        bytes.resize(had + chunk);
        const qint64 n = file.read(bytes.data() + had, chunk);
        if (n < 0)
            throw SpinlogError(
                Text::tr("%1: 読み込めません（%2）。").arg(name, file.errorString()));
        bytes.resize(had + n);
        if (bytes.size() > kMaxHistoryFileBytes)
            tooLarge(name);
        if (n == 0)
            return bytes;
    }
}

}  // namespace

HistoryFile readHistoryFile(const QString &path)
{
    const bool standardInput = path == QLatin1String("-");
    const QString name = standardInput ? Text::tr("標準入力") : QFileInfo(path).fileName();
    QFile file(path);
    if (standardInput) {
        if (!file.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw SpinlogError(
                Text::tr("%1: 読み込めません（%2）。").arg(name, file.errorString()));
    } else {
        if (!QFileInfo::exists(path))
            throw SpinlogError(Text::tr("%1: ファイルがありません。").arg(name));
        // A FIFO waits here for its writer, as any reader of one does.
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw SpinlogError(
                Text::tr("%1: 読み込めません（%2）。").arg(name, file.errorString()));
    }
    QByteArray copy;
    QByteArrayView bytes;
    uchar *mapped = nullptr;
    if (file.isSequential()) {
        copy = readStream(file, name);
        bytes = copy;
    } else {
        const qint64 size = file.size();
        if (size > kMaxHistoryFileBytes)
            tooLarge(name);
        // Mapped, not copied: the readers keep only eight bytes a solve, so a
        // large file costs little more than its own pages.
        mapped = size > 0 ? file.map(0, size) : nullptr;
        if (mapped) {
            bytes = QByteArrayView(reinterpret_cast<const char *>(mapped), size);
        } else {
            copy = file.readAll();
            if (copy.size() != size)
                throw SpinlogError(
                    Text::tr("%1: 読み込めません（%2）。").arg(name, file.errorString()));
            bytes = copy;
        }
    }
    if (bytes.isEmpty())
        throw SpinlogError(Text::tr("%1: ファイルが空です。").arg(name));
    try {
        HistoryFile read = readHistoryBytes(bytes);
        if (mapped)
            file.unmap(mapped);
        return read;
    } catch (const SpinlogError &e) {
        throw SpinlogError(name + QStringLiteral(": ") + e.description());
    }
}

}  // namespace spinlog
