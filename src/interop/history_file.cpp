#include "interop/history_file.h"

#include "base/encoding.h"
#include "base/errors.h"

#include <QFile>
#include <QFileInfo>
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
        QStringLiteral("csTimer、Twisty Timer、Spinlog のどの形式のファイルでもありません。"));
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

HistoryFile readHistoryFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!QFileInfo::exists(path))
        throw SpinlogError(QStringLiteral("%1: ファイルがありません。").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        throw SpinlogError(
            QStringLiteral("%1: 読み込めません（%2）。").arg(name, file.errorString()));
    const qint64 size = file.size();
    if (size > kMaxHistoryFileBytes)
        throw SpinlogError(QStringLiteral("%1: ファイルが大きすぎます（%2 MB まで）。")
                               .arg(name)
                               .arg(kMaxHistoryFileBytes / (1024 * 1024)));
    if (size == 0)
        throw SpinlogError(QStringLiteral("%1: ファイルが空です。").arg(name));
    // Mapped, not copied: the readers keep only eight bytes a solve, so a
    // large file costs little more than its own pages.
    uchar *mapped = file.map(0, size);
    QByteArray copy;
    QByteArrayView bytes;
    if (mapped) {
        bytes = QByteArrayView(reinterpret_cast<const char *>(mapped), size);
    } else {
        copy = file.readAll();
        if (copy.size() != size)
            throw SpinlogError(
                QStringLiteral("%1: 読み込めません（%2）。").arg(name, file.errorString()));
        bytes = copy;
    }
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
