#pragma once
// Code page 932 (Shift_JIS as Windows writes it), used for Err.log and CSV.

#include <QByteArray>
#include <QString>

namespace spinlog {

// Encodes the text; a character the code page cannot hold becomes "?".
QByteArray toCp932(const QString &text);
QString fromCp932(const QByteArray &bytes);

}  // namespace spinlog
