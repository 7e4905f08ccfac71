// Any bytes into Spinlog's CSV reader: it reads sessions or throws our own error,
// never crashes or hangs; every solve it reads is one a series can hold, and
// its record reads again.
#include "base/errors.h"
#include "interop/history_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace spinlog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    HistoryFile file;
    try {
        file =
            readHistoryBytes(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const SpinlogError &) {
        return 0;
    }
    if (file.format != HistoryFormat::SpinlogCsv)
        return 0;
    for (const ImportedSession &session : file.sessions)
        for (const ImportedSolve &solve : session.solves) {
            if (solve.attempt().raw >= kDnfHundredths || solve.moment() < 1000)
                std::abort();
            // The first reading passed it: a failure here ends the run.
            solveDetails(file, session, solve);
        }
    return 0;
}
