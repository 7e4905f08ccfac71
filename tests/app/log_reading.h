#pragma once
// Reading Err.log back in tests.

#include "app/encoding.h"
#include "app/error_log.h"
#include "support/temp_app_folder.h"

#include <QByteArray>
#include <QString>

namespace spinlog::test {

// Record n (from 1) of the folder's Err.log as raw bytes.
inline QByteArray logRecordAt(const TempAppFolder &folder, int n)
{
    return folder.read(QStringLiteral("Err.log")).mid((n - 1) * kLogRecordSize, kLogRecordSize);
}

// The text field of record n, decoded, without its padding.
inline QString logTextAt(const TempAppFolder &folder, int n)
{
    const QByteArray text = logRecordAt(folder, n).mid(21, kLogTextSize);
    QString decoded = fromCp932(text);
    while (decoded.endsWith(QLatin1Char(' '))) decoded.chop(1);
    return decoded;
}

}  // namespace spinlog::test
