#pragma once
// frmChart: the progress chart of the series the history window lists. Each
// series' average as a point, the trend of the last averages, the running
// best average and best single as steps; the time axis zooms with the wheel,
// pans with a drag and shows everything again at a double click. Saves the
// chart as a PNG; keeps its place in the settings file.

#include "chart/chart_query.h"
#include "widgets/window_place.h"

#include <QChartView>
#include <QDialog>

class QAction;
class QCategoryAxis;
class QLabel;
class QLineSeries;
class QMenuBar;
class QScatterSeries;
class QStatusBar;

namespace spinlog {

class PlotItem;
class Program;

class frmChart : public QDialog {
    Q_OBJECT
public:
    // typeName: the filter's caption, shown in the title ("全て" for all).
    frmChart(Program &program, ListedSeries listed, const QString &typeName,
             QWidget *parent = nullptr);
    ~frmChart() override;

    // Asks for a file and writes the chart into it as a PNG.
    void Sub_SavePNG();

    // The time axis, in ms since the epoch: the whole listed period, or part.
    void showAll();
    void setTimeRange(double fromMs, double toMs);
    // Narrows (factor < 1) or widens the time axis around the given time.
    void zoomTime(double factor, double anchorMs);
    double timeFrom() const { return from_; }
    double timeTo() const { return to_; }

    // The hover text of an average point, empty when no series is there.
    QString pointText(const QPointF &point) const;
    // Shows the hover text of the dot at a position in the chart, if any.
    void hoverAt(const QPointF &chartPosition);
    // How many average dots the chart draws for its size and time range.
    int shownDots() const;

    QMenuBar *menuBar = nullptr;
    QAction *M_SavePNG = nullptr;
    QAction *M_ShowAll = nullptr;
    QAction *M_Close = nullptr;
    QChartView *chartView = nullptr;
    QScatterSeries *averages = nullptr;
    QLineSeries *trend = nullptr;
    QLineSeries *bestAverage = nullptr;
    QLineSeries *bestSingle = nullptr;
    QCategoryAxis *axisX = nullptr;  // ms since the epoch
    QCategoryAxis *axisY = nullptr;
    QStatusBar *StatusBar = nullptr;

public slots:
    void done(int result) override;

private:
    void buildChart(const QString &typeName);
    void Form_Load();
    void Form_Unload();
    // Fits the value axis to what the time axis shows and hands the chart
    // the points thinned for the plot's size.
    void refresh();

    Program &program_;
    PlotItem *plot_ = nullptr;
    ChartData data_;
    ProgressLines lines_;
    double fullFrom_ = 0, fullTo_ = 0;
    double from_ = 0, to_ = 0;
    QRectF shownPlot_;
    double shownFrom_ = -1, shownTo_ = -1;
    bool refreshing_ = false;
    bool unloaded_ = false;
    // The stored geometry the window was placed from, twips.
    WindowPlace place_{
        {Setting::ChartLeft, Setting::ChartTop, Setting::ChartWidth, Setting::ChartHeight},
        4500,
        3000};
};

// Reads the series the history window lists for the filter position and shows
// their chart modally; a failure to read them is reported, with no window.
void showProgressChart(Program &program, int typePosition, const QString &typeName,
                       QWidget *parent);

}  // namespace spinlog
