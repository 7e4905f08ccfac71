// Any Err.log header record: the count read from it is always a valid ring
// position, so the next entry never lands on the header or past the ring.
#include "base/error_log.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray header(reinterpret_cast<const char *>(data), qsizetype(size));
    const int count = spinlog::logHeaderCount(header);
    if (count < 0 || count >= spinlog::kLogEntries)
        std::abort();
    return 0;
}
