#pragma once
// Another timer's history, as read from its file: sessions of solves, each
// solve its time as measured, its penalty and when it was done, and where in
// the file its scramble, comment and phases are, read again as it is
// imported. The three formats read are csTimer's export (JSON), Twisty
// Timer's backup (CSV with ";") and Spinlog's own history CSV (code page
// 932). Every reader is meant for hostile files: a bounded nesting depth, a
// bounded file size, every number checked; a file that is not whole fails
// with the place named.

#include "base/attempts.h"
#include "data/records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace spinlog {

enum class HistoryFormat { CsTimer, TwistyTimer, SpinlogCsv };

// Sixteen bytes a solve, so a file of millions of solves stays small in
// memory: what is counted and sorted here, and the place of the rest.
class ImportedSolve {
public:
    ImportedSolve() = default;
    // moment: ms since 1970-01-01 UTC; ms: the time as measured; at: where
    // its record starts in its text.
    ImportedSolve(std::int64_t moment, std::int64_t ms, Penalty penalty, std::uint32_t at,
                  bool dated = true);
    std::int64_t moment() const { return std::int64_t(word_ & kMomentMask); }
    std::int64_t ms() const { return std::int64_t(hundredths_) * 10 + std::int64_t(word_ >> 50); }
    Penalty penalty() const { return Penalty((word_ >> 47) & 3); }
    Attempt attempt() const { return {hundredths_, penalty()}; }
    // False: the file gave it no date; its moment is the file's.
    bool dated() const { return !((word_ >> 49) & 1); }
    std::uint32_t at() const { return at_; }
    void setMoment(std::int64_t moment)
    {
        word_ = (word_ & ~kMomentMask) | (std::uint64_t(moment) & kMomentMask);
    }

private:
    static constexpr std::uint64_t kMomentMask = (std::uint64_t(1) << 47) - 1;
    // The moment (47 bits), the penalty (2), undated (1), the ms beyond the
    // hundredths (4).
    std::uint64_t word_ = 0;
    std::uint32_t hundredths_ = 0;  // below kDnfHundredths < 2^30
    std::uint32_t at_ = 0;
};

struct ImportedSession {
    QString name;
    std::vector<ImportedSolve> solves;  // in the file's order
    int text = -1;                      // into HistoryFile::texts; -1: the file itself
};

// The bytes a file was read from, mapped or copied, kept while its solves
// are imported.
class SourceBytes;

struct HistoryFile {
    HistoryFormat format = HistoryFormat::CsTimer;
    std::vector<ImportedSession> sessions;
    std::shared_ptr<const SourceBytes> source;
    // The sessions an older csTimer kept as JSON texts inside strings.
    std::vector<QByteArray> texts;
    int undated = 0;  // solves the file gave no date

    // The text a session's records lie in.
    QByteArrayView textOf(const ImportedSession &session) const;
    // Gives the pages of a mapped file back to the system once its records
    // are read; read again, they come back from the file.
    void releasePages() const;
};

// The largest file read: far beyond any real history (100 000 solves of
// csTimer with scrambles take about 8 MB).
inline constexpr qint64 kMaxHistoryFileBytes = 256LL * 1024 * 1024;

// Reads the file, its format known by its first bytes; "-" is the standard
// input, and it, a FIFO or a device is read as a stream, within the same
// bound. Solves without a date take the file's modification time (a
// stream's: the time it is read), a millisecond apart in the file's order.
// Throws SpinlogError (missing, unreadable, too large, not one of the
// formats, or broken: the message names the line or position and what is
// wrong).
HistoryFile readHistoryFile(const QString &path);
// The same for bytes in memory (copied); undated solves from `undatedFrom`.
HistoryFile readHistoryBytes(QByteArrayView bytes, std::int64_t undatedFrom = 0);

// The readers of each format, filling the file's sessions from `bytes`; each
// throws SpinlogError as above.
void readCsTimer(HistoryFile &file, QByteArrayView json, std::int64_t undatedFrom);
void readTwistyTimer(HistoryFile &file, QByteArrayView csv);
void readSpinlogCsv(HistoryFile &file, QByteArrayView csv);

// A solve's moment, raw ms, scramble, comment and phases, its record read again.
SolveDetails solveDetails(const HistoryFile &file, const ImportedSession &session,
                          const ImportedSolve &solve);

// The format's name as the user knows it.
QString formatName(HistoryFormat format);

// Milliseconds as another timer keeps them, to whole ms: nothing when the
// time is negative, not finite or too long to be a solve. Hundredths are
// these cut, as those timers show them.
std::optional<std::int64_t> msOfTime(double ms);

}  // namespace spinlog
