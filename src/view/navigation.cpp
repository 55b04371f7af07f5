#include "view/navigation.h"
#include "data/data_set.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "util/leading_number.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <cmath>

namespace {
void call(const std::function<void()> &f)
{
    if (f)
        f();
}
} // namespace

Navigation::Navigation(StripChartModel &chart, DataSet &data, ViewWindow &view, WindowSurface &surface, Speech &speech)
    : chart_(chart), data_(data), view_(view), surface_(surface), speech_(speech)
{
}

void Navigation::readClickInc(const SettingsStore &store)
{
    const double step = leadingNumber(store.read(QStringLiteral("Settings"), QStringLiteral("ClickInc"), QStringLiteral("25")));
    // A step of 200 % or more would turn the span inside out.
    ClickInc = std::isfinite(step) && step > 0 && step < 200 ? step : 25;
}

double Navigation::height() const
{
    return chart_.YAxisMax() - chart_.YAxisMin();
}

void Navigation::cmdLeft_Click()
{
    chart_.setToolBarMode(TimeScroll);
    chart_.AutoScrollEnabled = false;
    if (chart_.rowCount() == 0)
        return;
    chart_.BeginUpdate();
    const double w = chart_.XAxisMax() - chart_.XAxisMin();
    const double m = chart_.XAxisMin() - 0.25 * w;
    const double first = chart_.GetTime(0);
    const double left = first < m ? m : first;
    chart_.setXAxisMin(left);
    chart_.setXAxisMax(left + w);
    chart_.EndUpdate();
    CheckArrowColors();
    call(speakChartWidth);
}

void Navigation::cmdRight_Click()
{
    if (data_.LastIndex < 3 || chart_.rowCount() <= data_.LastIndex)
        return;
    chart_.AutoScrollEnabled = false;
    chart_.setToolBarMode(TimeScroll);
    chart_.BeginUpdate();
    const double w = chart_.XAxisMax() - chart_.XAxisMin();
    // The full view ends at the last sample, so scrolling may reach it too.
    const double e = chart_.GetTime(data_.LastIndex);
    const double m = chart_.XAxisMax() + 0.25 * w;
    const double right = e >= m ? m : e;
    chart_.setXAxisMax(right);
    chart_.setXAxisMin(right - w);
    chart_.EndUpdate();
    CheckArrowColors();
    call(speakChartWidth);
}

void Navigation::cmdUp_Click()
{
    chart_.BeginUpdate();
    chart_.AutoScaleEnabled = false;
    chart_.setToolBarMode(ValueScroll);
    const double h = std::fabs(height());
    chart_.setYAxisMin(chart_.YAxisMin() + 0.25 * h);
    chart_.setYAxisMax(chart_.YAxisMax() + 0.25 * h);
    chart_.EndUpdate();
    CheckScrollEnabled();
    CheckArrowColors();
    call(speakChartHeight);
}

void Navigation::cmdDown_Click()
{
    chart_.setToolBarMode(ValueScroll);
    CheckArrowColors();
    const double h = height();
    if (!(h >= 2))
        return;
    chart_.BeginUpdate();
    chart_.AutoScaleEnabled = false;
    chart_.setYAxisMin(chart_.YAxisMin() - 0.25 * h);
    chart_.setYAxisMax(chart_.YAxisMax() - 0.25 * h);
    chart_.EndUpdate();
    CheckScrollEnabled();
    call(speakChartHeight);
}

void Navigation::cmdIncX_Click()
{
    chart_.setToolBarMode(WidthTool);
    const double w = chart_.XAxisMax() - chart_.XAxisMin();
    chart_.setXAxisMax(chart_.XAxisMin() + w * (1 + ClickInc / 200));
    chart_.EndUpdate();
    CheckArrowColors();
    call(speakChartWidth);
}

void Navigation::cmdDecX_Click()
{
    chart_.setToolBarMode(WidthTool);
    const double w = chart_.XAxisMax() - chart_.XAxisMin();
    chart_.setXAxisMax(chart_.XAxisMin() + w * (1 - ClickInc / 200));
    chart_.EndUpdate();
    CheckArrowColors();
    call(speakChartWidth);
}

void Navigation::cmdIncY_Click() { stepHeight(+1); }

void Navigation::cmdDecY_Click() { stepHeight(-1); }

// Raises or lowers the top by a step of the height; the bottom stays.
void Navigation::stepHeight(int direction)
{
    chart_.setToolBarMode(HeightTool);
    chart_.AutoScaleEnabled = false;
    CheckArrowColors();
    CheckScrollEnabled();
    const double h = height();
    if (!(h >= 5))
        return;
    chart_.setYAxisMax(chart_.YAxisMax() + direction * h * ClickInc / 200);
    chart_.EndUpdate();
    call(speakChartHeight);
}

