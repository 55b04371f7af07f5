#pragma once
#include <functional>

class StripChartModel;
class DataSet;
class WindowSurface;

// The view window over the loaded rows: the whole-view operations on the chart.
class ViewWindow {
public:
    ViewWindow(StripChartModel &chart, DataSet &data, WindowSurface &surface)
        : chart_(chart), data_(data), surface_(surface) {}

    std::function<void()> speakChartLimits;
    std::function<void()> recolourArrows;

    // Full view: every row, Y from the smallest to the largest value of any channel.
    void cmdFullView_Click();

private:
    StripChartModel &chart_;
    DataSet &data_;
    WindowSurface &surface_;
};
