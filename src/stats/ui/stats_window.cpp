#include "stats/ui/stats_window.h"

#include "base/error_report.h"
#include "base/seams.h"
#include "base/shown_text.h"
#include "base/time_values.h"
#include "chart/axis_ticks.h"
#include "data/puzzle_type_store.h"
#include "widgets/units.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace spinlog {

namespace {

// The place of the series under way's first solve, after every saved one:
// a best that ends in it ends at this place or later.
constexpr std::int64_t kUnderWayPlace = std::int64_t(1) << 40;
constexpr int kShownDays = 30;

const QColor kBarColour(0x2f, 0x6f, 0xc0);
const QColor kMeanColour(0xf0, 0x8a, 0x24);
const QColor kBestColour(0xd6, 0x3a, 0x4a);

QChart *plainChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTheme(QChart::ChartThemeLight);
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(6, 4, 12, 4));
    chart->setTitle(title);
    chart->setTitleFont(layoutFont(9.75, true));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(layoutFont(9));
    // Redrawn whole at each change: no animation to wait for.
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

QValueAxis *valueAxis(QChart *chart, Qt::Alignment side, const QString &title)
{
    auto *axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(layoutFont(9));
    axis->setLabelsFont(layoutFont(9));
    axis->setGridLineColor(QColor(0xe3, 0xe6, 0xeb));
    chart->addAxis(axis, side);
    return axis;
}

QLineSeries *markLine(QChart *chart, const QColor &colour)
{
    auto *line = new QLineSeries;
    line->setPen(QPen(colour, 2, Qt::DashLine));
    chart->addSeries(line);
    return line;
}

QChartView *chartView(QChart *chart, const char *name)
{
    auto *view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    // Bars and marks are upright lines: smoothing their edges buys nothing.
    view->setRenderHint(QPainter::Antialiasing, false);
    view->setFrameShape(QFrame::NoFrame);
    return view;
}

// The axis from the round value at or below `from` to the one at or above
// `to`, with a tick at every round step (1, 2 or 5 times a power of ten) of
// about a fifth of the span, never finer than `finest` (a hundredth of a
// second, one solve). Unchanged values leave the chart's layout be.
void roundRange(QValueAxis *axis, double from, double to, double finest)
{
    const double step = double(tickStep(std::max(to - from, 0.0) / finest, 5)) * finest;
    const double low = std::floor(from / step) * step;
    const double high = std::max(std::ceil(to / step) * step, low + step);
    axis->setRange(low, high);
    axis->setTickCount(int(std::lround((high - low) / step)) + 1);
}

double seconds(std::int64_t hundredths)
{
    return double(hundredths) / 100;
}

}  // namespace

