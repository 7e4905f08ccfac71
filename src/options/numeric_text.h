#pragma once
// Whether a text the user typed or pasted is a number, read the way the
// desktop reads decimal numbers.

#include <QString>
#include <optional>

namespace spinlog {

// The value of the text, surrounding spaces allowed, in the system locale or
// in plain C form; nothing for the empty text, letters, or infinities.
std::optional<double> numberFromText(const QString &text);

}  // namespace spinlog
