#include "app/chart_widget.h"
#include "app/chart_painter.h"
#include "view/strip_chart_model.h"
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Screen readers hear the chart as a chart, not as an unnamed pane. Installed before the
// first chart sets its name, which may already ask for its accessible interface.
void presentChartsAsCharts()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
            if (className == QLatin1String("ChartWidget") && object->isWidgetType())
                return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}
} // namespace

ChartWidget::ChartWidget(StripChartModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    presentChartsAsCharts();
    // The wheel's report comes once the wheel rests.
    wheelReport_.setSingleShot(true);
    wheelReport_.setInterval(400);
    connect(&wheelReport_, &QTimer::timeout, this, [this] { reportDone(wheelMode_); });
    setObjectName(QStringLiteral("iStripChartX1"));
    setAccessibleName(QStringLiteral("Strip chart"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 80);
    // update() coalesces: a burst of changes costs one paint.
    connect(&model_, &StripChartModel::redrawRequested, this, &ChartWidget::refresh);
    connect(&model_, &StripChartModel::viewChanged, this, &ChartWidget::refresh);
    // A scan moves the cursor many times a second: its description follows at a calmer pace.
    describeLater_.setSingleShot(true);
    describeLater_.setInterval(250);
    connect(&describeLater_, &QTimer::timeout, this, [this] { setAccessibleDescription(ChartPainter::describe(model_)); });
    connect(&model_, &StripChartModel::cursorChanged, this, [this] {
        if (!describeLater_.isActive())
            describeLater_.start();
    });
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
            model_.title(), model_.timeLabelFormat(), model_.legendVisible(), size(), devicePixelRatioF(), model_.appearance()};
}

void ChartWidget::paintEvent(QPaintEvent *)
{
    // A scan moves the cursor at every step: the traces are redrawn only when they change.
    const Key key = currentKey();
    if (!(key == drawn_) || drawing_.isNull()) {
        // An image, not a pixmap: the traces are then written straight into its scanlines.
        drawing_ = QImage(size() * key.ratio, QImage::Format_ARGB32_Premultiplied);
        drawing_.setDevicePixelRatio(key.ratio);
        QPainter painter(&drawing_);
        painter.setFont(font());
        ChartPainter::paint(painter, rect(), model_, false);
        drawn_ = key;
    }
    QPainter p(this);
    p.drawImage(0, 0, drawing_);
    ChartPainter::paintCursor(p, rect(), model_);
    if (!band_.isEmpty()) {
        p.setPen(QPen(palette().highlight().color(), 1, Qt::DashLine));
        p.setBrush(QColor(0, 120, 215, 40));
        p.drawRect(band_);
        p.setBrush(Qt::NoBrush);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

