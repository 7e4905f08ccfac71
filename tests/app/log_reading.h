#pragma once
// Reading Err.log back in tests.

#include "base/encoding.h"
#include "base/error_log.h"
#include "support/temp_app_folder.h"

namespace spinlog::test {

// Record n (from 1) of the folder's Err.log; its text field, decoded and trimmed.
inline QByteArray logRecordAt(const TempAppFolder &folder, int n)
{
    return folder.read(QStringLiteral("Err.log")).mid((n - 1) * kLogRecordSize, kLogRecordSize);
}
inline QString logTextAt(const TempAppFolder &folder, int n)
{
    return fromCp932(logRecordAt(folder, n).mid(21, kLogTextSize)).trimmed();
}
// The texts of every entry after the header, in record order.
inline QStringList logEntries(const TempAppFolder &folder)
{
    QStringList entries;
    for (int n = 2; n * kLogRecordSize <= folder.read(QStringLiteral("Err.log")).size(); ++n)
        entries << logTextAt(folder, n);
    return entries;
}

}  // namespace spinlog::test
