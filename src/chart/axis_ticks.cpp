#include "chart/axis_ticks.h"

#include "base/time_values.h"

#include <QDateTime>
#include <cmath>

namespace spinlog {

namespace {

constexpr double kMinuteMs = 60'000;
constexpr double kHourMs = 60 * kMinuteMs;
constexpr double kDayMs = 86'400'000;

// Steps of the time axis, each with its labels' form; the first that puts no
// more than the room allows on the axis is taken.
enum class Unit { Minute, Hour, Day, Week, Month, Year };
struct TimeStep {
    Unit unit;
    int count;
    const char *format;
    double ms;  // about
};
constexpr TimeStep kTimeSteps[] = {
    {Unit::Minute, 10, "MM/dd HH:mm", 10 * kMinuteMs},
    {Unit::Minute, 30, "MM/dd HH:mm", 30 * kMinuteMs},
    {Unit::Hour, 1, "MM/dd HH:mm", kHourMs},
    {Unit::Hour, 3, "MM/dd HH:mm", 3 * kHourMs},
    {Unit::Hour, 6, "MM/dd HH:mm", 6 * kHourMs},
    {Unit::Hour, 12, "MM/dd HH:mm", 12 * kHourMs},
    {Unit::Day, 1, "yyyy/MM/dd", kDayMs},
    {Unit::Day, 2, "yyyy/MM/dd", 2 * kDayMs},
    {Unit::Week, 1, "yyyy/MM/dd", 7 * kDayMs},
    {Unit::Week, 2, "yyyy/MM/dd", 14 * kDayMs},
    {Unit::Month, 1, "yyyy/MM", 30.4 * kDayMs},
    {Unit::Month, 3, "yyyy/MM", 91 * kDayMs},
    {Unit::Month, 6, "yyyy/MM", 182 * kDayMs},
    {Unit::Year, 1, "yyyy", 365 * kDayMs},
    {Unit::Year, 2, "yyyy", 730 * kDayMs},
    {Unit::Year, 5, "yyyy", 1826 * kDayMs},
    {Unit::Year, 10, "yyyy", 3652 * kDayMs},
};

const TimeStep &stepFor(double spanMs, int most)
{
    for (const TimeStep &s : kTimeSteps) {
        if (spanMs / s.ms <= most)
            return s;
    }
    return *(std::end(kTimeSteps) - 1);
}

// The first tick at or before the time: the step's unit and count rounded down.
QDateTime firstTick(const QDateTime &start, const TimeStep &step)
{
    const QDate day = start.date();
    const int n = step.count;
    switch (step.unit) {
        case Unit::Minute:
            return QDateTime(day, QTime(start.time().hour(), start.time().minute() / n * n));
        case Unit::Hour: return QDateTime(day, QTime(start.time().hour() / n * n, 0));
        case Unit::Day: return day.startOfDay();
        case Unit::Week: return day.addDays(1 - day.dayOfWeek()).startOfDay();
        case Unit::Month: return QDate(day.year(), (day.month() - 1) / n * n + 1, 1).startOfDay();
        case Unit::Year: break;
    }
    return QDate(day.year() / n * n, 1, 1).startOfDay();
}

QDateTime nextTick(const QDateTime &t, const TimeStep &step)
{
    const int n = step.count;
    switch (step.unit) {
        case Unit::Minute: return t.addSecs(60 * n);
        case Unit::Hour: return t.addSecs(3600 * n);
        case Unit::Day: return t.addDays(n);
        case Unit::Week: return t.addDays(7 * n);
        case Unit::Month: return t.addMonths(n);
        case Unit::Year: break;
    }
    return t.addYears(n);
}

}  // namespace

Ticks timeTicks(double fromMs, double toMs, int most)
{
    const TimeStep &step = stepFor(toMs - fromMs, most);
    Ticks ticks;
    QDateTime t = firstTick(QDateTime::fromMSecsSinceEpoch(qint64(fromMs)), step);
    for (int guard = 0; guard < 200 && t.toMSecsSinceEpoch() <= toMs; ++guard) {
        if (t.toMSecsSinceEpoch() >= fromMs)
            ticks.emplace_back(double(t.toMSecsSinceEpoch()),
                               t.toString(QLatin1String(step.format)));
        t = nextTick(t, step);
    }
    return ticks;
}

std::int64_t tickStep(double spanHundredths, int most)
{
    for (std::int64_t power = 1;; power *= 10) {
        for (std::int64_t m : {1, 2, 5}) {
            if (spanHundredths / double(m * power) <= most)
                return m * power;
        }
    }
}

ValueAxis valueAxis(double lowSeconds, double highSeconds, int most)
{
    const double lowH = lowSeconds * 100, highH = highSeconds * 100;
    const std::int64_t step = tickStep(highH - lowH, most);
    const std::int64_t first = std::int64_t(std::floor(lowH / double(step))) * step;
    const std::int64_t last = std::int64_t(std::ceil(highH / double(step))) * step;
    ValueAxis axis{double(first) / 100, double(last) / 100, {}};
    for (std::int64_t tick = first; tick <= last; tick += step)
        axis.ticks.emplace_back(double(tick) / 100, displayForm(tick));
    return axis;
}

}  // namespace spinlog
