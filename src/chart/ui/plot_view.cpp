#include "chart/ui/plot_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace spinlog {

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

void ProgressView::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    const QPointF at =
        chart()->mapToValue(chart()->mapFromScene(mapToScene(event->position().toPoint())));
    axis_.zoom(std::pow(0.8, notches), at.x());
    event->accept();
}

void ProgressView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().x();
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
    QChartView::mousePressEvent(event);
}

void ProgressView::mouseMoveEvent(QMouseEvent *event)
{
    if (dragFrom_ && chart()->plotArea().width() > 0) {
        const double msPerPx = (axis_.to() - axis_.from()) / chart()->plotArea().width();
        const double shift = (*dragFrom_ - event->position().x()) * msPerPx;
        dragFrom_ = event->position().x();
        axis_.setRange(axis_.from() + shift, axis_.to() + shift);
    } else {
        axis_.hover(chart()->mapFromScene(mapToScene(event->position().toPoint())));
    }
    QChartView::mouseMoveEvent(event);
}

void ProgressView::mouseReleaseEvent(QMouseEvent *event)
{
    dragFrom_.reset();
    viewport()->unsetCursor();
    QChartView::mouseReleaseEvent(event);
}

void ProgressView::mouseDoubleClickEvent(QMouseEvent *event)
{
    axis_.showAll();
    event->accept();
}

}  // namespace spinlog
