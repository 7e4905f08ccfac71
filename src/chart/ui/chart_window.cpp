#include "chart/ui/chart_window.h"

#include "app/error_report.h"
#include "app/number_text.h"
#include "app/program.h"
#include "app/replacing_file.h"
#include "app/time_values.h"
#include "widgets/units.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QDateTime>
#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScatterSeries>
#include <QStatusBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace spinlog {

namespace {

// Left, Top, Width, Height in twips, with the least a size may be.

constexpr double kMinuteMs = 60'000;
constexpr double kDayMs = 86'400'000;
constexpr int kMarkerPx = 7;
constexpr int kCellPx = 3;  // about a marker's radius

const QColor kAverageColour(0x2f, 0x6f, 0xc0);
const QColor kTrendColour(0xf0, 0x8a, 0x24);
const QColor kBestAverageColour(0x2e, 0xa0, 0x5a);
const QColor kBestSingleColour(0xd6, 0x3a, 0x4a);

// A filled dot with a white rim, so overlapping points stay apart; made at
// the screen's pixel size, so painting it is a plain copy.
QImage markerImage(const QColor &colour, qreal ratio)
{
    const int side = int(std::ceil(kMarkerPx * ratio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, kMarkerPx - 1, kMarkerPx - 1));
    return image;
}

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

// A step of 1, 2 or 5 times a power of ten hundredths, giving at most
// `most` intervals over the span.
std::int64_t tickStep(double spanHundredths, int most)
{
    for (std::int64_t power = 1;; power *= 10) {
        for (std::int64_t m : {1, 2, 5}) {
            if (spanHundredths / double(m * power) <= most)
                return m * power;
        }
    }
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

using Ticks = std::vector<std::pair<double, QString>>;

// Labels at the given values; the axis spans [low, high].
void setTicks(QCategoryAxis *axis, double low, double high, const Ticks &ticks)
{
    for (const QString &label : axis->categoriesLabels()) axis->remove(label);
    axis->setStartValue((ticks.empty() ? low : std::min(low, ticks.front().first)) - 1);
    for (const auto &[value, label] : ticks) axis->append(label, value);
    axis->setRange(low, high);
}

// Steps of the time axis, each with its labels' form; the first that puts no
// more than the room allows on the axis is taken.
enum class Unit { Minute, Hour, Day, Week, Month, Year };
struct TimeStep {
    Unit unit;
    int count;
    const char *format;
    double ms;  // about
};
constexpr double kHourMs = 60 * kMinuteMs;
constexpr TimeStep kTimeSteps[] = {
    {Unit::Minute, 10, "MM/dd HH:mm", 10 * kMinuteMs},
    {Unit::Minute, 30, "MM/dd HH:mm", 30 * kMinuteMs},
    {Unit::Hour, 1, "MM/dd HH:mm", kHourMs},
    {Unit::Hour, 3, "MM/dd HH:mm", 3 * kHourMs},
    {Unit::Hour, 6, "MM/dd HH:mm", 6 * kHourMs},
    {Unit::Hour, 12, "MM/dd HH:mm", 12 * kHourMs},
    {Unit::Day, 1, "yyyy/MM/dd", kDayMs},
    {Unit::Day, 2, "yyyy/MM/dd", 2 * kDayMs},
    {Unit::Week, 1, "yyyy/MM/dd", 7 * kDayMs},
    {Unit::Week, 2, "yyyy/MM/dd", 14 * kDayMs},
    {Unit::Month, 1, "yyyy/MM", 30.4 * kDayMs},
    {Unit::Month, 3, "yyyy/MM", 91 * kDayMs},
    {Unit::Month, 6, "yyyy/MM", 182 * kDayMs},
    {Unit::Year, 1, "yyyy", 365 * kDayMs},
    {Unit::Year, 2, "yyyy", 730 * kDayMs},
    {Unit::Year, 5, "yyyy", 1826 * kDayMs},
    {Unit::Year, 10, "yyyy", 3652 * kDayMs},
};

// Ticks on whole local minutes, hours, days, Mondays, months or years.
Ticks timeTicks(double from, double to, int most)
{
    const TimeStep *step = std::end(kTimeSteps) - 1;
    for (const TimeStep &s : kTimeSteps) {
        if ((to - from) / s.ms <= most) {
            step = &s;
            break;
        }
    }
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(qint64(from));
    const QDate day = start.date();
    const int n = step->count;
    QDateTime t;
    switch (step->unit) {
        case Unit::Minute:
            t = QDateTime(day, QTime(start.time().hour(), start.time().minute() / n * n));
            break;
        case Unit::Hour: t = QDateTime(day, QTime(start.time().hour() / n * n, 0)); break;
        case Unit::Day: t = day.startOfDay(); break;
        case Unit::Week: t = day.addDays(1 - day.dayOfWeek()).startOfDay(); break;
        case Unit::Month:
            t = QDate(day.year(), (day.month() - 1) / n * n + 1, 1).startOfDay();
            break;
        case Unit::Year: t = QDate(day.year() / n * n, 1, 1).startOfDay(); break;
    }
    Ticks ticks;
    for (int guard = 0; guard < 200 && t.toMSecsSinceEpoch() <= to; ++guard) {
        if (t.toMSecsSinceEpoch() >= from)
            ticks.emplace_back(double(t.toMSecsSinceEpoch()),
                               t.toString(QLatin1String(step->format)));
        switch (step->unit) {
            case Unit::Minute: t = t.addSecs(60 * n); break;
            case Unit::Hour: t = t.addSecs(3600 * n); break;
            case Unit::Day: t = t.addDays(n); break;
            case Unit::Week: t = t.addDays(7 * n); break;
            case Unit::Month: t = t.addMonths(n); break;
            case Unit::Year: t = t.addYears(n); break;
        }
    }
    return ticks;
}

// The chart view: the wheel zooms the time axis, a drag pans it, a double
// click shows everything; hovering still reaches the series.
class ProgressView : public QChartView {
public:
    ProgressView(QChart *chart, frmChart &window) : QChartView(chart), window_(window) {}

protected:
    void wheelEvent(QWheelEvent *event) override
    {
        const double notches = event->angleDelta().y() / 120.0;
        if (notches == 0)
            return;
        const QPointF at =
            chart()->mapToValue(chart()->mapFromScene(mapToScene(event->position().toPoint())));
        window_.zoomTime(std::pow(0.8, notches), at.x());
        event->accept();
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton) {
            dragFrom_ = event->position().x();
            viewport()->setCursor(Qt::ClosedHandCursor);
        }
        QChartView::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (dragFrom_ && chart()->plotArea().width() > 0) {
            const double msPerPx =
                (window_.timeTo() - window_.timeFrom()) / chart()->plotArea().width();
            const double shift = (*dragFrom_ - event->position().x()) * msPerPx;
            dragFrom_ = event->position().x();
            window_.setTimeRange(window_.timeFrom() + shift, window_.timeTo() + shift);
        } else {
            window_.hoverAt(chart()->mapFromScene(mapToScene(event->position().toPoint())));
        }
        QChartView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        dragFrom_.reset();
        viewport()->unsetCursor();
        QChartView::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        window_.showAll();
        event->accept();
    }

private:
    frmChart &window_;
    std::optional<double> dragFrom_;
};

}  // namespace

