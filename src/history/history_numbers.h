#pragma once
// The history window keeps its settings as text, like every setting of the
// program, and converts them where it uses them. These conversions fail the
// way the rest of the program's conversions do: a SpinlogError with the
// familiar description, so the calling procedure's handler reports it.

#include <QString>
#include <cstdint>

namespace spinlog {

// A list position ("2"): a whole number, halves rounded to even; text that is
// no number is a type mismatch, a value outside 16 bits an overflow.
std::int16_t positionFromText(const QString &text);

// A window coordinate in twips as a single-precision number.
float singleFromText(const QString &text);

// The shortest text that reads back as the same single-precision value
// (4000, 4012.5).
QString textFromSingle(float value);

// A colour setting: the decimal text of 0x00BBGGRR.
std::uint32_t colourFromText(const QString &text);

}  // namespace spinlog
