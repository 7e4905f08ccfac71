#include "chart/ui/chart_window.h"

#include "base/error_log.h"
#include "base/error_report.h"
#include "base/export_file.h"
#include "base/seams.h"
#include "base/shown_text.h"
#include "base/time_values.h"
#include "chart/axis_ticks.h"
#include "chart/ui/plot_view.h"
#include "data/program_files.h"
#include "widgets/menu_action.h"
#include "widgets/units.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QScatterSeries>
#include <QStatusBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace spinlog {

namespace {

constexpr double kMinuteMs = 60'000;
constexpr double kDayMs = 86'400'000;
constexpr int kCellPx = 3;  // about a marker's radius

const QColor kAverageColour(0x2f, 0x6f, 0xc0);
const QColor kTrendColour(0xf0, 0x8a, 0x24);
const QColor kBestAverageColour(0x2e, 0xa0, 0x5a);
const QColor kBestSingleColour(0xd6, 0x3a, 0x4a);

QLineSeries *lineSeries(const QString &name, const QColor &colour, qreal width)
{
    auto *line = new QLineSeries;
    line->setName(name);
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    line->setPen(pen);
    return line;
}

// The value of a step line at x: its last point at or before x.
std::optional<double> heldAt(const QList<QPointF> &line, double x)
{
    const auto after = std::upper_bound(line.begin(), line.end(), x,
                                        [](double at, const QPointF &p) { return at < p.x(); });
    if (after == line.begin())
        return std::nullopt;
    return (after - 1)->y();
}

// The least and greatest y of the points with x in [from, to].
void widen(const QList<QPointF> &points, double from, double to, double &low, double &high)
{
    auto p = std::lower_bound(points.begin(), points.end(), from,
                              [](const QPointF &q, double at) { return q.x() < at; });
    for (; p != points.end() && p->x() <= to; ++p) {
        low = std::min(low, p->y());
        high = std::max(high, p->y());
    }
}

// Labels at the given values; the axis spans [low, high].
void setTicks(QCategoryAxis *axis, double low, double high, const Ticks &ticks)
{
    for (const QString &label : axis->categoriesLabels()) axis->remove(label);
    axis->setStartValue((ticks.empty() ? low : std::min(low, ticks.front().first)) - 1);
    for (const auto &[value, label] : ticks) axis->append(label, value);
    axis->setRange(low, high);
}

// The picture's format from the file name's suffix: JPEG or PNG; any other
// name gets ".png" and PNG data.
std::pair<QString, const char *> pictureFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return {path, "JPEG"};
    if (suffix == QLatin1String("png"))
        return {path, "PNG"};
    return {path + QStringLiteral(".png"), "PNG"};
}

}  // namespace

