#pragma once
// frmStats: the figures over every solve of a type (or of every type), a
// histogram of the timed singles with the mean and the best marked, and the
// solves of the last days. It keeps the solves in memory and follows the
// history as it changes: a new series costs only its own solves; an update
// or a delete reads the history again. The series under way can be counted
// in after the saved ones.

#include "data/history_store.h"
#include "stats/solve_history.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineSeries;
class QTableWidget;
class QTimer;
class QValueAxis;

namespace spinlog {

class Clock;
class DayBars;
class PuzzleTypeStore;
class Reporter;

struct StatsWindowParts {
    const HistoryStore &history;
    const PuzzleTypeStore &types;
    const Reporter &reporter;
    const Clock &clock;  // the day of the series under way
    // The series under way; without it the window has no check box for it.
    std::function<SeriesUnderWay()> underWay;
};

class frmStats : public QDialog {
    Q_OBJECT
public:
    // Shows the filter's type (every type for 0, or a number beyond the list).
    frmStats(StatsWindowParts parts, TypeFilter filter, QWidget *parent = nullptr);
    ~frmStats() override;

    // The series under way changed; shown when it is counted in.
    void underWayChanged();

private:
    void buildControls();
    QWidget *buildHistogram();
    QWidget *buildDays();
    TypeFilter filter() const;
    // Reads what the history has new and shows the figures.
    void Sub_DataSet();
    // The saved solves of the filter, counted again from memory.
    void typeChosen();
    // Shows the saved figures, with the series under way when it counts.
    void showFigures();
    void showHistogram(const Histogram &histogram, const Figures &figures);
    void showDays(const std::map<int, std::int64_t> &days);

    StatsWindowParts parts_;
    SolveHistory solves_;
    FigureAccumulator saved_;

    QComboBox *cmbType_ = nullptr;
    QCheckBox *chkUnderWay_ = nullptr;
    QTableWidget *tblFigures_ = nullptr;
    QLineSeries *histogramTop_ = nullptr;
    QLineSeries *meanLine_ = nullptr;
    QLineSeries *bestLine_ = nullptr;
    QValueAxis *histogramX_ = nullptr;
    QValueAxis *histogramY_ = nullptr;
    DayBars *days_ = nullptr;
    QLabel *statusPanel_ = nullptr;
    QTimer *pending_ = nullptr;  // one repaint for a save's two signals
    bool historyChanged_ = false;
    SeriesUnderWay shownUnderWay_;
};

}  // namespace spinlog
