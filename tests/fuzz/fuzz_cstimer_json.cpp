// Any bytes into csTimer's reader: it reads sessions or throws our own error,
// never crashes, hangs or recurses without bound; every solve's record reads
// again for its scramble, comment and phases; and what it reads, written
// again as csTimer's file, reads back the same.
#include "base/errors.h"
#include "interop/cstimer_file.h"
#include "interop/history_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace spinlog;

namespace {

// Solves without a date take this moment and the next ms.
constexpr std::int64_t kUndatedFrom = 1'700'000'000'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    HistoryFile file;
    try {
        file = readHistoryBytes(
            QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), kUndatedFrom);
    } catch (const SpinlogError &) {
        return 0;
    }
    if (file.format != HistoryFormat::CsTimer)
        return 0;
    std::vector<CsTimerSession> written;
    for (const ImportedSession &session : file.sessions) {
        CsTimerSession out{session.name, {}};
        for (const ImportedSolve &solve : session.solves) {
            if (solve.attempt().raw >= kDnfHundredths)
                std::abort();
            out.solves.push_back({solve.attempt(), solveDetails(file, session, solve)});
        }
        written.push_back(out);
    }
    const HistoryFile again = readHistoryBytes(writeCsTimer(written));
    if (again.sessions.size() != file.sessions.size())
        std::abort();
    for (std::size_t s = 0; s < again.sessions.size(); ++s) {
        const ImportedSession &read = again.sessions[s];
        // An empty name is read as the session's number.
        if (!written[s].name.isEmpty() && read.name != written[s].name)
            std::abort();
        if (read.solves.size() != written[s].solves.size())
            std::abort();
        for (std::size_t k = 0; k < read.solves.size(); ++k) {
            const SolveDetails &d = written[s].solves[k].details;
            const SolveDetails back = solveDetails(again, read, read.solves[k]);
            if (!(read.solves[k].attempt() == written[s].solves[k].attempt) ||
                back.rawMs != d.rawMs || read.solves[k].moment() / 1000 != *d.moment / 1000 ||
                back.scramble != d.scramble || back.comment != d.comment || back.splits != d.splits)
                std::abort();
        }
    }
    return 0;
}
