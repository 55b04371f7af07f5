#pragma once
#include "view/chart_appearance.h"
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

class StripChartModel;
class Navigation;

// The strip chart on the window: draws the model and redraws when it changes. The pointer
// works the chart tool the model holds (ToolBarMode): drag to scroll in time (1) or value (2),
// to change the width (5) or height (6), a box to zoom (8), click or drag to place the
// cursor (4); the wheel scrolls in time, with Ctrl it changes the width.
class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(StripChartModel &model, QWidget *parent = nullptr);

    // Gives pointer changes their spoken report; without it the pointer still moves the view.
    void setNavigation(Navigation *navigation) { navigation_ = navigation; }
    // Where the traces are drawn, in widget pixels.
    QRectF plotArea() const;
    // The zoom box being drawn, in widget pixels (empty when none).
    QRect zoomBand() const { return band_; }

signals:
    // Right button pressed on the chart (the window decides whether a menu opens).
    void contextRequested(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // What the kept drawing shows; the cursor is drawn over it at every paint.
    struct Key {
        quint64 data = ~0ull;
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        QString title, timeFormat;
        bool legend = false;
        QSize size;
        qreal ratio = 0;
        ChartAppearance look;
        bool operator==(const Key &) const = default;
    };
    Key currentKey() const;
    void refresh();

    // --- pointer (chart_widget_pointer.cpp) ---
    struct Drag {
        bool active = false;
        int mode = 0;
        QPoint from;
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        bool moved = false;
    };
    void dragTo(const QPoint &at);
    void placeCursor(const QPoint &at);
    void finishZoom();
    void reportDone(int mode);

    StripChartModel &model_;
    Navigation *navigation_ = nullptr;
    QImage drawing_;
    QTimer describeLater_;
    Key drawn_;
    Drag drag_;
    QRect band_;
    QTimer wheelReport_;
    int wheelMode_ = 0;
};
