#include "base/local_calendar.h"

#include <QDateTime>
#include <cstdio>

namespace spinlog {

namespace {

constexpr std::int64_t kDayMs = 24 * 3600 * 1000;

// The digits of text[from, from + count); -1 unless all are digits.
int digits(QByteArrayView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::int64_t startOf(const QDate &date)
{
    return date.startOfDay().toMSecsSinceEpoch();
}

}  // namespace

std::optional<std::int64_t> LocalCalendar::momentOf(QByteArrayView d)
{
    if (d.size() != 19 || d[4] != '/' || d[7] != '/' || d[10] != ' ' || d[13] != ':' ||
        d[16] != ':')
        return std::nullopt;
    const int year = digits(d, 0, 4), month = digits(d, 5, 2), day = digits(d, 8, 2);
    const int hour = digits(d, 11, 2), minute = digits(d, 14, 2), second = digits(d, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return std::nullopt;
    const int key = year * 10000 + month * 100 + day;
    if (key != textDay_) {
        const QDate date(year, month, day);
        if (!date.isValid())
            return std::nullopt;
        textDay_ = key;
        textDayStart_ = startOf(date);
        textDayEven_ = startOf(date.addDays(1)) - textDayStart_ == kDayMs &&
                       QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch() == textDayStart_;
    }
    const std::int64_t within = (std::int64_t(hour) * 3600 + minute * 60 + second) * 1000;
    if (textDayEven_)
        return textDayStart_ + within;
    // A day the clock changes: the zone itself.
    const QDateTime local(QDate(year, month, day), QTime(hour, minute, second));
    if (!local.isValid())
        return std::nullopt;
    return local.toMSecsSinceEpoch();
}

void LocalCalendar::toDayOf(std::int64_t moment)
{
    if (moment >= dayStart_ && moment < dayEnd_)
        return;
    const QDate date = QDateTime::fromMSecsSinceEpoch(moment).date();
    dayStart_ = startOf(date);
    dayEnd_ = startOf(date.addDays(1));
    day_ = date.year() * 10000 + date.month() * 100 + date.day();
}

int LocalCalendar::dayOf(std::int64_t moment)
{
    toDayOf(moment);
    return day_;
}

QString LocalCalendar::dateTimeText(std::int64_t moment)
{
    toDayOf(moment);
    // A day the clock changes: the zone itself.
    if (dayEnd_ - dayStart_ != kDayMs)
        return QDateTime::fromMSecsSinceEpoch(moment).toString(
            QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    const std::int64_t seconds = (moment - dayStart_) / 1000;
    char text[32];  // room for any int the compiler must assume
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", day_ / 10000,
                  day_ / 100 % 100, day_ % 100, int(seconds / 3600), int(seconds / 60 % 60),
                  int(seconds % 60));
    return QString::fromLatin1(text);
}

}  // namespace spinlog
