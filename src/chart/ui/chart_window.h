#pragma once
// The progress chart of the series the history window lists. Each
// series' average as a point, the trend of the last averages, the running
// best average and best single as steps; the time axis zooms with the wheel,
// pans with a drag and shows everything again at a double click. Saves the
// chart as a picture; keeps its place in the settings file.

#include "chart/listed_series.h"
#include "widgets/window_place.h"

#include <QDialog>

class QCategoryAxis;
class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QStatusBar;

namespace spinlog {

class PlotItem;
class Prompts;
class Reporter;
class Settings;

// What the chart window works with.
struct ChartWindowParts {
    Settings &settings;
    Prompts &prompts;
    const Reporter &reporter;
};

class ChartWindow : public QDialog {
    Q_OBJECT
public:
    // typeName: the filter's caption, shown in the title ("全て" for all).
    ChartWindow(ChartWindowParts parts, ListedSeries listed, const QString &typeName,
                QWidget *parent = nullptr);
    ~ChartWindow() override;

    // The time axis, in ms since the epoch: the whole listed period, or part.
    void showAll();
    void setTimeRange(double fromMs, double toMs);
    // Narrows (factor < 1) or widens the time axis around the given time.
    void zoomTime(double factor, double anchorMs);
    double timeFrom() const { return from_; }
    double timeTo() const { return to_; }

    // The hover text of an average point, empty when no series is there.
    QString pointText(const QPointF &point) const;
    // How many average dots the chart draws for its size and time range.
    int shownDots() const;

public slots:
    void done(int result) override;

private:
    void buildChart(const QString &typeName);
    void buildAxes(QChart *chart);
    void buildMenus();
    // Saves the chart as a picture.
    void savePicture();
    // Shows the hover text of the dot at a position in the chart, if any.
    void hoverAt(const QPointF &chartPosition);
    // Fits the value axis to what the time axis shows and hands the chart
    // the points thinned for the plot's size.
    void refresh();

    ChartWindowParts parts_;
    PlotItem *plot_ = nullptr;
    ChartData data_;
    ProgressLines lines_;
    double fullFrom_ = 0, fullTo_ = 0;
    double from_ = 0, to_ = 0;
    QRectF shownPlot_;
    double shownFrom_ = -1, shownTo_ = -1;
    bool refreshing_ = false;
    bool unloaded_ = false;
    QChartView *chartView_ = nullptr;
    QScatterSeries *averages_ = nullptr;
    QLineSeries *trend_ = nullptr;
    QCategoryAxis *axisX_ = nullptr;  // ms since the epoch
    QCategoryAxis *axisY_ = nullptr;
    QStatusBar *statusBar_ = nullptr;
    // The stored geometry the window was placed from, twips.
    WindowPlace place_{
        {Setting::ChartLeft, Setting::ChartTop, Setting::ChartWidth, Setting::ChartHeight},
        4500,
        3000,
        Procedure::ChartLoad};
};

// Reads the series the history window lists for the filter and shows their
// chart modally; a failure to read them is reported, with no window.
void showProgressChart(const HistoryChart &history, const TypeFilter &filter,
                       const QString &typeName, ChartWindowParts parts, QWidget *parent);

}  // namespace spinlog