ChartWindow::ChartWindow(ChartWindowParts parts, ListedSeries listed, const QString &typeName,
                         QWidget *parent)
    : QDialog(parent), parts_(parts)
{
    const QString count = listed.countText();
    data_ = std::move(listed.data);
    setWindowTitle(Text::tr("グラフ"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    lines_ = progressLines(data_.series);
    buildChart(typeName);

    auto *status = new QLabel(statusBar_);
    status->setObjectName(QStringLiteral("statusPanel"));
    status->setText(count);
    statusBar_->addWidget(status, 1);
    statusBar_->addPermanentWidget(
        new QLabel(Text::tr("ホイール: 拡大・縮小　ドラッグ: 移動　ダブルクリック: 全体表示")));

    if (data_.series.empty()) {
        const double now = double(QDateTime::currentMSecsSinceEpoch());
        fullFrom_ = now - kDayMs;
        fullTo_ = now + kDayMs;
    } else {
        // A little room on both sides, so the first and last points are whole.
        const double first = double(data_.series.front().ms);
        const double last = double(data_.series.back().ms);
        const double pad = std::max((last - first) * 0.02, 30 * kMinuteMs);
        fullFrom_ = first - pad;
        fullTo_ = last + pad;
    }
    from_ = fullFrom_;
    to_ = fullTo_;
    place_.read(parts_.settings, parts_.reporter.log());
    place_.apply(*this);
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::buildChart(const QString &typeName)
{
    auto *chart = new QChart;
    chart->setTheme(QChart::ChartThemeLight);
    // White to the window's edges: no frame around the background.
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(12, 10, 24, 6));
    chart->setTitle(Text::tr("平均タイムの推移 ― ") + typeName);
    chart->setTitleFont(layoutFont(12, true));
    chart->setPlotAreaBackgroundBrush(QColor(0xfa, 0xfb, 0xfd));
    chart->setPlotAreaBackgroundVisible(true);

    averages_ = new QScatterSeries;
    averages_->setName(Text::tr("平均タイム"));
    averages_->setColor(kAverageColour);
    averages_->setBorderColor(Qt::white);
    averages_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    trend_ = lineSeries(Text::tr("直近%1回の平均").arg(kTrendWindow), kTrendColour, 2.5);
    auto *bestAverage = lineSeries(Text::tr("ベストタイム(平均)"), kBestAverageColour, 2);
    auto *bestSingle = lineSeries(Text::tr("ベストタイム"), kBestSingleColour, 2);
    bestAverage->replace(lines_.bestAverage);
    bestSingle->replace(lines_.bestSingle);
    for (QXYSeries *s :
         {static_cast<QXYSeries *>(averages_), static_cast<QXYSeries *>(trend_),
          static_cast<QXYSeries *>(bestAverage), static_cast<QXYSeries *>(bestSingle)})
        chart->addSeries(s);
    buildAxes(chart);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(layoutFont(9));

    chartView_ = new ProgressView(
        chart, {[this] { return from_; }, [this] { return to_; },
                [this](double f, double t) { setTimeRange(f, t); },
                [this](double f, double a) { zoomTime(f, a); }, [this] { showAll(); },
                [this](const QPointF &at) { hoverAt(at); }});
    chartView_->setObjectName(QStringLiteral("chartView"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setFrameShape(QFrame::NoFrame);
    chartView_->setMouseTracking(true);
    // The dots and the trend are painted by the plot item; their series
    // stay empty and give the legend its entries.
    plot_ = new PlotItem(chart, markerImage(kAverageColour, chartView_->devicePixelRatioF()),
                         trend_->pen());
    connect(chart, &QChart::plotAreaChanged, this, [this] { refresh(); });

    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(chartView_, 1);
    layout->addWidget(statusBar_);
    buildMenus();
}

void ChartWindow::buildAxes(QChart *chart)
{
    axisX_ = new QCategoryAxis;
    axisX_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX_->setTitleText(Text::tr("日付"));
    axisY_ = new QCategoryAxis;
    axisY_->setTitleText(Text::tr("タイム"));
    axisY_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(axisX_), static_cast<QAbstractAxis *>(axisY_)}) {
        axis->setLabelsFont(layoutFont(9));
        axis->setTitleFont(layoutFont(9.75));
        axis->setGridLineColor(QColor(0xe3, 0xe6, 0xeb));
        axis->setLinePenColor(QColor(0xa0, 0xa6, 0xb0));
    }
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (QAbstractSeries *s : chart->series()) {
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
    }
}

void ChartWindow::buildMenus()
{
    auto *menuBar = new QMenuBar(this);
    const auto add = [this](QMenu *menu, const char *name, const QString &caption,
                            const QKeySequence &key, auto handler) {
        return addMenuAction(menu, name, caption, key, this, handler);
    };
    QMenu *fileMenu = menuBar->addMenu(Text::tr("ファイル(&F)"));
    add(fileMenu, "M_SavePNG", Text::tr("画像として保存(&S)..."),
        QKeySequence(Qt::CTRL | Qt::Key_S), [this] { savePicture(); });
    fileMenu->addSeparator();
    add(fileMenu, "M_Close", Text::tr("閉じる(&X)"), {}, [this] { close(); });
    QMenu *viewMenu = menuBar->addMenu(Text::tr("表示(&V)"));
    add(viewMenu, "M_ShowAll", Text::tr("全体を表示(&A)"), QKeySequence(Qt::Key_Home),
        [this] { showAll(); });
    layout()->setMenuBar(menuBar);
}

void ChartWindow::done(int result)
{
    if (!unloaded_) {
        unloaded_ = true;
        place_.remember(parts_.settings, *this);
    }
    QDialog::done(result);
}

void ChartWindow::showAll()
{
    setTimeRange(fullFrom_, fullTo_);
}

void ChartWindow::setTimeRange(double fromMs, double toMs)
{
    // Never beyond the listed period, never narrower than a few minutes.
    const double span = std::clamp(toMs - fromMs, 10 * kMinuteMs, fullTo_ - fullFrom_);
    from_ = std::clamp(fromMs, fullFrom_, fullTo_ - span);
    to_ = from_ + span;
    refresh();
}

void ChartWindow::zoomTime(double factor, double anchorMs)
{
    const double anchor = std::clamp(anchorMs, from_, to_);
    setTimeRange(anchor - (anchor - from_) * factor, anchor + (to_ - anchor) * factor);
}

void ChartWindow::refresh()
{
    QChart *chart = chartView_->chart();
    const QRectF plot = chart->plotArea();
    if (refreshing_ || plot.width() < 1 || plot.height() < 1 ||
        (plot == shownPlot_ && from_ == shownFrom_ && to_ == shownTo_))
        return;
    refreshing_ = true;
    shownPlot_ = plot;
    shownFrom_ = from_;
    shownTo_ = to_;

    // No label so near an end that half of it would stand outside the window.
    const double edge = (to_ - from_) / plot.width() * 24;
    setTicks(axisX_, from_, to_,
             timeTicks(from_ + edge, to_ - edge, std::max(int(plot.width() / 100), 2)));

    // The value axis spans what is shown now, the best lines included.
    double low = HUGE_VAL, high = -HUGE_VAL;
    widen(lines_.averages, from_, to_, low, high);
    for (const QList<QPointF> *line : {&lines_.bestAverage, &lines_.bestSingle}) {
        widen(*line, from_, to_, low, high);
        if (const std::optional<double> held = heldAt(*line, from_)) {
            low = std::min(low, *held);
            high = std::max(high, *held);
        }
    }
    if (low > high) {
        low = 0;
        high = 60;
    }
    const double pad = std::max((high - low) * 0.06, 0.25);
    const ValueAxis values =
        valueAxis(std::max(low - pad, 0.0), high + pad, std::max(int(plot.height() / 45), 2));
    setTicks(axisY_, values.low, values.high, values.ticks);

    const double yLow = values.low, yHigh = values.high;
    ScreenGrid grid{from_, to_, int(plot.width()), yLow, yHigh, int(plot.height()), kCellPx};
    QList<QPointF> dots = reducePoints(lines_.averages, grid);
    grid.cellPx = 0;
    plot_->set(std::move(dots), reducePoints(lines_.trend, grid), plot,
               QRectF(QPointF(from_, yLow), QPointF(to_, yHigh)));
    refreshing_ = false;
}

int ChartWindow::shownDots() const
{
    return int(plot_->dots().size());
}

void ChartWindow::hoverAt(const QPointF &chartPosition)
{
    const std::optional<QPointF> dot = plot_->dotAt(chartPosition);
    if (dot)
        QToolTip::showText(QCursor::pos(), pointText(*dot), chartView_);
    else
        QToolTip::hideText();
}

QString ChartWindow::pointText(const QPointF &point) const
{
    const QList<QPointF> &all = lines_.averages;
    auto p = std::lower_bound(all.begin(), all.end(), point.x(),
                              [](const QPointF &q, double x) { return q.x() < x; });
    for (; p != all.end() && p->x() == point.x(); ++p) {
        if (p->y() != point.y())
            continue;
        const ChartSeries &s = data_.series[std::size_t(lines_.averageSeries[p - all.begin()])];
        return QDateTime::fromMSecsSinceEpoch(s.ms).toString(
                   QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
               QLatin1Char('\n') + data_.typeNames.value(s.type) + Text::tr("\n平均: ") +
               displayForm(s.average);
    }
    return QString();
}

void ChartWindow::savePicture()
{
    SaveFileRequest request;
    request.title = Text::tr("画像の保存先の選択");
    request.initialName = Text::tr("グラフ.png");
    request.filters = QStringList{Text::tr("PNG画像(*.png)"), Text::tr("JPEG画像(*.jpg *.jpeg)"),
                                  Text::tr("すべてのファイル(*.*)")};
    request.defaultSuffix = QStringLiteral("png");
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = parts_.prompts.saveFile(request);
    if (!chosen)
        return;
    guarded(parts_.reporter, Procedure::ChartSave, [&] {
        const auto [path, format] = pictureFile(*chosen);
        refuseProgramFile(path, parts_.settings.folder());
        QByteArray picture;
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        if (!chartView_->grab().save(&buffer, format))
            throw SpinlogError(Text::tr("画像を%1形式にできません。").arg(QLatin1String(format)));
        // Written whole or not at all: a failure leaves an older file as it was.
        exportWhole(path, picture);
    });
}

void showProgressChart(const HistoryChart &history, const TypeFilter &filter,
                       const QString &typeName, ChartWindowParts parts, QWidget *parent)
{
    std::optional<ListedSeries> listed;
    if (!guarded(parts.reporter, Procedure::ChartLoad,
                 [&] { listed = listedSeries(history, filter); }))
        return;
    ChartWindow chart(parts, std::move(*listed), typeName, parent);
    chart.exec();
}

}  // namespace spinlog
