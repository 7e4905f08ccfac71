#include "history/listed_rows.h"

namespace spinlog {

void ListedRows::clear()
{
    ids_.clear();
    dates_.clear();
    ends_.clear();
}

void ListedRows::append(const HistoryRows &rows)
{
    ids_.insert(ids_.end(), rows.ids.begin(), rows.ids.end());
    for (std::size_t cell = 0; cell < rows.ends.size(); cell += kHistoryCols) {
        const std::uint32_t begin = cell == 0 ? 0 : rows.ends[cell - 1];
        dates_.append(rows.text, begin, rows.ends[cell] - begin);
        ends_.push_back(std::uint32_t(dates_.size()));
    }
}

QString ListedRows::dateTime(int index) const
{
    const std::size_t i = std::size_t(index);
    const std::uint32_t begin = i == 0 ? 0 : ends_.at(i - 1);
    return QString::fromUtf8(dates_.data() + begin, qsizetype(ends_.at(i) - begin));
}

}  // namespace spinlog
