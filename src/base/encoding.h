#pragma once
// Code page 932 (Shift_JIS as Windows writes it), used for Err.log, CSV and
// the settings file.

#include <QByteArray>
#include <QString>

namespace spinlog {

// Encodes the text. The characters Windows writes as their code page 932
// look-alikes go in as those (WAVE DASH as FULLWIDTH TILDE, MINUS SIGN as
// FULLWIDTH HYPHEN-MINUS, ...); any other character the code page cannot hold
// becomes "?", and lost, when given, counts them.
QByteArray toCp932(const QString &text, int *lost = nullptr);
QString fromCp932(const QByteArray &bytes);

// True for a byte that starts a two-byte character.
bool isCp932LeadByte(unsigned char byte);
bool isCp932TrailByte(unsigned char byte);
// The bytes of the character starting at i (1 or 2), looking no further than end.
qsizetype cp932CharWidth(const QByteArray &bytes, qsizetype i, qsizetype end);
// The longest prefix of bytes, at most maxBytes long, that does not end in the
// middle of a two-byte character.
qsizetype cp932CutPoint(const QByteArray &bytes, qsizetype maxBytes);

}  // namespace spinlog
