#pragma once
#include <QString>
#include <functional>

class DataSet;
class StripChartModel;
class ViewWindow;
class Speech;
class WindowSurface;
class MessagePump;

// Flattens interference spikes in the visible part of the cursor channel: each sample above
// a chosen fraction of the visible range becomes the mean of ten samples before it.
class SpikeClipper {
public:
    // Rows that precede a sample's averaging window: the sample before it is skipped, and
    // the ten before that are averaged.
    static constexpr int Lead = 11;

    SpikeClipper(DataSet &data, StripChartModel &chart, ViewWindow &view, Speech &speech, WindowSurface &surface,
                 MessagePump &pump)
        : data_(data), chart_(chart), view_(view), speech_(speech), surface_(surface), pump_(pump) {}

    // Makes "ClipSpikes" the command box's pending prompt.
    std::function<void(const QString &)> setPendingCommand;

    // Tools menu Clip Spikes: asks for the percentage in the command box.
    void mnuClipSpikes();
    // Clips channel `channel` above `percent` (0 < percent < 100) of the visible range and
    // says how many samples were replaced. Returns that count.
    int ClipSpikes(int channel, double percent);

    // The clipping pass over rows start..stop, in increasing order: `value` reads a row,
    // `replace` stores its new value (which later rows then average over). `progress` runs
    // every 100 rows.
    static int clipRows(int start, int stop, double threshold, const std::function<double(int row)> &value,
                        const std::function<void(int row, double value)> &replace,
                        const std::function<void()> &progress = {});

private:
    DataSet &data_;
    StripChartModel &chart_;
    ViewWindow &view_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
};
