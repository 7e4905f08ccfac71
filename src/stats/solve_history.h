#pragma once
// Every saved solve in memory, read once and then kept up with the history:
// while the store reports no update or delete, a change reads only the series
// saved since; otherwise everything is read again. The solves of a type are
// those of its series in saving order, each series' solves in slot order;
// every type is every series of a type listed in MT_Type.

#include "data/history_store.h"
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
    QString typeId;
    QStringList times;
};

class SolveHistory {
public:
    struct Series {
        std::uint32_t first = 0;  // its first solve in solves()
        std::uint8_t count = 0;
        std::uint32_t type = 0;  // into the TypeIDs met
        bool listed = false;
        int day = 0;             // yyyymmdd, 0 when the date cannot be read
        std::uint32_t date = 0;  // its DateTime text in dates_
        std::uint8_t dateSize = 0;
    };

    // Brings the solves up to the store's and hands the filter's new ones to
    // figures; when everything is read again, figures start from nothing and
    // take the solves on a second thread while the rest is being read.
    void refresh(const HistoryStore &store, FigureAccumulator &figures, TypeFilter filter);

    std::span<const SolveValue> solvesOf(const Series &s) const
    {
        return {solves_.data() + s.first, s.count};
    }
    QString dateText(std::size_t series) const;
    // Solve texts that are neither a time, "DNF" nor "-": left out.
    std::int64_t unreadable() const { return unreadable_; }

    // The solves of the filter's series from `from` on, into the figures.
    void feed(FigureAccumulator &figures, TypeFilter filter, std::size_t from = 0) const;

private:
    void take(const SolveRow &row);

    std::vector<Series> series_;
    std::vector<SolveValue> solves_;
    QByteArray dates_;
    std::vector<QByteArray> typeIds_;
    std::int64_t unreadable_ = 0;
    std::int64_t lastId_ = 0;
    std::uint64_t rewrites_ = 0;
    bool read_ = false;
};

// The solves of a series under way when its type is in the filter; texts
// that are no solve are left out.
std::vector<SolveValue> underWaySolves(const SeriesUnderWay &series, TypeFilter filter);

// "ao5: 12.34  ao12: 13.05" of the type's last saved solves, "-" where there
// are too few.
QString recentAveragesText(const HistoryStore &store, const QString &typeId);

}  // namespace spinlog
