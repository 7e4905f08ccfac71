#pragma once
// csTimer's export file, written: one session per puzzle type, named by the
// type, each solve [[penalty, ms, phases...], scramble, comment, unix
// seconds] with the penalty 0, 2000 (+2) or -1 (DNF) and the time as
// measured; then csTimer's properties with the number of sessions and their
// names. The file begins with {"session1" as csTimer's own exports do,
// which csTimer's import of other timers' files recognises, so the sessions
// can be added to what csTimer has as well as replace it. (The reader is in
// history_file.h.)

#include "base/attempts.h"
#include "data/records.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace spinlog {

// Writes the file a session and a solve at a time.
class CsTimerWriter {
public:
    CsTimerWriter();
    // Starts the next session; the one before ends.
    void beginSession(const QString &name);
    // The next solve of the session; its moment (which must be set) in whole
    // seconds, its time in ms where they were kept.
    void add(const Attempt &attempt, const SolveDetails &details);
    // The whole file.
    QByteArray finish();

private:
    void endSession();

    QByteArray out_;
    QByteArray data_;  // the sessions' names and figures
    int sessions_ = 0;
    bool open_ = false;
    std::int64_t solves_ = 0, dnfs_ = 0, timed_ = 0, sumMs_ = 0;
    std::int64_t first_ = 0, last_ = 0;
};

struct CsTimerSolve {
    Attempt attempt;
    SolveDetails details;
};

struct CsTimerSession {
    QString name;
    std::vector<CsTimerSolve> solves;  // in the order they were done
};

QByteArray writeCsTimer(const std::vector<CsTimerSession> &sessions);

// A JSON string: ASCII only, everything else as \u escapes, so a reader
// that takes the file byte by byte (as csTimer's own import does) still gets
// every text right.
QByteArray jsonString(const QString &text);

}  // namespace spinlog
