#pragma once
// The statistics window (object name frmStats): the figures over every solve
// of a type (or of every type), a histogram of the timed singles with the
// mean and the best marked, and the solves of the last days. It keeps the
// solves in memory and follows the history as it changes: a new series costs
// only its own solves; an update or a delete reads the history again. The
// series under way can be counted in after the saved ones; the types' names
// follow the options.

#include "data/history_writer.h"
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
    const HistoryWriter &history;  // followed as it changes
    const HistorySolves &solves;
    const PuzzleTypeStore &types;  // followed as they change
    const Reporter &reporter;
    const Clock &clock;  // the day of the series under way
    // The series under way; without it the window has no check box for it.
    std::function<SeriesUnderWay()> underWay;
};

class StatsWindow : public QDialog {
    Q_OBJECT
public:
    // Shows the filter's type (every type for a type not listed).
    StatsWindow(StatsWindowParts parts, const TypeFilter &filter, QWidget *parent = nullptr);
    ~StatsWindow() override;

    // The series under way changed; shown when it is counted in.
    void underWayChanged();

private:
    void buildControls();
    QWidget *buildHistogram();
    QWidget *buildDays();
    TypeFilter filter() const;
    std::vector<TypeId> listedTypes() const;
    void fillTypeList();
    // Reads the whole history and shows the figures.
    void readHistory();
    // Takes in the history's changes since the last repaint.
    void followHistory();
    // The types changed: their names and which count for every type.
    void typesChanged();
    // The saved solves of the filter, counted again from memory.
    void typeChosen();
    // Shows the saved figures, with the series under way when it counts.
    void showFigures();
    void showHistogram(const Histogram &histogram, const Figures &figures);
    void showDays(const std::map<int, std::int64_t> &days);

    StatsWindowParts parts_;
    TypeChoices choices_;  // the type list's entries
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
    QTimer *pending_ = nullptr;           // one repaint for a save's two signals
    std::vector<HistoryChange> changes_;  // not yet taken in
    SeriesUnderWay shownUnderWay_;
};

}  // namespace spinlog
