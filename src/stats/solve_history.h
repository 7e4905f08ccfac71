#pragma once
// Every saved solve in memory, read once and then kept up with the history's
// changes: series added after every one held are read alone; any other
// change reads everything again. Series are held in the history's order
// (data/history_order.h), each series' solves in slot order; every type is
// every series of a type listed in MT_Type.

#include "data/history_change.h"
#include "data/history_order.h"
#include "data/history_reads.h"
#include "stats/solve_figures.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <vector>

namespace spinlog {

// The series under way as the statistics take it: its type and its solves'
// display texts, in solve order.
struct SeriesUnderWay {
    TypeId typeId;
    QStringList times;
};

class SolveHistory {
public:
    struct Series {
        std::int64_t id = 0;      // its rowid
        std::uint32_t first = 0;  // its first solve in solves_
        std::uint8_t count = 0;
        std::uint8_t dateSize = 0;
        bool dateNull = false;
        std::uint32_t type = 0;  // into the TypeIDs met
        int day = 0;             // yyyymmdd, 0 when the date cannot be read
        std::uint32_t date = 0;  // its DateTime text in dates_
    };

    // listed: the TypeIDs of MT_Type, whose series count for every type.
    explicit SolveHistory(std::vector<TypeId> listed = {});

    // Reads every saved series; the figures start from nothing and take the
    // filter's solves on a second thread while the rest is being read.
    void readAll(const HistorySolves &history, FigureAccumulator &figures,
                 const TypeFilter &filter);
    // Follows a change of the history, handing the filter's new solves to
    // the figures (or all of them again, from nothing).
    void follow(const HistoryChange &change, const HistorySolves &history,
                FigureAccumulator &figures, const TypeFilter &filter);
    // The types of MT_Type changed: which series count for every type.
    void setListed(std::vector<TypeId> listed);

    std::span<const SolveValue> solvesOf(const Series &s) const
    {
        return {solves_.data() + s.first, s.count};
    }
    QString dateText(std::size_t series) const;
    // Solve texts that are neither a time, "DNF" nor "-": left out.
    std::int64_t unreadable() const { return unreadable_; }

    // The solves of the filter's series from `from` on, into the figures.
    void feed(FigureAccumulator &figures, const TypeFilter &filter, std::size_t from = 0) const;

private:
    void take(const SolveRow &row);
    int typeOf(const TypeFilter &filter) const;
    SeriesPlace placeOf(const Series &s) const;
    void putInOrder();

    std::vector<TypeId> listed_;
    std::vector<Series> series_;
    std::vector<SolveValue> solves_;
    QByteArray dates_;
    std::vector<QByteArray> typeIds_;
    std::vector<bool> typeIdNull_;  // by typeIds_: NULL, no TypeID at all
    std::vector<bool> typeListed_;  // by typeIds_
    std::int64_t unreadable_ = 0;
    std::int64_t lastId_ = 0;  // the greatest rowid held: a series added later has a greater one
    bool read_ = false;
};

// The solves of a series under way when its type is in the filter; texts
// that are no solve are left out.
std::vector<SolveValue> underWaySolves(const SeriesUnderWay &series, const TypeFilter &filter);

}  // namespace spinlog