void Navigation::setCursorMode(bool on)
{
    chart_.setToolBarMode(on ? CursorTool : NoTool);
    if (on && data_.DataReady) {
        cursorIntoView();
        speakCursor();
    }
}

void Navigation::cmdCursor_Click()
{
    const bool on = chart_.ToolBarMode() != CursorTool;
    chart_.AutoScrollEnabled = !on;
    setCursorMode(on);
    CheckScrollEnabled();
    CheckArrowColors();
}

void Navigation::mnuCursor_Click()
{
    if (!data_.DataReady)
        return;
    const bool on = chart_.ToolBarMode() != CursorTool;
    setCursorMode(on);
    if (on)
        surface_.setFocus(QStringLiteral("iStripChartX1"));
    CheckArrowColors();
}

void Navigation::cmdZoom_Click()
{
    if (chart_.ToolBarMode() == ZoomTool) {
        chart_.setToolBarMode(NoTool);
        chart_.AutoScrollEnabled = true;
        CheckArrowColors();
        CheckScrollEnabled();
        return;
    }
    chart_.setToolBarMode(ZoomTool);
    chart_.AutoScaleEnabled = false;
    chart_.AutoScrollEnabled = false;
    CheckArrowColors();
    CheckScrollEnabled();
    chart_.EndUpdate();
}

void Navigation::cmdAutoScrollEnable_Click()
{
    chart_.AutoScrollEnabled = !chart_.AutoScrollEnabled;
    if (chart_.AutoScrollEnabled) {
        chart_.setToolBarMode(NoTool);
        surface_.setLabel(QStringLiteral("LBLCS"), QStringLiteral("Auto-Scrolling Enabled"));
    } else {
        surface_.setLabel(QStringLiteral("LBLCS"), QStringLiteral("Auto-Scrolling Disabled"));
    }
    CheckScrollEnabled();
    CheckArrowColors();
}

void Navigation::selectTool(int mode)
{
    chart_.setToolBarMode(mode);
    CheckArrowColors();
}

void Navigation::mnuSetYminToZero_Click()
{
    const double h = height();
    if (!(h >= 2))
        return;
    chart_.BeginUpdate();
    chart_.AutoScaleEnabled = false;
    chart_.setYAxisMin(0);
    chart_.setYAxisMax(h);
    chart_.EndUpdate();
    CheckScrollEnabled();
    call(speakChartHeight);
}

void Navigation::mnuCH_Click(int n)
{
    if (n < 1 || n > StripChartModel::MaxChannels)
        return;
    chart_.setCursorChannel(n - 1);
    surface_.setChecked(QStringLiteral("mnuCH%1").arg(n), true);
    // Said as the CHANNELS command says it.
    speech_.speak(QStringLiteral("Cursor channel is now ") + NumberForms::signPadded(n));
}

void Navigation::UpdateMnuCH()
{
    for (int n = 1; n <= StripChartModel::MaxChannels; ++n)
        surface_.setChecked(QStringLiteral("mnuCH%1").arg(n), chart_.CursorChannel() == n - 1);
}

void Navigation::pointerChangeDone(int mode)
{
    switch (mode) {
    case TimeScroll:
    case WidthTool:
        call(speakChartWidth);
        break;
    case ValueScroll:
    case HeightTool:
        CheckScrollEnabled();
        call(speakChartHeight);
        break;
    case ZoomTool:
        call(speakChartWidth);
        call(speakChartHeight);
        break;
    default:
        break;
    }
}

bool Navigation::keyPress(const QString &key)
{
    // Ctrl walks the cursor ten samples at a time.
    const bool ctrl = key.startsWith(QLatin1String("Ctrl+"));
    QString bare = key;
    bool modified = false;
    for (const char *m : {"Ctrl+", "Alt+", "Shift+"}) {
        if (bare.contains(QLatin1String(m))) {
            bare.remove(QLatin1String(m));
            modified = true;
        }
    }
    if (bare == QLatin1String("Left") || bare == QLatin1String("Right")) {
        const int sign = bare == QLatin1String("Left") ? -1 : 1;
        if (chart_.ToolBarMode() == CursorTool && data_.DataReady)
            stepCursor(sign * (ctrl ? 10 : 1));
        else if (sign < 0)
            cmdLeft_Click();
        else
            cmdRight_Click();
        return true;
    }
    if (bare == QLatin1String("Up") && modified) {
        cmdIncY_Click();
        return true;
    }
    if (bare == QLatin1String("Down") && modified) {
        cmdDecY_Click();
        return true;
    }
    if (key == QLatin1String("F11")) {
        mnuRememberXY_Click();
        return true;
    }
    if (key == QLatin1String("F12")) {
        if (recallAllowed())
            mnuRecallXY_Click();
        return true;
    }
    return false;
}
