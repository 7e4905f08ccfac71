#pragma once
// Numbers held as text (settings, type table) converted where they are used,
// with the failures the user sees when a value is not a number.

#include <QString>
#include <cstdint>
#include <optional>

namespace spinlog {

// The text as a number: surrounding spaces allowed, a point as decimal
// separator, an exponent allowed. Throws SpinlogError (type mismatch) for
// anything else, the empty text included.
double numericValue(const QString &text);

// To a 16-bit whole number, a fraction rounded half to even; throws for a
// non-number (type mismatch) and outside -32768..32767 (overflow).
std::int16_t int16FromText(const QString &text);
// To single precision; throws for a non-number and beyond its range.
float singleFromText(const QString &text);

// A colour setting (decimal text of 0x00BBGGRR); throws for a non-number and
// for a value that is no such colour.
std::uint32_t colorFromText(const QString &text);

// The description of a value a control cannot take.
QString invalidPropertyText();

// Whether typed or pasted text is a number, read in the system locale or in
// plain C form: its value, or nothing for the empty text, letters or infinities.
std::optional<double> numberFromText(const QString &text);

// The shortest plain decimal text (no exponent) that reads back as the same
// single-precision value (4000, 4012.5, 300000).
QString singleText(float value);

}  // namespace spinlog
