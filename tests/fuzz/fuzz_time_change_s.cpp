// Any text into the display-form reader: it returns seconds or throws our own
// error, never crashes; and a result it returns must read back the same way.
// The statistics' byte reader of solve texts says what the text reader says.
#include "base/attempts.h"
#include "base/errors.h"
#include "base/time_values.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        spinlog::timeChangeS(text);
    } catch (const spinlog::SpinlogError &) {
    }
    try {
        spinlog::timeChangeHNS(text);
    } catch (const spinlog::SpinlogError &) {
    }
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    if (spinlog::countedFromUtf8(bytes) != spinlog::countedFromText(QString::fromUtf8(bytes)))
        std::abort();
    return 0;
}
