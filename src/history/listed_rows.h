#pragma once
// The rows the history window lists, as the store handed them over: each
// row's id, in the list's order. What a delete acts on, never read back from
// the grid; eight bytes a row, as a long history lists 100 000.

#include "data/history_list.h"

#include <cstdint>
#include <vector>

namespace spinlog {

class ListedRows {
public:
    void clear() { ids_.clear(); }
    // Takes the ids of every row of the batch.
    void append(const HistoryRows &rows)
    {
        ids_.insert(ids_.end(), rows.ids.begin(), rows.ids.end());
    }

    int size() const { return int(ids_.size()); }
    // Row index from 0, in the list's order.
    std::int64_t id(int index) const { return ids_.at(std::size_t(index)); }

private:
    std::vector<std::int64_t> ids_;
};

}  // namespace spinlog
