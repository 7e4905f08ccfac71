#pragma once
// Another timer's history, as read from its file: sessions of solves, each
// solve its time as measured, its penalty and when it was done. The three
// formats read are csTimer's export (JSON), Twisty Timer's backup (CSV with
// ";") and Spinlog's own history CSV (code page 932). Every reader is meant
// for hostile files: a bounded nesting depth, a bounded file size, every
// number checked; a file that is not whole fails with the place named.

#include "base/attempts.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

namespace spinlog {

enum class HistoryFormat { CsTimer, TwistyTimer, SpinlogCsv };

// Eight bytes a solve, so a file of millions of solves stays small in memory.
class ImportedSolve {
public:
    ImportedSolve() = default;
    ImportedSolve(std::uint32_t when, const Attempt &attempt)
        : when_(when), packed_(std::uint32_t(attempt.raw) << 2 | std::uint32_t(attempt.penalty))
    {
    }
    // Seconds since 1970-01-01 UTC.
    std::uint32_t when() const { return when_; }
    Attempt attempt() const { return {std::int64_t(packed_ >> 2), Penalty(packed_ & 3)}; }

private:
    std::uint32_t when_ = 0;
    std::uint32_t packed_ = 0;  // raw hundredths (below kDnfHundredths < 2^30), penalty
};

struct ImportedSession {
    QString name;
    std::vector<ImportedSolve> solves;  // in the file's order
};

struct HistoryFile {
    HistoryFormat format = HistoryFormat::CsTimer;
    std::vector<ImportedSession> sessions;
};

// The largest file read: far beyond any real history (100 000 solves of
// csTimer with scrambles take about 8 MB).
inline constexpr qint64 kMaxHistoryFileBytes = 256LL * 1024 * 1024;

// Reads the file, its format known by its first bytes; "-" is the standard
// input, and it, a FIFO or a device is read as a stream, within the same
// bound. Throws SpinlogError (missing, unreadable, too large, not one of
// the formats, or broken: the message names the line or position and what
// is wrong).
HistoryFile readHistoryFile(const QString &path);
// The same for bytes in memory.
HistoryFile readHistoryBytes(QByteArrayView bytes);

// The readers of each format; each throws SpinlogError as above.
std::vector<ImportedSession> readCsTimer(QByteArrayView json);
std::vector<ImportedSession> readTwistyTimer(QByteArrayView csv);
std::vector<ImportedSession> readSpinlogCsv(QByteArrayView csv);

// The format's name as the user knows it.
QString formatName(HistoryFormat format);

// Milliseconds as another timer keeps them, to hundredths as Spinlog keeps
// them: cut, not rounded, as those timers show them. Nothing when the time
// is negative, not finite or too long to be a solve.
std::optional<std::int64_t> hundredthsFromMs(double ms);

}  // namespace spinlog
