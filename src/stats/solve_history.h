#pragma once
// Every saved solve in memory, read once and then kept up with the history's
// changes: a series saved after every solve held is read alone; any other
// change reads everything again. Solves are held in the history's order
// (data/history_order.h): by when they were done, whatever order they were
// saved or imported in. Every type is every solve of a type listed in MT_Type.

#include "data/history_change.h"
#include "data/history_order.h"
#include "data/history_reads.h"
#include "stats/solve_figures.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
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
    // listed: the TypeIDs of MT_Type, whose solves count for every type.
    explicit SolveHistory(std::vector<TypeId> listed = {});

    // Reads every saved solve; the figures start from nothing and take the
    // filter's solves on a second thread while the rest is being read.
    void readAll(const HistorySolves &history, FigureAccumulator &figures,
                 const TypeFilter &filter);
    // Follows the history's changes, handing the filter's new solves to the
    // figures (or all of them again, from nothing).
    void follow(const std::vector<HistoryChange> &changes, const HistorySolves &history,
                FigureAccumulator &figures, const TypeFilter &filter);
    // The types of MT_Type changed: which solves count for every type.
    void setListed(std::vector<TypeId> listed);

    std::size_t size() const { return values_.size(); }
    // When the solve at this place (of the history's order) was done, local
    // time; empty when it cannot be told.
    QString dateText(std::size_t place) const;
    // Stored solve texts that are neither a time nor "DNF": left out.
    std::int64_t unreadable() const { return unreadable_; }

    // The filter's solves from place `from` on, into the figures, in runs
    // whose places are those here.
    void feed(FigureAccumulator &figures, const TypeFilter &filter, std::size_t from = 0) const;

private:
    void take(const CountedSolve &solve);
    std::uint16_t typeIndex(QByteArrayView typeId);
    bool counts(std::uint16_t type, int wanted) const;
    int typeOf(const TypeFilter &filter) const;
    SolvePlace placeAt(std::size_t i) const { return {moments_[i], series_[i], places_[i]}; }
    void putInOrder();

    std::vector<TypeId> listed_;
    // The solves, one entry in each at the same place.
    std::vector<SolveValue> values_;
    std::vector<std::int64_t> moments_;
    std::vector<std::int64_t> series_;
    std::vector<std::uint8_t> places_;
    std::vector<std::uint16_t> types_;  // into typeIds_
    std::vector<QByteArray> typeIds_;
    std::vector<bool> typeIdNull_;  // by typeIds_: NULL, no TypeID at all
    std::vector<bool> typeListed_;  // by typeIds_
    std::int64_t unreadable_ = 0;
    bool read_ = false;
};

// The solves of a series under way when its type is in the filter; texts
// that are no solve are left out.
std::vector<SolveValue> underWaySolves(const SeriesUnderWay &series, const TypeFilter &filter);

}  // namespace spinlog
