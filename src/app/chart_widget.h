#pragma once
#include "view/chart_appearance.h"
#include <QPixmap>
#include <QTimer>
#include <QWidget>

class StripChartModel;

// The strip chart on the window: draws the model and redraws when it changes.
class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(const StripChartModel &model, QWidget *parent = nullptr);

signals:
    // Right button pressed on the chart (the window decides whether a menu opens).
    void contextRequested(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

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

    const StripChartModel &model_;
    QPixmap drawing_;
    QTimer describeLater_;
    Key drawn_;
};
