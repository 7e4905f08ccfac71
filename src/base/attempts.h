#pragma once
// A solve with its penalty: the time measured (raw), and what it counts as.
// +2 adds two seconds; a DNF has no time and counts as slower than every
// time. As text, a +2 solve is its counted time followed by "+" ("14.34+"
// for a raw 12.34), a DNF is "DNF"; the display text alone says what a solve
// counts as, so rows any copy wrote count alike.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string_view>

namespace spinlog {

enum class Penalty { None, PlusTwo, Dnf };

// The number stored for a DNF where a time would be (hundredths): it sorts
// after every time.
inline constexpr std::int64_t kDnfHundredths = 999'999'999;
inline constexpr std::int64_t kPlusTwoHundredths = 200;

// What a solve counts as: a time in hundredths, or a DNF.
struct Counted {
    std::int64_t hundredths = 0;  // kDnfHundredths for a DNF
    bool dnf = false;
    static Counted dnfResult() { return {kDnfHundredths, true}; }
    friend bool operator==(const Counted &, const Counted &) = default;
};

struct Attempt {
    std::int64_t raw = 0;  // hundredths as measured
    Penalty penalty = Penalty::None;

    Counted counted() const;
    // "12.34", "14.34+" or "DNF".
    QString text() const;
    friend bool operator==(const Attempt &, const Attempt &) = default;
};

// The display text of what a solve counts as: a time, a time with "+" (two
// seconds included), "DNF".
QString countedText(const Counted &counted, bool plusTwo = false);

// What a display text counts as; nothing for a text that is none of these.
// The forms the program writes ("12.34", "1:05.43", "1:00:00.00", "14.34+",
// "DNF") are read by their bytes; any other text by countedByRule, so both
// always agree.
std::optional<Counted> countedFromText(const QString &text);
// The same from UTF-8 bytes, for reading every solve of a long history.
std::optional<Counted> countedFromUtf8(std::string_view text);
// The rule itself: the display form read back as seconds, as the windows
// read what they show.
std::optional<Counted> countedByRule(const QString &text);
// The attempt a display text stands for, where no raw time was kept: "14.34+"
// is a raw 12.34 with +2, "DNF" a DNF of raw 0.
std::optional<Attempt> attemptFromText(const QString &text);

// The form kept beside the display text: raw hundredths, then "+" for +2 or
// "D" for a DNF ("1234", "1234+", "1500D").
QString attemptToken(const Attempt &attempt);
std::optional<Attempt> attemptFromToken(QStringView token);

// The penalty of a solve started after this long an inspection, as the
// competition rules give it: up to 15 s none, up to 17 s +2, later a DNF.
Penalty inspectionPenalty(std::int64_t inspectionNs);

}  // namespace spinlog
