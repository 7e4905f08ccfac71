#pragma once
// The open database with the stores of its three tables: made together once
// the file is open, released together before the exit compacts it. T_Time
// has one writer and a narrow read for each kind of reader.

#include "data/database.h"
#include "data/history_list.h"
#include "data/history_reads.h"
#include "data/history_writer.h"
#include "data/puzzle_type_store.h"
#include "data/series_store.h"

#include <memory>

namespace spinlog {

class Settings;

class RecordStores {
public:
    // settings: where the types' inspection is chosen (see PuzzleTypeStore).
    explicit RecordStores(std::unique_ptr<Database> db, const Settings *settings = nullptr)
        : db_(std::move(db)),
          history(*db_),
          historyList(*db_),
          historyChart(*db_),
          historySolves(*db_),
          historyExport(*db_),
          types(*db_, settings),
          series(*db_, history)
    {
    }
    RecordStores(const RecordStores &) = delete;
    RecordStores &operator=(const RecordStores &) = delete;

    Database &database() const { return *db_; }

private:
    std::unique_ptr<Database> db_;  // first: the stores below use it

public:
    HistoryWriter history;
    HistoryList historyList;
    HistoryChart historyChart;
    HistorySolves historySolves;
    HistoryExport historyExport;
    PuzzleTypeStore types;
    DatabaseSeriesStore series;
};

}  // namespace spinlog
