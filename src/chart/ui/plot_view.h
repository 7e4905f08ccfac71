#pragma once
// The chart's plot: the averages as dots and their trend painted in one pass
// each (PlotItem), and the view that zooms and pans the time axis with the
// wheel and a drag (ProgressView).

#include <QChartView>
#include <QGraphicsItem>
#include <QImage>
#include <QPen>
#include <functional>
#include <optional>

namespace spinlog {

inline constexpr int kMarkerPx = 7;

// A filled dot with a white rim, so overlapping points stay apart; made at
// the screen's pixel size, so painting it is a plain copy.
QImage markerImage(const QColor &colour, qreal ratio);

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

// What the view asks of the window it shows.
struct TimeAxisControl {
    std::function<double()> from, to;              // the time axis shown, ms
    std::function<void(double, double)> setRange;  // shows another part
    std::function<void(double factor, double anchor)> zoom;
    std::function<void()> showAll;
    std::function<void(const QPointF &chartPosition)> hover;
};

// The chart view: the wheel zooms the time axis, a drag pans it, a double
// click shows everything; hovering still reaches the series.
class ProgressView : public QChartView {
public:
    ProgressView(QChart *chart, TimeAxisControl axis) : QChartView(chart), axis_(std::move(axis)) {}

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TimeAxisControl axis_;
    std::optional<double> dragFrom_;
};

}  // namespace spinlog