// The averages as dots and their trend, painted in one pass each: Qt's
// scatter series makes a scene item per point, and its line series traces an
// outline of the whole line for hovering; both cost more than a long history
// may take. Above the best lines, which the dots must not hide from view.
class PlotItem : public QGraphicsItem {
public:
    PlotItem(QGraphicsItem *parent, QImage marker, QPen trendPen)
        : QGraphicsItem(parent), marker_(std::move(marker)), trendPen_(std::move(trendPen))
    {
        setZValue(4.5);  // over the series, under the legend
        trendPen_.setCapStyle(Qt::RoundCap);
        setAcceptedMouseButtons(Qt::NoButton);
    }

    // Both sorted by x; plot: where the values of `values` are shown.
    void set(QList<QPointF> dots, QList<QPointF> trend, const QRectF &plot, const QRectF &values)
    {
        prepareGeometryChange();
        dots_ = std::move(dots);
        trend_ = std::move(trend);
        plot_ = plot;
        values_ = values;
        update();
    }
    const QList<QPointF> &dots() const { return dots_; }

    // The dot nearest to a position in the chart within its radius.
    std::optional<QPointF> dotAt(const QPointF &at) const
    {
        if (!plot_.contains(at) || values_.width() <= 0)
            return std::nullopt;
        const double reach = kMarkerPx / 2.0 + 1;
        const double msPerPx = values_.width() / plot_.width();
        const double x = values_.left() + (at.x() - plot_.left()) * msPerPx;
        auto p = std::lower_bound(dots_.begin(), dots_.end(), x - reach * msPerPx,
                                  [](const QPointF &q, double v) { return q.x() < v; });
        std::optional<QPointF> nearest;
        double best = reach * reach;
        for (; p != dots_.end() && p->x() <= x + reach * msPerPx; ++p) {
            const QPointF d = position(*p) - at;
            const double distance = QPointF::dotProduct(d, d);
            if (distance <= best) {
                best = distance;
                nearest = *p;
            }
        }
        return nearest;
    }

