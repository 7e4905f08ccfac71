#pragma once
// W_Time, the solves of the series under way, and the save that moves a
// complete series into the history. The solve session reaches them only
// through the SeriesStore interface, so its tests can give it a store of
// their own.

#include "data/records.h"

#include <vector>

namespace spinlog {

class Database;
class HistoryWriter;

class SeriesStore {
public:
    virtual ~SeriesStore() = default;
    // The solves of the series under way, in solve number order.
    virtual std::vector<Solve> load() = 0;
    // Stores one finished solve with its moment and scramble.
    virtual void add(const Solve &solve) = 0;
    // Stores a solve again with its new penalty or comment (same number).
    virtual void update(const Solve &solve) = 0;
    // Empties the series under way.
    virtual void clear() = 0;
    // Adds the saved series and empties the series under way, together or
    // not at all.
    virtual void save(const SeriesRecord &record) = 0;
};

// The store in Spinlog.mdb; a save goes into the history through its owner.
class DatabaseSeriesStore final : public SeriesStore {
public:
    DatabaseSeriesStore(Database &db, HistoryWriter &history);
    std::vector<Solve> load() override;
    void add(const Solve &solve) override;
    void update(const Solve &solve) override;
    void clear() override;
    void save(const SeriesRecord &record) override;

private:
    Database &db_;
    HistoryWriter &history_;
    bool tokens_;   // the file has the column for the raw time and penalty
    bool details_;  // the file has the columns for the moment, scramble and comment
};

}  // namespace spinlog
