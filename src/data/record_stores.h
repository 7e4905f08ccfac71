#pragma once
// The open database with the stores of its three tables: made together once
// the file is open, released together before the exit compacts it.

#include "data/database.h"
#include "data/history_store.h"
#include "data/puzzle_type_store.h"
#include "data/series_store.h"

#include <memory>

namespace spinlog {

class RecordStores {
public:
    explicit RecordStores(std::unique_ptr<Database> db)
        : db_(std::move(db)), history(*db_), types(*db_), series(*db_, history)
    {
    }
    RecordStores(const RecordStores &) = delete;
    RecordStores &operator=(const RecordStores &) = delete;

    Database &database() const { return *db_; }

private:
    std::unique_ptr<Database> db_;  // first: the stores below use it

public:
    HistoryStore history;
    PuzzleTypeStore types;
    DatabaseSeriesStore series;
};

}  // namespace spinlog
