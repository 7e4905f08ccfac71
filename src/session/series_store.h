#pragma once
// Where the series under way and the saved series are kept: W_Time holds the
// solves of the series under way, T_Time one row per saved series. The solve
// session reaches them only through this interface, so its tests can give it
// a store of their own.

#include "session/series_rules.h"

#include <vector>

namespace spinlog {

class Database;

class SeriesStore {
public:
    virtual ~SeriesStore() = default;
    // The solves of the series under way, in solve number order.
    virtual std::vector<Solve> load() = 0;
    // Stores one finished solve.
    virtual void add(const Solve &solve) = 0;
    // Empties the series under way.
    virtual void clear() = 0;
    // Adds the saved series and empties the series under way, together or
    // not at all.
    virtual void save(const SeriesRecord &record) = 0;
};

// The store in Spinlog.mdb.
class DatabaseSeriesStore final : public SeriesStore {
public:
    explicit DatabaseSeriesStore(Database &db) : db_(db) {}
    std::vector<Solve> load() override;
    void add(const Solve &solve) override;
    void clear() override;
    void save(const SeriesRecord &record) override;

private:
    Database &db_;
};

}  // namespace spinlog
