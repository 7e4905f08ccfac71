#pragma once
// How T_Solve keeps a scramble: a text of the common notation's moves takes a
// byte a move (a blob), every other text stays as it is. A history of
// 100 000 series keeps a scramble with each of its half a million solves;
// as text they would take 30 MB, twice the rest of the file.
//
// The blob: a byte from 0x80 is a move of the table in scramble_code.cpp
// (never reordered: stored files use it), a single space between two such
// moves is implied; every byte below 0x80 is the character itself.

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace spinlog {

// The value stored for a scramble: nothing (NULL) for none, the blob when
// it is shorter than the text, else the text.
QVariant storedScramble(const QString &scramble);
// The scramble a stored blob stands for.
QString scrambleFromCode(QByteArrayView code);

}  // namespace spinlog
