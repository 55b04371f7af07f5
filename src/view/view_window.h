#pragma once
#include <QString>
#include <functional>
#include <optional>

class StripChartModel;
class DataSet;
class WindowSurface;
class MessagePump;

// The view window over the loaded rows: the index bounds of the view, its statistics and the
// whole-view operations on the chart.
class ViewWindow {
public:
    ViewWindow(StripChartModel &chart, DataSet &data, WindowSurface &surface, MessagePump &pump)
        : chart_(chart), data_(data), surface_(surface), pump_(pump) {}

    // Spoken reports the view operations end with (wired by the Viewer).
    std::function<void()> speakChartLimits;   // after the full view
    std::function<void()> speakChartHeight;   // after auto-scale
    std::function<void()> recolourArrows;

    // Inclusive row bounds of the view; stale between operations, recomputed by each query.
    int ViewStartIndex = 0;
    int ViewStopIndex = 0;

    // First row at or after the left edge (LastIndex + 1 when none is).
    void FindXaxisMinIndex();
    // First row from ViewStartIndex on at or after the right edge (LastIndex + 1 when none is).
    void FindXaxisMaxIndex();

    // Largest and smallest value in the view for one channel (0..7), or all loaded channels
    // when channel is negative. An empty view, or channel > 7, gives 0 and 0.
    void FindMaxMinForView(double &max, double &min, int channel);
    // Mean of the channel's values in the view and the percentage of them in each quarter of
    // the view's value range (b1 = bottom quarter). An empty view gives all zeros.
    void FindViewAvg(double &avg, double &b1, double &b2, double &b3, double &b4, int channel);
    // Y axis from the view's minimum to its maximum, or to `percent` of the range above the
    // minimum when 0 < percent <= 100. No redraw.
    void FitChartYtoData(int channel, std::optional<double> percent = std::nullopt);

    // Auto-scale to the cursor channel, then say the chart's height.
    void cmdAutoScale_Click();
    // Full view: every row, Y from the smallest to the largest value of any channel.
    void cmdFullView_Click();

    // A typed time of day in days: "h:m:s", "h:m" or hours "h" (0..24). 0 for rejected text.
    static double TimeFromStr(const QString &text);

private:
    int firstAtOrAfter(double time, int from) const;

    StripChartModel &chart_;
    DataSet &data_;
    WindowSurface &surface_;
    MessagePump &pump_;
};
