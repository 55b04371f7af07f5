// The chart's pointer: each chart tool's drag, the zoom box, the cursor and the wheel.
#include "app/chart_painter.h"
#include "app/chart_widget.h"
#include "view/navigation.h"
#include "view/strip_chart_model.h"
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
// Pixels the pointer must travel before a press counts as a drag.
constexpr int DragStart = 3;

// The left edge of a view of width w moved to `left`, kept within the samples the way the
// scroll buttons keep it.
double keptLeft(const StripChartModel &m, double left, double w)
{
    if (m.rowCount() == 0 || !m.timesAscending())
        return left;
    const double first = m.times().front(), last = m.times().back();
    if (left + w > last)
        left = last - w;
    return std::max(left, first);
}
} // namespace

QRectF ChartWidget::plotArea() const
{
    // Measured as the drawing measures it: a painter with the chart's font on a screen pixmap.
    QPixmap probe(1, 1);
    QPainter painter(&probe);
    painter.setFont(font());
    return ChartPainter::plotArea(painter, rect(), model_);
}

void ChartWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit contextRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || model_.rowCount() == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    drag_ = {true, model_.ToolBarMode(), event->position().toPoint(), model_.XAxisMin(), model_.XAxisMax(),
             model_.YAxisMin(), model_.YAxisMax(), false};
    if (drag_.mode == Navigation::CursorTool)
        placeCursor(drag_.from);
}

void ChartWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!drag_.active)
        return;
    const QPoint at = event->position().toPoint();
    if (!drag_.moved && (at - drag_.from).manhattanLength() < DragStart)
        return;
    drag_.moved = true;
    dragTo(at);
}

void ChartWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (!drag_.active || event->button() != Qt::LeftButton)
        return;
    drag_.active = false;
    if (drag_.mode == Navigation::ZoomTool) {
        finishZoom();
    } else if (drag_.mode == Navigation::CursorTool) {
        if (navigation_)
            navigation_->speakCursor();
    } else if (drag_.moved) {
        reportDone(drag_.mode);
    }
}

void ChartWidget::dragTo(const QPoint &at)
{
    const QRectF p = plotArea();
    const double dx = at.x() - drag_.from.x(), dy = at.y() - drag_.from.y();
    const double w = drag_.x1 - drag_.x0, h = drag_.y1 - drag_.y0;
    switch (drag_.mode) {
    case Navigation::TimeScroll: {
        // The trace follows the pointer.
        const double left = keptLeft(model_, drag_.x0 - dx / p.width() * w, w);
        model_.AutoScrollEnabled = false;
        model_.BeginUpdate();
        model_.setXAxisMin(left);
        model_.setXAxisMax(left + w);
        model_.EndUpdate();
        break;
    }
    case Navigation::ValueScroll:
        model_.AutoScaleEnabled = false;
        model_.BeginUpdate();
        model_.setYAxisMin(drag_.y0 + dy / p.height() * h);
        model_.setYAxisMax(drag_.y1 + dy / p.height() * h);
        model_.EndUpdate();
        break;
    case Navigation::WidthTool:
        // Right narrows (the trace stretches), left widens; a plot's width halves or doubles.
        model_.setXAxisMax(drag_.x0 + w * std::pow(2.0, -dx / p.width()));
        break;
    case Navigation::HeightTool:
        // Up makes the trace taller (a smaller range), down flatter; the bottom stays.
        model_.AutoScaleEnabled = false;
        model_.setYAxisMax(drag_.y0 + h * std::pow(2.0, dy / p.height()));
        break;
    case Navigation::CursorTool:
        placeCursor(at);
        break;
    case Navigation::ZoomTool:
        band_ = QRect(drag_.from, at).normalized().intersected(p.toRect());
        update();
        break;
    default:
        break;
    }
}

void ChartWidget::placeCursor(const QPoint &at)
{
    const QRectF p = plotArea();
    const double x0 = model_.XAxisMin(), x1 = model_.XAxisMax();
    const double t = x0 + (std::clamp(double(at.x()), p.left(), p.right()) - p.left()) / p.width() * (x1 - x0);
    const SampleColumn &times = model_.times();
    int row = 0;
    if (model_.timesAscending()) {
        const auto it = std::lower_bound(times.begin(), times.end(), t);
        row = int(it - times.begin());
        if (row >= int(times.size()) || (row > 0 && t - times[size_t(row - 1)] < times[size_t(row)] - t))
            --row;
    } else {
        double best = INFINITY;
        for (size_t r = 0; r < times.size(); ++r) {
            if (std::fabs(times[r] - t) < best) {
                best = std::fabs(times[r] - t);
                row = int(r);
            }
        }
    }
    if (row == model_.cursorRow())
        return;
    model_.setCursorRow(row);
    emit model_.cursorReadout();
    update();
}

void ChartWidget::finishZoom()
{
    const QRect box = band_;
    band_ = QRect();
    update();
    if (box.width() < DragStart || box.height() < DragStart)
        return;
    const QRectF p = plotArea();
    const double x0 = model_.XAxisMin(), x1 = model_.XAxisMax(), y0 = model_.YAxisMin(), y1 = model_.YAxisMax();
    const auto timeAt = [&](double x) { return x0 + (x - p.left()) / p.width() * (x1 - x0); };
    const auto valueAt = [&](double y) { return y0 + (p.bottom() - y) / p.height() * (y1 - y0); };
    model_.AutoScaleEnabled = false;
    model_.AutoScrollEnabled = false;
    model_.BeginUpdate();
    model_.setXAxisMin(timeAt(box.left()));
    model_.setXAxisMax(timeAt(box.right() + 1));
    model_.setYAxisMin(valueAt(box.bottom() + 1));
    model_.setYAxisMax(valueAt(box.top()));
    model_.EndUpdate();
    reportDone(Navigation::ZoomTool);
}

void ChartWidget::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0 || model_.rowCount() == 0) {
        event->ignore();
        return;
    }
    const double x0 = model_.XAxisMin(), w = model_.XAxisMax() - x0;
    if (event->modifiers() & Qt::ControlModifier) {
        // Away from the user: narrower (closer in), as a zoom.
        model_.setXAxisMax(x0 + w * std::pow(0.875, notches));
        wheelMode_ = Navigation::WidthTool;
    } else {
        // Away from the user: back in time, an eighth of the view a notch.
        const double left = keptLeft(model_, x0 - notches * w / 8, w);
        model_.AutoScrollEnabled = false;
        model_.BeginUpdate();
        model_.setXAxisMin(left);
        model_.setXAxisMax(left + w);
        model_.EndUpdate();
        wheelMode_ = Navigation::TimeScroll;
    }
    wheelReport_.start();
    event->accept();
}

void ChartWidget::reportDone(int mode)
{
    if (navigation_)
        navigation_->pointerChangeDone(mode);
}
