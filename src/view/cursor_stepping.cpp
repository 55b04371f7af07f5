// Walking the data one sample at a time with the chart cursor.
#include "data/data_set.h"
#include "ports/window_surface.h"
#include "view/navigation.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <algorithm>
#include <cmath>

namespace {
// Rows the cursor may stand on: the loaded ones that the chart really holds.
int lastRow(const StripChartModel &chart, const DataSet &data)
{
    return std::min(data.LastIndex, chart.rowCount() - 1);
}
} // namespace

bool Navigation::cursorOn() const
{
    return chart_.ToolBarMode() == CursorTool;
}

QString Navigation::cursorReadoutText() const
{
    const int row = chart_.cursorRow();
    const int channel = chart_.CursorChannel();
    if (row < 0 || row >= chart_.rowCount() || channel < 0 || channel >= chart_.channelCount())
        return QString();
    return NumberForms::hhnnss(chart_.GetTime(row)) + u' ' + speech_.numbers.readout(chart_.GetValue(channel, row));
}

void Navigation::speakCursor()
{
    const QString text = cursorReadoutText();
    if (text.isEmpty())
        return;
    surface_.setLabel(QStringLiteral("LBLLR"), text);
    speech_.speakReadout(text);
}

void Navigation::cursorIntoView()
{
    const int last = lastRow(chart_, data_);
    if (last < 0)
        return;
    const int row = chart_.cursorRow();
    if (row >= 0 && row <= last) {
        const double t = chart_.GetTime(row);
        if (t >= chart_.XAxisMin() && t <= chart_.XAxisMax())
            return;
    }
    view_.FindXaxisMinIndex();
    chart_.setCursorRow(std::min(view_.ViewStartIndex, last));
}

void Navigation::stepCursor(int delta)
{
    const int last = lastRow(chart_, data_);
    if (last < 0 || delta == 0)
        return;
    const int row = std::clamp(chart_.cursorRow(), 0, last);
    if (delta < 0 && row == 0 && chart_.cursorRow() == 0) {
        speech_.speakReadout(QStringLiteral("First sample."));
        return;
    }
    if (delta > 0 && row == last && chart_.cursorRow() == last) {
        speech_.speakReadout(QStringLiteral("Last sample."));
        return;
    }
    // In 64 bits: a step of ten near the largest row must not wrap around.
    const int target = int(std::clamp<qint64>(qint64(row) + delta, 0, last));
    shiftViewToCursor(chart_.GetTime(target));
    chart_.setCursorRow(target);   // the tone follows in the cursor-change handler
    speakCursor();
}

// Moves the view by whole scroll steps, keeping its width, until `time` is inside it; never
// past the first or the last sample, like the scroll buttons.
void Navigation::shiftViewToCursor(double time)
{
    const double x0 = chart_.XAxisMin(), x1 = chart_.XAxisMax();
    const double w = x1 - x0;
    if (time >= x0 && time <= x1)
        return;
    const double step = 0.25 * w;
    double left = x0;
    if (step > 0 && std::isfinite(step)) {
        const double steps = std::ceil(time < x0 ? (x0 - time) / step : (time - x1) / step);
        left = time < x0 ? x0 - steps * step : x0 + steps * step;
    } else {
        left = time;
    }
    const int last = lastRow(chart_, data_);
    const double first = chart_.GetTime(0), end = chart_.GetTime(last);
    if (left < first)
        left = first;
    if (left + w > end && w > 0)
        left = std::max(first, end - w);
    // A view narrower than nothing, or times out of order, still has to show the cursor.
    if (!(time >= left && time <= left + w))
        left = time - 0.5 * std::max(w, 0.0);
    chart_.BeginUpdate();
    chart_.setXAxisMin(left);
    chart_.setXAxisMax(left + w);
    chart_.EndUpdate();
}
