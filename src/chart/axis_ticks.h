#pragma once
// Where the chart's two axes get their labels: the time axis on whole local
// minutes, hours, days, Mondays, months or years; the value axis on steps of
// 1, 2 or 5 times a power of ten hundredths.

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace spinlog {

// Labels at values (ms since the epoch, or seconds).
using Ticks = std::vector<std::pair<double, QString>>;

// The ticks between from and to (ms since the epoch, both included) of the
// finest step that puts at most `most` of them there (coarser steps for
// longer spans, ten years at most), labelled in that step's form
// ("MM/dd HH:mm", "yyyy/MM/dd", "yyyy/MM", "yyyy").
Ticks timeTicks(double fromMs, double toMs, int most);

// A step of 1, 2 or 5 times a power of ten hundredths giving at most `most`
// intervals over the span.
std::int64_t tickStep(double spanHundredths, int most);

// The value axis for values from low to high seconds: the range widened to
// whole steps and the ticks on them, labelled as times (0.50, 1:05.00).
struct ValueAxis {
    double low = 0, high = 0;
    Ticks ticks;
};
ValueAxis valueAxis(double lowSeconds, double highSeconds, int most);

}  // namespace spinlog