    QRectF boundingRect() const override
    {
        return plot_.adjusted(-kMarkerPx, -kMarkerPx, kMarkerPx, kMarkerPx);
    }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setClipRect(plot_);
        const QPointF half(kMarkerPx / 2.0, kMarkerPx / 2.0);
        for (const QPointF &dot : dots_) painter->drawImage(position(dot) - half, marker_);
        // Segment by segment: stroking a long zigzag as one path takes the
        // painter many times longer. Round caps close the joints.
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(trendPen_);
        for (qsizetype i = 1; i < trend_.size(); ++i)
            painter->drawLine(position(trend_[i - 1]), position(trend_[i]));
    }

private:
    QPointF position(const QPointF &value) const
    {
        return {plot_.left() + (value.x() - values_.left()) * plot_.width() / values_.width(),
                plot_.bottom() - (value.y() - values_.top()) * plot_.height() / values_.height()};
    }

    QImage marker_;
    QPen trendPen_;
    QList<QPointF> dots_, trend_;
    QRectF plot_, values_;
};

frmChart::frmChart(Program &program, ListedSeries listed, const QString &typeName, QWidget *parent)
    : QDialog(parent), program_(program), data_(std::move(listed.data))
{
    setWindowTitle(QStringLiteral("グラフ"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    lines_ = progressLines(data_.series);
    buildChart(typeName);

    auto *status = new QLabel(StatusBar);
    QString text = QStringLiteral("%1件").arg(data_.series.size());
    if (listed.unplaced > 0)
        text += QStringLiteral("（日時を読めない%1件は表示していません）").arg(listed.unplaced);
    status->setText(data_.series.empty() ? QStringLiteral("表示するデータがありません") : text);
    StatusBar->addWidget(status, 1);
    StatusBar->addPermanentWidget(new QLabel(
        QStringLiteral("ホイール: 拡大・縮小　ドラッグ: 移動　ダブルクリック: 全体表示")));

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
    Form_Load();
}

frmChart::~frmChart() = default;

void frmChart::buildChart(const QString &typeName)
{
    auto *chart = new QChart;
    chart->setTheme(QChart::ChartThemeLight);
    // White to the window's edges: no frame around the background.
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(12, 10, 24, 6));
    chart->setTitle(QStringLiteral("平均タイムの推移 ― ") + typeName);
    chart->setTitleFont(layoutFont(12, true));
    chart->setPlotAreaBackgroundBrush(QColor(0xfa, 0xfb, 0xfd));
    chart->setPlotAreaBackgroundVisible(true);

    averages = new QScatterSeries;
    averages->setName(QStringLiteral("平均タイム"));
    averages->setColor(kAverageColour);
    averages->setBorderColor(Qt::white);
    averages->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    trend = lineSeries(QStringLiteral("直近%1回の平均").arg(kTrendWindow), kTrendColour, 2.5);
    bestAverage = lineSeries(QStringLiteral("ベストタイム(平均)"), kBestAverageColour, 2);
    bestSingle = lineSeries(QStringLiteral("ベストタイム"), kBestSingleColour, 2);
    bestAverage->replace(lines_.bestAverage);
    bestSingle->replace(lines_.bestSingle);
    for (QXYSeries *s :
         {static_cast<QXYSeries *>(averages), static_cast<QXYSeries *>(trend),
          static_cast<QXYSeries *>(bestAverage), static_cast<QXYSeries *>(bestSingle)})
        chart->addSeries(s);

    axisX = new QCategoryAxis;
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setTitleText(QStringLiteral("日付"));
    axisY = new QCategoryAxis;
    axisY->setTitleText(QStringLiteral("タイム"));
    axisY->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(axisX), static_cast<QAbstractAxis *>(axisY)}) {
        axis->setLabelsFont(layoutFont(9));
        axis->setTitleFont(layoutFont(9.75));
        axis->setGridLineColor(QColor(0xe3, 0xe6, 0xeb));
        axis->setLinePenColor(QColor(0xa0, 0xa6, 0xb0));
    }
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries *s : chart->series()) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(layoutFont(9));

    chartView = new ProgressView(chart, *this);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setFrameShape(QFrame::NoFrame);
    chartView->setMouseTracking(true);
    // The dots and the trend are painted by the plot item; their series
    // stay empty and give the legend its entries.
    plot_ = new PlotItem(chart, markerImage(kAverageColour, chartView->devicePixelRatioF()),
                         trend->pen());
    connect(chart, &QChart::plotAreaChanged, this, [this] { refresh(); });

    menuBar = new QMenuBar(this);
    QMenu *fileMenu = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    M_SavePNG = fileMenu->addAction(QStringLiteral("画像として保存(&S)..."));
    M_SavePNG->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    fileMenu->addSeparator();
    M_Close = fileMenu->addAction(QStringLiteral("閉じる(&X)"));
    QMenu *viewMenu = menuBar->addMenu(QStringLiteral("表示(&V)"));
    M_ShowAll = viewMenu->addAction(QStringLiteral("全体を表示(&A)"));
    M_ShowAll->setShortcut(QKeySequence(Qt::Key_Home));
    connect(M_SavePNG, &QAction::triggered, this, &frmChart::Sub_SavePNG);
    connect(M_Close, &QAction::triggered, this, &QDialog::close);
    connect(M_ShowAll, &QAction::triggered, this, &frmChart::showAll);

    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(chartView, 1);
    layout->addWidget(StatusBar);
}

