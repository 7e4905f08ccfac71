#pragma once
// Local time for many moments at a time: a stored DateTime text
// ("YYYY/MM/DD HH:NN:SS", local time) as ms since the epoch, and a moment's
// local day. Both ask the time zone once per day met (per hour on a day of a
// clock change), so reading a long history in order costs a lookup a row.

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

namespace spinlog {

class LocalCalendar {
public:
    // The moment a DateTime text names, read as local time; nothing when it
    // is no such text. A time a clock change skips or repeats is the zone's
    // choice.
    std::optional<std::int64_t> momentOf(QByteArrayView dateTime);
    // The local day of a moment as yyyymmdd.
    int dayOf(std::int64_t moment);
    // A moment as a DateTime text, local time.
    QString dateTimeText(std::int64_t moment);

private:
    // The day last converted each way.
    int textDay_ = 0;
    std::int64_t textDayStart_ = 0;
    bool textDayEven_ = false;  // 24 hours long: no clock change that day
    std::int64_t dayStart_ = 1, dayEnd_ = 0;
    int day_ = 0;
    void toDayOf(std::int64_t moment);
};

}  // namespace spinlog
