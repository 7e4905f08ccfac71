#pragma once
// Time values as text: the display form (9.87, 1:05.43, 1:00:00.00) and the
// seconds form with two decimals (65.43).

#include <QString>
#include <cstdint>
#include <optional>

namespace spinlog {

// Whole seconds to the whole-seconds display (65 -> 1:05), and the display
// form to the seconds form (1:23.46 -> 83.46; the empty text gives the empty
// text). Bad input throws SpinlogError for the calling procedure's report.
QString timeChangeHNS(const QString &seconds);
QString timeChangeS(const QString &time);

// "0.00" text of a number of hundredths (8346 -> 83.46).
QString secondsText(std::int64_t hundredths);
// The display form of a seconds text F: the whole-seconds conversion of F
// without its last three characters, then those three characters. The one
// rule every window uses for a time with hundredths. A failure (a whole part
// beyond 32 bits) throws SpinlogError for the calling procedure's handler.
QString displayForm(const QString &secondsText);
QString displayForm(std::int64_t hundredths);

// Nanoseconds to the nearest hundredth of a second (halves up).
std::int64_t hundredthsFromNs(std::int64_t ns);
// The seconds text read as hundredths ("83.46" -> 8346, "83.4" -> 8340; more
// decimals go to the nearest hundredth); nothing when it is not such a number.
std::optional<std::int64_t> hundredthsFromSecondsText(const QString &text);

// The number the seconds columns hold for hundredths, as the program has
// always written it (the seconds text read as a double).
double secondsValue(std::int64_t hundredths);

// The mean of `counted` times (counted > 0, sum not negative) summing to sum
// hundredths, in whole hundredths: exact integer division, an exact half to
// the even hundredth, as every average the program shows is.
std::int64_t roundedMean(std::int64_t sum, std::int64_t counted);

}  // namespace spinlog
