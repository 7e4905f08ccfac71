#pragma once
// Spinlog.ini, read and written one key at a time in the Windows profile line
// format. Section and key names match case-insensitively.

#include <QByteArray>
#include <QString>

namespace spinlog {

// The value of the key; the default when the file, the section or the key is
// missing. A key with an empty value gives the empty text. At most 1023 bytes.
QString iniRead(const QString &filePath, const QString &section, const QString &key,
                const QString &defaultValue);
// Creates the file, section or key as needed and replaces an existing value in
// place; every other line stays byte for byte. False when the write cannot be
// done (the file as it was), with the system's description in failure.
bool iniWrite(const QString &filePath, const QString &section, const QString &key,
              const QString &value, QString *failure = nullptr);
// The same on the file's bytes (for fuzzing).
QString iniReadBytes(const QByteArray &content, const QString &section, const QString &key,
                     const QString &defaultValue);
QByteArray iniWriteBytes(const QByteArray &content, bool fileExists, const QString &section,
                         const QString &key, const QString &value);

}  // namespace spinlog
