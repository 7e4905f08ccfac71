#pragma once
// csTimer's export file, written: one session per puzzle type, named by the
// type, each solve [[penalty, ms], "", "", unix seconds] with the penalty 0,
// 2000 (+2) or -1 (DNF) and the time as measured; then csTimer's properties
// with the number of sessions and their names. The file begins with
// {"session1" as csTimer's own exports do, which csTimer's import of other
// timers' files recognises, so the sessions can be added to what csTimer
// has as well as replace it. (The reader is in history_file.h.)

#include "base/attempts.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace spinlog {

struct CsTimerSolve {
    Attempt attempt;
    std::int64_t unixSeconds = 0;
};

struct CsTimerSession {
    QString name;
    std::vector<CsTimerSolve> solves;  // in saving order
};

QByteArray writeCsTimer(const std::vector<CsTimerSession> &sessions);

}  // namespace spinlog