void frmChart::Form_Load()
{
    place_.restore(program_.settings, *this);
}

void frmChart::done(int result)
{
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void frmChart::Form_Unload()
{
    place_.remember(program_.settings, *this);
}

void frmChart::showAll()
{
    setTimeRange(fullFrom_, fullTo_);
}

void frmChart::setTimeRange(double fromMs, double toMs)
{
    // Never beyond the listed period, never narrower than a few minutes.
    const double span = std::clamp(toMs - fromMs, 10 * kMinuteMs, fullTo_ - fullFrom_);
    from_ = std::clamp(fromMs, fullFrom_, fullTo_ - span);
    to_ = from_ + span;
    refresh();
}

void frmChart::zoomTime(double factor, double anchorMs)
{
    const double anchor = std::clamp(anchorMs, from_, to_);
    setTimeRange(anchor - (anchor - from_) * factor, anchor + (to_ - anchor) * factor);
}

void frmChart::refresh()
{
    QChart *chart = chartView->chart();
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
    setTicks(axisX, from_, to_,
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
    const double lowH = std::max(low - pad, 0.0) * 100, highH = (high + pad) * 100;
    const std::int64_t step = tickStep(highH - lowH, std::max(int(plot.height() / 45), 2));
    const std::int64_t first = std::int64_t(std::floor(lowH / double(step))) * step;
    const std::int64_t last = std::int64_t(std::ceil(highH / double(step))) * step;
    Ticks values;
    for (std::int64_t tick = first; tick <= last; tick += step)
        values.emplace_back(double(tick) / 100, displayForm(tick));
    setTicks(axisY, double(first) / 100, double(last) / 100, values);

    const double yLow = double(first) / 100, yHigh = double(last) / 100;
    ScreenGrid grid{from_, to_, int(plot.width()), yLow, yHigh, int(plot.height()), kCellPx};
    QList<QPointF> dots = reducePoints(lines_.averages, grid);
    grid.cellPx = 0;
    plot_->set(std::move(dots), reducePoints(lines_.trend, grid), plot,
               QRectF(QPointF(from_, yLow), QPointF(to_, yHigh)));
    refreshing_ = false;
}

int frmChart::shownDots() const
{
    return int(plot_->dots().size());
}

void frmChart::hoverAt(const QPointF &chartPosition)
{
    const std::optional<QPointF> dot = plot_->dotAt(chartPosition);
    if (dot)
        QToolTip::showText(QCursor::pos(), pointText(*dot), chartView);
    else
        QToolTip::hideText();
}

QString frmChart::pointText(const QPointF &point) const
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
               QLatin1Char('\n') + data_.typeNames.value(s.type) + QStringLiteral("\n平均: ") +
               displayForm(s.average);
    }
    return QString();
}

void frmChart::Sub_SavePNG()
{
    SaveFileRequest request;
    request.title = QStringLiteral("画像の保存先の選択");
    request.initialName = QStringLiteral("グラフ.png");
    request.filters =
        QStringList{QStringLiteral("PNG画像(*.png)"), QStringLiteral("すべてのファイル(*.*)")};
    request.defaultSuffix = QStringLiteral("png");
    request.confirmOverwrite = true;
    const std::optional<QString> path = program_.services.prompts.saveFile(request);
    if (!path)
        return;
    guarded(program_, Procedure::ChartSave, [&] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        chartView->grab().save(&buffer, "PNG");
        // Written whole or not at all: a failure leaves an older file as it was.
        ReplacingFile file(*path);
        if (!file.open(*path) || !file.write(png) || !file.commit())
            throw SpinlogError(QString::fromLocal8Bit(std::strerror(file.error())));
    });
}

void showProgressChart(Program &program, int typePosition, const QString &typeName, QWidget *parent)
{
    std::optional<ListedSeries> listed;
    if (!guarded(program, Procedure::ChartLoad,
                 [&] { listed = listedSeries(program.db(), typePosition); }))
        return;
    frmChart chart(program, std::move(*listed), typeName, parent);
    chart.exec();
}

}  // namespace spinlog
