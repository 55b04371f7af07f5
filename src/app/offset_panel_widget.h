#pragma once
#include <QFrame>
#include <functional>

class QLineEdit;
class WidgetSurface;
class StripChartModel;
class OffsetPanel;

// The channel-offset panel (Frame1) under the button column: the channel shown, its offset,
// and the buttons that change them. The program's OffsetPanel decides what they show.
class OffsetPanelWidget : public QFrame {
    Q_OBJECT
public:
    static constexpr int PanelHeight = 4 * 27 + 8;

    // `run` runs a click by control name, as the window's buttons do.
    OffsetPanelWidget(WidgetSurface &surface, OffsetPanel &panel, const StripChartModel &chart,
                      std::function<void(const QString &)> run, QWidget *parent);

    // The panel's controls in the order Tab visits them.
    QList<QWidget *> tabOrder() const;
    // Sets every child's place for a panel `width` pixels wide.
    void arrange(int width);

private:
    void colourBoxes(int channelIndex);

    const StripChartModel &chart_;
    QLineEdit *channel_ = nullptr;
    QLineEdit *offset_ = nullptr;
};
