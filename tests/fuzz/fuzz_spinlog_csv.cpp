// Any bytes into Spinlog's CSV reader: it reads sessions or throws our own
// error, never crashes or hangs; every solve it reads is one a series can hold.
#include "base/errors.h"
#include "interop/history_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace spinlog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        for (const ImportedSession &session :
             readSpinlogCsv(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size))))
            for (const ImportedSolve &solve : session.solves)
                if (solve.attempt().raw >= kDnfHundredths || solve.when() == 0)
                    std::abort();
    } catch (const SpinlogError &) {
    }
    return 0;
}
