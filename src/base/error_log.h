#pragma once
// Err.log: fixed 323-byte records, a header record counting the entries and a
// ring of 1000 entries after it.

#include "base/seams.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace spinlog {

inline constexpr int kLogRecordSize = 323;
inline constexpr int kLogTextSize = 300;
inline constexpr int kLogEntries = 1000;

class ErrorLog {
public:
    // The log in the application folder; the clock stamps the entries and
    // the prompts show a failure to write one.
    ErrorLog(QString folder, const Clock &clock, Prompts &prompts);

    // Fun_LogWrite: appends one entry. On a failure shows "Log出力エラー" and
    // returns false; nothing is written anywhere then.
    bool write(const QString &message) const;

private:
    QString path_;
    const Clock &clock_;
    Prompts &prompts_;
};

// The entry count held by a header record (its first 323 bytes, or fewer);
// 0 for anything that does not start with a number, or outside 0..999.
int logHeaderCount(const QByteArray &headerRecord);
// One record: date, two zero bytes, the text in code page 932 cut at a
// character boundary and padded with spaces to 300 bytes, CR LF.
QByteArray logRecord(const QDateTime &when, const QString &text);

}  // namespace spinlog
