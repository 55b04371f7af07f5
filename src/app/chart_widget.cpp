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

void ChartWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    ChartPainter::paint(p, rect(), model_);
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
