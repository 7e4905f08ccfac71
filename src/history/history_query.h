#pragma once
// The history list without its window: the statements built from the type
// filter and the sort order, and the fill that turns the listed series into
// row texts and cell colours. Kept free of widgets so it runs without a display.

#include "data/puzzle_type_store.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <cstdint>
#include <string>
#include <vector>

namespace spinlog {

class Database;
class Settings;

inline constexpr int kHistoryCols = 15;   // date, type, 12 solves, average
inline constexpr int kHistoryOrders = 4;  // date up/down, average up/down
inline constexpr int kHistoryAverageCol = 14;

// An SQL text with "?" placeholders and the values bound to them.
struct BoundStatement {
    QString sql;
    QVariantList values;
};

// The list of saved series for a type filter position (0 all types, k the
// TypeID k) and an order position (0 to 3). A negative filter position throws.
// Series with equal sort keys come in the order the list has always shown
// them: by the position of their type's row in MT_Type, then in saving order.
// When typesInIdOrder says MT_Type's rows stand in TypeID order, each TypeID
// once (as the program writes them), that is the order of the TypeID, which
// the indexes give without sorting.
BoundStatement historyListQuery(int typePosition, int orderPosition, bool typesInIdOrder);
// The same, with MT_Type looked at for the tie order.
BoundStatement historyListQuery(Database &db, int typePosition, int orderPosition);
// Deletes every saved series with this DateTime text.
BoundStatement deleteRecordStatement(const QString &dateTime);
// Deletes every saved series of the filter; with position 0 the whole table,
// types without an entry in MT_Type included.
BoundStatement deleteListedStatement(int typePosition);

// The best single (BestTime of the least BestTimeSS) and the best average
// (AveTime of the least AveTimeSS) among the saved series of a filter
// position, every type for 0, types without an entry included; "-" when
// there is none. Least as the engine sorts: no value first, then numbers,
// then texts; of equals, the first saved.
BestRecords historyBests(Database &db, int typePosition);

// A batch of listed rows: the UTF-8 texts of their cells back to back, the
// end of each cell's text in it and a colour per cell, kHistoryCols cells per
// row, row after row. A cell's colour is an index into palette, whose
// colours are 0xFFRRGGBB, 0 keeping the grid's own.
struct HistoryRows {
    enum Colour : std::uint8_t { None, Solve, MissingSolve, Worst, Best };
    std::string text;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint8_t> colours;
    std::vector<std::uint32_t> palette;
};

// Receives the listed rows in order, in batches.
class HistorySink {
public:
    virtual ~HistorySink() = default;
    // Called once the query has run, before the first row: drop the old rows.
    virtual void clear() = 0;
    virtual void appendRows(const HistoryRows &rows) = 0;
};

// Runs the list query and hands every series to the sink, coloured with the
// settings' colours (converted when the first row needs them). Returns the
// number of rows. On a failure the rows read so far, a partly written one
// included, have reached the sink before the SpinlogError propagates.
int fillHistory(Database &db, const BoundStatement &query, const Settings &settings,
                HistorySink &sink);

}  // namespace spinlog
