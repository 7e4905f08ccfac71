#include "data/history_order.h"

#include <algorithm>
#include <compare>
#include <cstring>

namespace spinlog {

namespace {

// NULL first, then texts byte by byte, a prefix before what extends it.
std::strong_ordering compareText(QByteArrayView a, QByteArrayView b)
{
    if (a.isNull() || b.isNull())
        return b.isNull() <=> a.isNull();
    const std::size_t common = std::size_t(std::min(a.size(), b.size()));
    const int bytes = common ? std::memcmp(a.data(), b.data(), common) : 0;
    if (bytes != 0)
        return bytes <=> 0;
    return a.size() <=> b.size();
}

}  // namespace

bool doneBefore(const SeriesPlace &a, const SeriesPlace &b)
{
    if (const auto date = compareText(a.dateTime, b.dateTime); date != 0)
        return date < 0;
    if (const auto type = compareText(a.typeId, b.typeId); type != 0)
        return type < 0;
    return a.id < b.id;
}

}  // namespace spinlog
