#include "data/spike_clipping.h"
#include "data/data_change_guard.h"
#include "data/data_set.h"
#include "ports/message_pump.h"
#include "ports/timed_pump.h"
#include "ports/window_surface.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/number_forms.h"
#include "voice/speech.h"

void SpikeClipper::mnuClipSpikes()
{
    if (!data_.DataReady)
        return;
    speech_.speak(QStringLiteral("Type clipping percentage then enter."));
    if (setPendingCommand)
        setPendingCommand(QStringLiteral("ClipSpikes"));
    surface_.setFocus(QStringLiteral("txtIn"));
}

int SpikeClipper::clipRows(int start, int stop, double threshold, const std::function<double(int)> &value,
                           const std::function<void(int, double)> &replace, const std::function<void()> &progress)
{
    int count = 0;
    for (int i = start + Lead; i <= stop; ++i) {
        if (value(i) > threshold) {
            double sum = 0;
            for (int k = i - Lead; k <= i - 2; ++k)
                sum += value(k);
            replace(i, sum / 10);
            ++count;
        }
        if (progress && i % 100 == 0)
            progress();
    }
    return count;
}

int SpikeClipper::ClipSpikes(int channel, double percent)
{
    if (!data_.DataReady || channel < 0 || channel >= chart_.channelCount())
        return 0;

    view_.FitChartYtoData(channel, percent);
    const double threshold = chart_.YAxisMax();
    chart_.EndUpdate();
    pump_.pump();

    // The view's bounds may run one past the last row when no sample reaches an edge.
    const int start = qMax(0, view_.ViewStartIndex);
    const int stop = qMin(view_.ViewStopIndex, qMin(data_.LastIndex, chart_.rowCount() - 1));
    int count = 0;
    const DataChangeGuard guard(data_, chart_);
    TimedPump slices(pump_);
    chart_.BeginUpdate();
    try {
        clipRows(
            start, stop, threshold, [this, channel](int row) { return chart_.GetValue(channel, row); },
            [this, channel, &count](int row, double value) {
                chart_.SetValue(channel, row, value);
                ++count;   // counted here so that a pass cut short still reports its changes
            },
            [this, &slices, &guard] {
                if (slices.maybePump()) {
                    // Another file loaded meanwhile: its rows are not ours to change.
                    guard.check();
                    chart_.EndUpdate();
                    chart_.BeginUpdate();
                    surface_.repaint();
                }
            });
    } catch (const std::exception &) {
    }
    chart_.EndUpdate();
    speech_.speak(NumberForms::signPadded(count) + QLatin1String(" data points clipped."));
    return count;
}
