#pragma once
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
    void refresh();

    const StripChartModel &model_;
};
