#pragma once
// The rows the history window lists, as the store handed them over: each
// row's id and date text, in the list's order. What a delete acts on and
// names in its question, never read back from the grid.

#include "data/history_list.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace spinlog {

class ListedRows {
public:
    void clear();
    // Takes the ids and the first cell (the date) of every row of the batch.
    void append(const HistoryRows &rows);

    int size() const { return int(ids_.size()); }
    // Row index from 0, in the list's order.
    std::int64_t id(int index) const { return ids_.at(std::size_t(index)); }
    QString dateTime(int index) const;

private:
    std::vector<std::int64_t> ids_;
    std::string dates_;                // UTF-8, back to back
    std::vector<std::uint32_t> ends_;  // the end of each row's date in dates_
};

}  // namespace spinlog
