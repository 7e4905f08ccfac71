// Any settings file: reading never crashes, and writing a key then reading it
// back gives the value written.
#include "base/ini_file.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *section : {"Main", "Option", "View"}) {
        for (const char *key : {"Left", "Top", "DefType", "CntDownTm"}) {
            spinlog::iniReadBytes(content, QString::fromLatin1(section), QString::fromLatin1(key),
                                  QStringLiteral("default"));
        }
    }
    const QByteArray written = spinlog::iniWriteBytes(
        content, true, QStringLiteral("Main"), QStringLiteral("Left"), QStringLiteral("4012.5"));
    if (spinlog::iniReadBytes(written, QStringLiteral("Main"), QStringLiteral("Left"), QString()) !=
        QStringLiteral("4012.5"))
        std::abort();
    return 0;
}
