#include "sound/sonified_scan.h"
#include "data/data_set.h"
#include "ports/message_pump.h"
#include "ports/pace_clock.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "sound/sound_menu.h"
#include "sound/tone_generator.h"
#include "view/strip_chart_model.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <cmath>

namespace {

constexpr int CursorMode = 4;
constexpr int TimeScrollMode = 1;
// How long a paused scan rests between looks at the keys.
constexpr qint64 PauseSliceUs = 10000;
// How far a scan may fall behind its schedule before it stops trying to catch up.
constexpr qint64 MaxLagUs = 250000;

// "#####.00": two decimals, no zero before the point.
QString readoutValue(double y)
{
    QString text = QString::number(y, 'f', 2);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

bool validPoint(const StripChartModel &chart, int channel, int row)
{
    return row >= 0 && row < chart.rowCount() && channel >= 0 && channel < chart.channelCount();
}

} // namespace

SonifiedScan::SonifiedScan(StripChartModel &chart, const DataSet &data, Speech &speech, WindowSurface &surface,
                           MessagePump &pump, ToneGenerator &tone, SoundMenu &menu, PaceClock &clock)
    : chart_(chart), data_(data), speech_(speech), surface_(surface), pump_(pump), tone_(tone), menu_(menu),
      clock_(&clock)
{
    changedLink_ = QObject::connect(&chart_, &StripChartModel::cursorChanged, &chart_, [this] { cursorChanged(); });
    readoutLink_ = QObject::connect(&chart_, &StripChartModel::cursorReadout, &chart_, [this] { cursorReadout(); });
}

SonifiedScan::~SonifiedScan()
{
    QObject::disconnect(changedLink_);
    QObject::disconnect(readoutLink_);
}

void SonifiedScan::readScanSpeed(const SettingsStore &store)
{
    bool ok = false;
    const double speed = store.read(QStringLiteral("Settings"), QStringLiteral("ScanSpeed"), QStringLiteral("100")).toDouble(&ok);
    ScanSpeed = ok && speed >= MinSpeed && speed <= MaxSpeed ? speed : 100;
}

bool SonifiedScan::mnuScan()
{
    if (!data_.DataReady) {
        speech_.speak(QStringLiteral("No file is loaded. Cannot sauna-phi."));
        return false;
    }
    int start = 0, stop = 0;
    if (viewIndices)
        viewIndices(start, stop);
    speech_.speak(QStringLiteral("Sonified scan of chart from ") + NumberForms::hhnnss(chart_.XAxisMin()) +
                  QStringLiteral(" to ") + NumberForms::hhnnss(chart_.XAxisMax()));
    pump_.pump();
    if (!tone_.SoundOn)
        menu_.mnuSoundOffOn();
    chart_.setToolBarMode(CursorMode);
    // A scan started from a paused one (its pause reads the next command) hands the flag back.
    const bool outerScan = ScanStarted;
    ScanStarted = true;
    if (!(tone_.AmTone >= 60 && tone_.AmTone <= 1000))
        tone_.AmTone = 440;
    if (tone_.AmplitudeMode && !tone_.NoiseWave) {
        double carrier = tone_.AmTone / 2200;
        tone_.UpdateFreq(carrier);
    }

    PaceSchedule pace;
    bool whole = true;
    for (int i = start + 1; i < stop; ++i) {
        chart_.setCursorRow(i);   // the cursor-change handler retunes before this returns
        if (speech_.AbortRequested) {
            whole = false;
            break;
        }
        if (ScanPaused) {
            // The step just taken retuned the tone, and a retune starts it again.
            tone_.StopSound();
            reportPause(i);
            while (ScanPaused && !speech_.AbortRequested) {
                pump_.waitForUser();
                clock_->sleepUs(PauseSliceUs);
            }
            pace = {};   // the walk goes on from now, not from before the pause
        }
        waitForPace(pace);
    }
    // Escape during the last step's wait also stops the scan short of its end.
    whole = whole && !speech_.AbortRequested;
    // The tone ends with the scan, whatever was toggled meanwhile; only a tone that was on says so.
    if (tone_.SoundOn)
        menu_.mnuSoundOffOn();
    else
        tone_.StopSound();
    chart_.setToolBarMode(TimeScrollMode);
    speech_.AbortRequested = false;
    ScanPaused = false;
    ScanStarted = outerScan;
    surface_.setFocus(QStringLiteral("txtIn"));
    return whole;
}

void SonifiedScan::reportPause(int row)
{
    // A row that has gone (the data changed meanwhile) gives no report; the pause still holds.
    const int channel = chart_.CursorChannel();
    const int cursor = chart_.cursorRow();
    if (!validPoint(chart_, channel, cursor) || row >= chart_.rowCount())
        return;
    const double value = std::floor(chart_.GetValue(channel, cursor));
    const QString label = NumberForms::hhnnss(chart_.GetTime(row)) + QStringLiteral("  Y = ") + QString::number(value, 'f', 0);
    surface_.setLabel(QStringLiteral("LBLLR"), label);
    speech_.speak(QStringLiteral("Scan Paused at ") + label);
}

void SonifiedScan::waitForPace(PaceSchedule &pace)
{
    if (!(ScanSpeed > 0))
        return;
    const qint64 now = clock_->nowUs();
    // A new speed, or a stall far behind the schedule (other work ran meanwhile), starts a
    // new stretch here rather than rushing to catch up.
    if (pace.steps == 0 || pace.speed != ScanSpeed || now - pace.dueUs() > MaxLagUs)
        pace = {now, 0, ScanSpeed};
    ++pace.steps;
    const qint64 until = pace.dueUs();
    for (qint64 t = now; t < until && !speech_.AbortRequested && !ScanPaused; t = clock_->nowUs()) {
        clock_->sleepUs(until - t);
        pump_.pump();
    }
}

void SonifiedScan::cursorChanged()
{
    if (tone_.SoundOn) {
        const double ymin = chart_.YAxisMin();
        const double ymax = chart_.YAxisMax();
        const int channel = chart_.CursorChannel();
        const int row = chart_.cursorRow();
        // A flat Y range or an unreadable value gives no level: the tone stays as it is.
        if (ymax != ymin && validPoint(chart_, channel, row)) {
            double level = (chart_.GetValue(channel, row) - ymin) / (ymax - ymin);
            if (!std::isnan(level)) {
                if (tone_.FrequencyMode) {
                    if (level != lastFmLevel_) {
                        tone_.UpdateFreq(level);
                        lastFmLevel_ = level;
                    }
                } else if (level != lastAmLevel_) {
                    tone_.UpdateVol(level);
                    lastAmLevel_ = level;
                }
            }
        }
    }
    pump_.pump();
}

void SonifiedScan::cursorReadout()
{
    if (chart_.ToolBarMode() != CursorMode)
        return;
    const int row = chart_.cursorRow();
    const int channel = chart_.CursorChannel();
    if (!validPoint(chart_, channel, row))
        return;
    const double y = chart_.GetValue(channel, row);
    surface_.setLabel(QStringLiteral("LBLLR"), NumberForms::hhnnss(chart_.GetTime(row)) + QStringLiteral("    Y : ") +
                                                   readoutValue(y) + QStringLiteral("    Sample: ") + QString::number(row));
    // The pitch follows the value relative to the top of the view; a zero top has no level.
    // With the sound off the pointer stays silent, as the keys do.
    if (tone_.SoundOn && chart_.YAxisMax() != 0) {
        double level = y / chart_.YAxisMax();
        tone_.UpdateFreq(level);
    }
}

void SonifiedScan::spaceKey()
{
    // With no scan running, Space is a blank in the command box and nothing else.
    if (!ScanStarted)
        return;
    ScanPaused = !ScanPaused;
    if (ScanPaused)
        tone_.StopSound();
    else
        tone_.StartSound();
}
