#include "interop/history_file.h"

#include "base/encoding.h"
#include "base/errors.h"
#include "base/shown_text.h"
#include "interop/solve_records.h"

#include <sys/mman.h>
#include <unistd.h>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace spinlog {

class SourceBytes {
public:
    explicit SourceBytes(QByteArray copy) : copy_(std::move(copy)), view_(copy_) {}
    SourceBytes(std::unique_ptr<QFile> file, uchar *mapped, qint64 size)
        : file_(std::move(file)),
          mapped_(mapped),
          view_(reinterpret_cast<const char *>(mapped), size)
    {
    }
    ~SourceBytes()
    {
        if (mapped_)
            file_->unmap(mapped_);
    }
    SourceBytes(const SourceBytes &) = delete;
    SourceBytes &operator=(const SourceBytes &) = delete;
    QByteArrayView view() const { return view_; }
    void releasePages() const
    {
        if (mapped_)
            ::madvise(mapped_, std::size_t(view_.size()), MADV_DONTNEED);
    }

private:
    std::unique_ptr<QFile> file_;
    uchar *mapped_ = nullptr;
    QByteArray copy_;
    QByteArrayView view_;
};

ImportedSolve::ImportedSolve(std::int64_t moment, std::int64_t ms, Penalty penalty,
                             std::uint32_t at, bool dated)
    : word_((std::uint64_t(moment) & kMomentMask) | std::uint64_t(penalty) << 47 |
            std::uint64_t(!dated) << 49 | std::uint64_t(ms % 10) << 50),
      hundredths_(std::uint32_t(ms / 10)),
      at_(at)
{
}

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

void HistoryFile::releasePages() const
{
    if (source)
        source->releasePages();
}

QByteArrayView HistoryFile::textOf(const ImportedSession &session) const
{
    if (session.text >= 0)
        return texts.at(std::size_t(session.text));
    // The readers are given the bytes after a byte order mark.
    return source ? withoutByteOrderMark(source->view()) : QByteArrayView();
}

SolveDetails solveDetails(const HistoryFile &file, const ImportedSession &session,
                          const ImportedSolve &solve)
{
    SolveDetails details;
    switch (file.format) {
        case HistoryFormat::CsTimer:
            details = csTimerRecord(file.textOf(session), solve.at());
            break;
        case HistoryFormat::TwistyTimer:
            details = twistyRecord(file.textOf(session), solve.at());
            break;
        case HistoryFormat::SpinlogCsv: break;
    }
    details.moment = solve.moment();
    details.rawMs = solve.ms();
    return details;
}

QString formatName(HistoryFormat format)
{
    switch (format) {
        case HistoryFormat::CsTimer: return QStringLiteral("csTimer");
        case HistoryFormat::TwistyTimer: return QStringLiteral("Twisty Timer");
        case HistoryFormat::SpinlogCsv: break;
    }
    return QStringLiteral("Spinlog CSV");
}

std::optional<std::int64_t> msOfTime(double ms)
{
    // Out of range before the rounding, which gives nothing usable past 2^63.
    if (!std::isfinite(ms) || ms < 0 || ms >= double(kDnfHundredths) * 10)
        return std::nullopt;
    // Decimals beyond the ms are a float's noise (32200.000000000004).
    const std::int64_t whole = std::llround(ms);
    if (whole >= kDnfHundredths * 10)
        return std::nullopt;
    return whole;
}

namespace {

HistoryFile readSource(std::shared_ptr<const SourceBytes> source, std::int64_t undatedFrom)
{
    HistoryFile file;
    file.source = std::move(source);
    const QByteArrayView bytes = file.source->view();
    file.format = formatOf(bytes);
    switch (file.format) {
        case HistoryFormat::CsTimer:
            readCsTimer(file, withoutByteOrderMark(bytes), undatedFrom);
            break;
        case HistoryFormat::TwistyTimer: readTwistyTimer(file, withoutByteOrderMark(bytes)); break;
        case HistoryFormat::SpinlogCsv: readSpinlogCsv(file, bytes); break;
    }
    return file;
}

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

// The bytes of an open file: a regular one mapped, not copied (the readers
// keep only sixteen bytes a solve, so a large file costs little more than its
// own pages); a stream read whole.
std::shared_ptr<const SourceBytes> sourceOf(std::unique_ptr<QFile> file, const QString &name)
{
    if (file->isSequential())
        return std::make_shared<SourceBytes>(readStream(*file, name));
    const qint64 size = file->size();
    if (size > kMaxHistoryFileBytes)
        tooLarge(name);
    if (uchar *mapped = size > 0 ? file->map(0, size) : nullptr)
        return std::make_shared<SourceBytes>(std::move(file), mapped, size);
    QByteArray copy = file->readAll();
    if (copy.size() != size)
        throw SpinlogError(Text::tr("%1: 読み込めません（%2）。").arg(name, file->errorString()));
    return std::make_shared<SourceBytes>(std::move(copy));
}

}  // namespace

HistoryFile readHistoryBytes(QByteArrayView bytes, std::int64_t undatedFrom)
{
    return readSource(std::make_shared<SourceBytes>(bytes.toByteArray()), undatedFrom);
}

HistoryFile readHistoryFile(const QString &path)
{
    const bool standardInput = path == QLatin1String("-");
    const QString name = standardInput ? Text::tr("標準入力") : QFileInfo(path).fileName();
    auto file = std::make_unique<QFile>(path);
    if (standardInput) {
        if (!file->open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw SpinlogError(
                Text::tr("%1: 読み込めません（%2）。").arg(name, file->errorString()));
    } else {
        if (!QFileInfo::exists(path))
            throw SpinlogError(Text::tr("%1: ファイルがありません。").arg(name));
        // A FIFO waits here for its writer, as any reader of one does.
        if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw SpinlogError(
                Text::tr("%1: 読み込めません（%2）。").arg(name, file->errorString()));
    }
    // Solves without a date were done before the file was written (a
    // stream's, before it is read).
    const std::int64_t written = file->isSequential()
                                     ? QDateTime::currentMSecsSinceEpoch()
                                     : QFileInfo(path).lastModified().toMSecsSinceEpoch();
    std::shared_ptr<const SourceBytes> source = sourceOf(std::move(file), name);
    if (source->view().isEmpty())
        throw SpinlogError(Text::tr("%1: ファイルが空です。").arg(name));
    try {
        return readSource(std::move(source), written);
    } catch (const SpinlogError &e) {
        throw SpinlogError(name + QStringLiteral(": ") + e.description());
    }
}

}  // namespace spinlog
