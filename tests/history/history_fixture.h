#pragma once
// Saved series for the history tests, written straight into T_Time, and a
// Program over fakes with the database of a fresh application folder open.

#include "app/program.h"
#include "data/database.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace spinlog::test {

// One saved series. Times are display texts under a minute, so their seconds
// are the same text; best and worst are found from them unless given.
struct SeriesRow {
    QString dateTime;
    QString typeId;
    QStringList times;  // the solves; the remaining slots are "-"
    QString average;
    int bestNo = 0;   // 0: the fastest solve
    int worstNo = 0;  // 0: the slowest solve
};

void addSeries(Database &db, const SeriesRow &series);
int countRows(Database &db, const QString &where = {}, const QVariantList &values = {});

struct HistoryWorld {
    HistoryWorld();
    TempAppFolder folder;
    FakeWorld world;
    Program &program() { return world.program; }
    Database &db() { return *world.program.gDB; }
    FakePrompts &prompts() { return world.prompts; }
    // The three series most tests start from: two of type 1, one of type 2,
    // saved in the order of their dates.
    void seedThree();
    // Err.log's entries' texts, oldest first.
    QStringList logTexts() const;
};

}  // namespace spinlog::test
