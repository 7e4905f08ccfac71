#pragma once
// Saved series for the history tests, written straight into T_Time, and a
// Program over fakes with the database of a fresh application folder open.

#include "app/program.h"
#include "data/record_stores.h"
#include "interop/history_file.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"

namespace spinlog::test {

// One saved series. Times are display texts ("DNF" too); best and worst are
// the fastest and slowest solve unless given.
struct SeriesRow {
    QString dateTime, typeId;
    QStringList times;  // the solves; the remaining slots are "-"
    QString average;
    int bestNo = 0, worstNo = 0;
};

void addSeries(Database &db, const SeriesRow &series);
int countRows(Database &db, const QString &where = {}, const QString &table = "T_Time");
// Drops the indexes a file of an older program did not have.
void dropAddedIndexes(Database &db);

// Every session of a file as name[token@seconds ...], each solve's scramble,
// comment and phases in braces where it has any, read again from the file.
QString contentsOf(const HistoryFile &file);

// A csTimer file of one session of that name: 12 solves of 10.00, 10.10 ...
// 11.10 s, a second apart from 1700000000.
QByteArray twelveSolves(const char *name);

struct HistoryWorld {
    HistoryWorld();
    TempAppFolder folder;
    FakeWorld world;
    Program &program() { return world.program; }
    Database &db() { return world.program.records->database(); }
    HistoryWriter &history() { return world.program.records->history; }
    FakePrompts &prompts() { return world.prompts; }
    // Type 1 on 05/01 (best 18.50, average 20.00), type 2 on 05/02 (4.20,
    // 5.00), type 1 on 05/03 (15.20, 17.00).
    void seedThree();
};

}  // namespace spinlog::test