// The solves of the last days with solves, as bars under their dates: a
// few rectangles and labels, painted here, as a chart of them would cost
// more to build and to paint than the rest of the window.
class DayBars : public QWidget {
public:
    void setDays(std::vector<std::pair<int, std::int64_t>> days)
    {
        if (days != days_) {
            days_ = std::move(days);
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setFont(layoutFont(9.75, true));
        const QFontMetrics title(painter.font());
        painter.drawText(QRect(0, 4, width(), title.height()), Qt::AlignHCenter,
                         Text::tr("日ごとの解答数 (解答のあった直近%1日)").arg(kShownDays));
        painter.setFont(layoutFont(8));
        const QFontMetrics small(painter.font());
        std::int64_t most = 1;
        for (const auto &[day, count] : days_) most = std::max(most, count);
        const int left = small.horizontalAdvance(QString::number(most)) + 10;
        const int top = title.height() + 12;
        const int dateHeight = small.horizontalAdvance(QStringLiteral("00/00")) + 6;
        const QRect plot(left, top, width() - left - 12, height() - top - dateHeight);
        if (plot.width() < 10 || plot.height() < 10)
            return;
        painter.setPen(QColor(0xa0, 0xa6, 0xb0));
        painter.drawLine(plot.bottomLeft(), plot.bottomRight());
        painter.drawText(QRect(0, plot.top() - small.height() / 2, left - 4, small.height()),
                         Qt::AlignRight, QString::number(most));
        painter.drawText(QRect(0, plot.bottom() - small.height() / 2, left - 4, small.height()),
                         Qt::AlignRight, QStringLiteral("0"));
        const double slot = double(plot.width()) / kShownDays;
        for (std::size_t i = 0; i < days_.size(); ++i) {
            const auto &[day, count] = days_[i];
            const int x = plot.left() + int(slot * double(i));
            const int bar = int(double(plot.height()) * double(count) / double(most));
            painter.fillRect(QRect(x + 2, plot.bottom() - bar, std::max(int(slot) - 4, 1), bar),
                             kBarColour);
            painter.save();
            painter.setPen(Qt::black);
            painter.translate(x + int(slot / 2) + small.ascent() / 2, plot.bottom() + 4);
            painter.rotate(90);
            painter.drawText(0, 0,
                             QStringLiteral("%1/%2")
                                 .arg(day / 100 % 100, 2, 10, QLatin1Char('0'))
                                 .arg(day % 100, 2, 10, QLatin1Char('0')));
            painter.restore();
        }
    }

private:
    std::vector<std::pair<int, std::int64_t>> days_;
};

StatsWindow::StatsWindow(StatsWindowParts parts, const TypeFilter &filter, QWidget *parent)
    : QDialog(parent), parts_(std::move(parts))
{
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(Text::tr("統計"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    buildControls();
    fillTypeList();
    cmbType_->setCurrentIndex(std::max(choices_.entryOf(filter), 0));
    readHistory();
    connect(cmbType_, &QComboBox::currentIndexChanged, this, &StatsWindow::typeChosen);
    connect(chkUnderWay_, &QCheckBox::toggled, this, &StatsWindow::showFigures);
    // A save, a delete or a penalty shows at once: once the event loop is
    // back, so a save's two signals (the history's, the session's) draw once.
    pending_ = new QTimer(this);
    pending_->setSingleShot(true);
    pending_->setInterval(0);
    connect(pending_, &QTimer::timeout, this, &StatsWindow::followHistory);
    connect(&parts_.history, &HistoryWriter::changed, this, [this](const HistoryChange &change) {
        changes_.push_back(change);
        pending_->start();
    });
    connect(&parts_.types, &PuzzleTypeStore::changed, this, &StatsWindow::typesChanged);
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::underWayChanged()
{
    // The clock's ticks change the session too; only its solves count here.
    if (!chkUnderWay_->isChecked() || !parts_.underWay)
        return;
    const SeriesUnderWay series = parts_.underWay();
    if (series.typeId != shownUnderWay_.typeId || series.times != shownUnderWay_.times)
        pending_->start();
}

void StatsWindow::buildControls()
{
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(Text::tr("タイプ:")));
    cmbType_ = new QComboBox;
    cmbType_->setObjectName(QStringLiteral("cmbType"));
    cmbType_->setFont(layoutFont(9.75));
    cmbType_->setMinimumWidth(px(1365));
    top->addWidget(cmbType_);
    chkUnderWay_ = new QCheckBox(Text::tr("計測中のセットを含める"));
    chkUnderWay_->setObjectName(QStringLiteral("chkUnderWay"));
    chkUnderWay_->setChecked(true);
    chkUnderWay_->setVisible(bool(parts_.underWay));
    top->addSpacing(12);
    top->addWidget(chkUnderWay_);
    top->addStretch(1);

    tblFigures_ = new QTableWidget(0, 3);
    tblFigures_->setObjectName(QStringLiteral("tblFigures"));
    tblFigures_->setHorizontalHeaderLabels(
        {Text::tr("現在"), Text::tr("ベスト"), Text::tr("ベストの日時")});
    QStringList names;
    for (const QStringList &line : figureLines(Figures())) names << line.first();
    tblFigures_->setRowCount(int(names.size()));
    tblFigures_->setVerticalHeaderLabels(names);
    tblFigures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFigures_->setSelectionMode(QAbstractItemView::NoSelection);
    tblFigures_->setFocusPolicy(Qt::NoFocus);
    for (int r = 0; r < tblFigures_->rowCount(); ++r)
        for (int c = 0; c < 3; ++c) {
            auto *cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            tblFigures_->setItem(r, c, cell);
        }
    tblFigures_->setColumnWidth(0, px(1300));
    tblFigures_->setColumnWidth(1, px(1300));
    tblFigures_->setColumnWidth(2, px(2500));
    tblFigures_->verticalHeader()->setDefaultSectionSize(px(300));
    tblFigures_->setFixedWidth(px(6200));
    tblFigures_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *charts = new QVBoxLayout;
    charts->addWidget(buildHistogram(), 3);
    charts->addWidget(buildDays(), 2);
    auto *body = new QHBoxLayout;
    body->addWidget(tblFigures_);
    body->addLayout(charts, 1);

    auto *statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(true);
    statusPanel_ = new QLabel(statusBar);
    statusPanel_->setObjectName(QStringLiteral("statusPanel"));
    statusBar->addWidget(statusPanel_, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(px(90), px(90), px(90), 0);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    layout->addWidget(statusBar);
    resize(px(15000), px(8400));
}

QWidget *StatsWindow::buildHistogram()
{
    QChart *chart = plainChart(Text::tr("タイムの分布"));
    // The area series does not own its upper line; the chart does.
    histogramTop_ = new QLineSeries(chart);
    auto *area = new QAreaSeries(histogramTop_);
    area->setName(Text::tr("解答数"));
    area->setColor(kBarColour.lighter(140));
    area->setBorderColor(kBarColour);
    chart->addSeries(area);
    meanLine_ = markLine(chart, kMeanColour);
    bestLine_ = markLine(chart, kBestColour);
    histogramX_ = valueAxis(chart, Qt::AlignBottom, Text::tr("タイム (秒)"));
    histogramY_ = valueAxis(chart, Qt::AlignLeft, Text::tr("解答数"));
    histogramX_->setLabelFormat(QStringLiteral("%g"));
    histogramY_->setLabelFormat(QStringLiteral("%d"));
    for (QAbstractSeries *s : chart->series()) {
        s->attachAxis(histogramX_);
        s->attachAxis(histogramY_);
    }
    return chartView(chart, "chartHistogram");
}

QWidget *StatsWindow::buildDays()
{
    days_ = new DayBars;
    days_->setObjectName(QStringLiteral("chartDays"));
    return days_;
}

TypeFilter StatsWindow::filter() const
{
    return choices_.filterAt(std::max(cmbType_->currentIndex(), 0));
}

std::vector<TypeId> StatsWindow::listedTypes() const
{
    std::vector<TypeId> ids;
    for (const PuzzleType &type : choices_.types()) ids.push_back(type.id);
    return ids;
}

void StatsWindow::fillTypeList()
{
    // Without the types, every type still has its entry.
    std::vector<PuzzleType> types;
    guarded(parts_.reporter, Procedure::StatsDataSet, [&] { types = parts_.types.all(); });
    choices_ = TypeChoices(std::move(types), TypeChoices::everyType());
    cmbType_->addItems(choices_.entries());
}

void StatsWindow::readHistory()
{
    guarded(parts_.reporter, Procedure::StatsDataSet, [this] {
        solves_ = SolveHistory(listedTypes());
        solves_.readAll(parts_.solves, saved_, filter());
    });
    showFigures();
}

void StatsWindow::followHistory()
{
    const std::vector<HistoryChange> changes = std::exchange(changes_, {});
    guarded(parts_.reporter, Procedure::StatsDataSet,
            [&] { solves_.follow(changes, parts_.solves, saved_, filter()); });
    showFigures();
}

void StatsWindow::typesChanged()
{
    const int entry = cmbType_->currentIndex();
    const TypeFilter shown = choices_.typeAt(entry) ? filter() : TypeFilter();
    {
        const QSignalBlocker quiet(cmbType_);
        cmbType_->clear();
        fillTypeList();
        cmbType_->setCurrentIndex(std::max(choices_.entryOf(shown), 0));
    }
    solves_.setListed(listedTypes());
    typeChosen();
}

void StatsWindow::typeChosen()
{
    saved_ = FigureAccumulator();
    solves_.feed(saved_, filter());
    showFigures();
}

void StatsWindow::showFigures()
{
    // The saved figures settle first, so a copy with the series under way
    // sorts no more than that series.
    Figures figures = saved_.figures();
    FigureAccumulator *shown = &saved_;
    std::optional<FigureAccumulator> withUnderWay;
    if (parts_.underWay && chkUnderWay_->isChecked()) {
        shownUnderWay_ = parts_.underWay();
        const std::vector<SolveValue> solves = underWaySolves(shownUnderWay_, filter());
        if (!solves.empty()) {
            const QDate today = parts_.clock.localNow().date();
            withUnderWay = saved_;
            withUnderWay->add(solves, kUnderWayPlace,
                              today.year() * 10000 + today.month() * 100 + today.day());
            figures = withUnderWay->figures();
            shown = &*withUnderWay;
        }
    }

    const std::vector<QStringList> lines = figureLines(figures);
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const QStringList &line = lines[r];
        for (int c = 0; c < 2; ++c) tblFigures_->item(int(r), c)->setText(line.value(c + 1));
    }
    for (std::size_t w = 0; w < kAverageKinds.size(); ++w) {
        const std::int64_t last = figures.averages[w].bestLast;
        QString date;
        if (last >= kUnderWayPlace)
            date = Text::tr("計測中のセット");
        else if (last >= 0)
            date = solves_.dateText(std::size_t(last));
        tblFigures_->item(int(lines.size() - kAverageKinds.size() + w), 2)->setText(date);
    }
    const Histogram histogram = shown->histogram();
    showHistogram(histogram, figures);
    showDays(shown->days());

    QString status = Text::tr("解答 %1 件").arg(figures.solves);
    if (histogram.beyond > 0)
        status += Text::tr("　グラフの範囲より遅い解答 %1 件").arg(histogram.beyond);
    if (solves_.unreadable() > 0)
        status += Text::tr("　読めない記録 %1 件").arg(solves_.unreadable());
    statusPanel_->setText(status);
}

void StatsWindow::showHistogram(const Histogram &h, const Figures &figures)
{
    QList<QPointF> outline;
    std::int64_t most = 0;
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        const double from = seconds(h.from + std::int64_t(i) * h.width);
        const double to = seconds(h.from + std::int64_t(i + 1) * h.width);
        if (i == 0)
            outline << QPointF(from, 0);
        outline << QPointF(from, double(h.counts[i])) << QPointF(to, double(h.counts[i]));
        most = std::max(most, h.counts[i]);
    }
    if (!outline.isEmpty())
        outline << QPointF(outline.back().x(), 0);
    histogramTop_->replace(outline);
    const double top = double(std::max<std::int64_t>(most, 1));
    const auto mark = [top](QLineSeries *line, const QString &name,
                            const std::optional<std::int64_t> &at) {
        line->setName(name + QLatin1Char(' ') + figureText(at));
        if (at && *at != kDnfHundredths)
            line->replace({QPointF(seconds(*at), 0), QPointF(seconds(*at), top)});
        else
            line->clear();
    };
    mark(meanLine_, Text::tr("平均", "mean of solves"), figures.mean);
    mark(bestLine_, Text::tr("最速"), figures.best);
    if (h.counts.empty())
        roundRange(histogramX_, 0, 1, 0.01);
    else
        roundRange(histogramX_, seconds(h.from),
                   seconds(h.from + std::int64_t(h.counts.size()) * h.width), 0.01);
    roundRange(histogramY_, 0, top, 1);
}

void StatsWindow::showDays(const std::map<int, std::int64_t> &days)
{
    std::vector<std::pair<int, std::int64_t>> last;
    for (auto day = days.rbegin(); day != days.rend() && int(last.size()) < kShownDays; ++day)
        last.emplace_back(*day);
    std::reverse(last.begin(), last.end());
    days_->setDays(std::move(last));
}

}  // namespace spinlog
