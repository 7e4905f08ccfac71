#pragma once
// What a Stackmat timer sends about nine times a second: a status letter, the
// displayed time as ASCII digits (minutes, tens of seconds, seconds, tenths,
// hundredths, and on the fourth generation thousandths), a check byte of 64
// plus the sum of the digits, then LF CR. Nine bytes, or ten with thousandths.

#include <cstdint>
#include <optional>
#include <span>

namespace spinlog {

// The time a timer shows, in milliseconds; the timers before the fourth
// generation stop at hundredths.
struct StackmatTime {
    std::int32_t ms = 0;
    bool thousandths = false;

    // The hundredths a solve keeps: cut, never rounded, as competitions do.
    std::int32_t hundredths() const { return ms / 10; }
    bool operator==(const StackmatTime &) const = default;
};

// The status letters: ' ' running, 'S' stopped, 'I' reset (the fourth
// generation sends 'I' when stopped too, with the time), 'A' both hands on and
// ready, 'L' 'R' 'C' the left, the right or both hands on.
inline constexpr char kStackmatRunning = ' ';

// One packet that passed every check, and the moment its last bit was read,
// in nanoseconds of signal since the stream began.
struct StackmatPacket {
    char status = 'I';
    StackmatTime time;
    std::int64_t atNs = 0;
};

// The packet in BYTES (nine or ten, ending in LF CR); nothing when the status
// is no known letter, a digit is no digit, the tens of seconds exceed 5 or the
// check byte does not match.
std::optional<StackmatPacket> readStackmatPacket(std::span<const std::uint8_t> bytes);

}  // namespace spinlog
