// Any bytes into csTimer's reader: it reads sessions or throws our own error,
// never crashes, hangs or recurses without bound; and what it reads, written
// again as csTimer's file, reads back the same.
#include "base/errors.h"
#include "interop/cstimer_file.h"
#include "interop/history_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace spinlog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<ImportedSession> sessions;
    try {
        sessions =
            readCsTimer(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const SpinlogError &) {
        return 0;
    }
    std::vector<CsTimerSession> written;
    for (const ImportedSession &session : sessions) {
        CsTimerSession out{session.name, {}};
        for (const ImportedSolve &solve : session.solves) {
            if (solve.attempt().raw >= kDnfHundredths)
                std::abort();
            out.solves.push_back({solve.attempt(), solve.when()});
        }
        written.push_back(out);
    }
    const std::vector<ImportedSession> again = readCsTimer(writeCsTimer(written));
    if (again.size() != sessions.size())
        std::abort();
    for (std::size_t s = 0; s < again.size(); ++s) {
        // An empty name is read as the session's number.
        if (!sessions[s].name.isEmpty() && again[s].name != sessions[s].name)
            std::abort();
        if (again[s].solves.size() != sessions[s].solves.size())
            std::abort();
        for (std::size_t k = 0; k < again[s].solves.size(); ++k)
            if (!(again[s].solves[k].attempt() == sessions[s].solves[k].attempt()) ||
                again[s].solves[k].when() != sessions[s].solves[k].when())
                std::abort();
    }
    return 0;
}
