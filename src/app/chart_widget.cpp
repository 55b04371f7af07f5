#include "app/chart_widget.h"
#include "app/chart_painter.h"
#include "view/strip_chart_model.h"
#include <QMouseEvent>
#include <QPainter>

ChartWidget::ChartWidget(const StripChartModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    setObjectName(QStringLiteral("iStripChartX1"));
    setAccessibleName(QStringLiteral("Strip chart"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 80);
    // update() coalesces: a burst of changes costs one paint.
    connect(&model_, &StripChartModel::redrawRequested, this, &ChartWidget::refresh);
    connect(&model_, &StripChartModel::viewChanged, this, &ChartWidget::refresh);
    refresh();
}

void ChartWidget::refresh()
{
    setAccessibleDescription(ChartPainter::describe(model_));
    update();
}

ChartWidget::Key ChartWidget::currentKey() const
{
    return {model_.dataRevision(), model_.XAxisMin(), model_.XAxisMax(), model_.YAxisMin(), model_.YAxisMax(),
            model_.title(), model_.timeLabelFormat(), model_.legendVisible(), size(), devicePixelRatioF()};
}

void ChartWidget::paintEvent(QPaintEvent *)
{
    // A scan moves the cursor at every step: the traces are redrawn only when they change.
    const Key key = currentKey();
    if (!(key == drawn_) || drawing_.isNull()) {
        drawing_ = QPixmap(size() * key.ratio);
        drawing_.setDevicePixelRatio(key.ratio);
        QPainter painter(&drawing_);
        painter.setFont(font());
        ChartPainter::paint(painter, rect(), model_, false);
        drawn_ = key;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, drawing_);
    ChartPainter::paintCursor(p, rect(), model_);
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void ChartWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        emit contextRequested(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}
