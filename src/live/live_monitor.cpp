#include "live/live_monitor.h"
#include "ports/window_surface.h"
#include "session/viewer.h"
#include "voice/folder_browser.h"
#include "voice/number_forms.h"
#include <QByteArray>
#include <QTimer>
#include <cmath>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

// Three short rising beeps, then a rest: unlike any tone the data can make, so it is heard
// as the alarm even over a listening tone.
QByteArray alarmEarcon()
{
    QByteArray sound;
    const auto beep = [&sound](double hertz, int ms) {
        const int n = ToneGenerator::SampleRate * ms / 1000;
        for (int i = 0; i < n; ++i) {
            const double fade = std::min(1.0, std::min(i, n - i) / 200.0);   // no clicks at the ends
            const double s = std::sin(2 * M_PI * hertz * i / ToneGenerator::SampleRate);
            sound.append(char(quint8(std::lround(127.5 + 120 * fade * s))));
        }
    };
    const auto rest = [&sound](int ms) { sound.append(QByteArray(ToneGenerator::SampleRate * ms / 1000, char(128))); };
    beep(660, 80);
    rest(40);
    beep(880, 80);
    rest(40);
    beep(1320, 120);
    rest(200);   // longer than the earcon's own time, so it is never heard twice
    return sound;
}

QString channelNumber(int zeroBased) { return QString::number(zeroBased + 1); }
// A level as the user chose to hear numbers, without the sign column's blank.
QString spokenNumber(const SpokenNumbers &numbers, double value) { return numbers.value(value).trimmed(); }

void tuneCarrier(ToneGenerator &tone)
{
    // The carrier the scan uses; the level then sets its loudness. Also after a change from
    // FM to AM while listening, so the pitch does not stay where FM left it.
    if (!tone.AmplitudeMode || tone.NoiseWave)
        return;
    if (!(tone.AmTone >= 60 && tone.AmTone <= 1000))
        tone.AmTone = 440;
    double carrier = tone.AmTone / 2200;
    if (tone.ToneFrequency != ToneGenerator::frequencyForLevel(carrier * 1000))
        tone.UpdateFreq(carrier);
}

} // namespace

LiveMonitor::LiveMonitor(Viewer &viewer) : follower(viewer.chart, viewer.data), v_(viewer)
{
    redraw_.setInterval(RedrawMs);
    QObject::connect(&redraw_, &QTimer::timeout, &follower, [this] { refreshView(); });
    QObject::connect(&follower, &FileFollower::rowsAppended, &follower,
                     [this](int first, int count) { rowsAppended(first, count); });
    QObject::connect(&follower, &FileFollower::cutShortOrReplaced, &follower, [this] {
        redraw_.stop();
        setFollowChecked(false);
        refreshView();   // the rows read before it stopped are shown
        v_.speech.speak(FileNameOf(follower.path()) + L(" was replaced or cut short; following stopped."));
    });
}

QList<QPair<QString, QString>> LiveMonitor::stateFields() const
{
    return {{L("following"), following() ? L("1") : L("0")},
            {L("listening"), listening_ ? L("1") : L("0")},
            {L("alarm"), alarmLevel_ ? QString::number(*alarmLevel_, 'g', 15) : QString()}};
}

void LiveMonitor::setFollowChecked(bool on)
{
    v_.ports.surface.setChecked(L("mnuFollowFile"), on);
}

void LiveMonitor::FOLLOW()
{
    if (following()) {
        stopFollowing();
        v_.speech.speak(L("Stopped following."));
        return;
    }
    const QString path = v_.data.LoadedFileName;
    if (!v_.data.DataReady || path.isEmpty() || !follower.start(path, v_.loader.openRecording())) {
        setFollowChecked(false);
        v_.speech.speak(L("No file loaded."));
        return;
    }
    setFollowChecked(true);
    if (!v_.chart.AutoScrollEnabled)
        v_.navigation.cmdAutoScrollEnable_Click();
    redraw_.start();
    v_.speech.speak(L("Following ") + FileNameOf(path) + L("."));
    // Whatever the logger wrote since the load is read now, not at the next notice.
    follower.check();
    refreshView();
}

void LiveMonitor::stopFollowing()
{
    follower.stop();
    redraw_.stop();
    setFollowChecked(false);
    if (rowsWaiting_)
        refreshView();
}

void LiveMonitor::stopAll()
{
    if (following())
        stopFollowing();
    if (listening_) {
        listening_ = false;
        v_.tone.StopSound();
    }
    rowsWaiting_ = false;
}

void LiveMonitor::rowsAppended(int firstRow, int count)
{
    rowsWaiting_ = true;
    if (listening_)
        soundNewest();
    if (!alarmLevel_ || count <= 0)
        return;
    const StripChartModel &chart = v_.chart;
    if (alarmChannel_ >= chart.channelCount())
        return;
    const SampleColumn &values = chart.column(alarmChannel_);
    const double level = *alarmLevel_;
    // The sample before the new ones tells whether the first new one crosses.
    double before = firstRow > 0 ? values[size_t(firstRow - 1)] : NAN;
    for (int row = firstRow; row < firstRow + count; ++row) {
        const double now = values[size_t(row)];
        if (std::isnan(now))
            continue;
        if (before <= level && now > level && (!sinceAlarm_.isValid() || sinceAlarm_.elapsed() >= AlarmQuietMs)) {
            sinceAlarm_.start();
            raiseAlarm(alarmChannel_, level, chart.GetTime(row));
            return;
        }
        before = now;
    }
}

void LiveMonitor::raiseAlarm(int channel, double level, double time)
{
    earconPlaying_ = true;
    v_.tone.playEarcon(alarmEarcon());
    QTimer::singleShot(EarconMs, &follower, [this] { restoreTone(); });
    const QString sentence = L("Alarm: channel ") + channelNumber(channel) + L(" above ") + spokenNumber(v_.speech.numbers, level) +
                             L(" at ") + NumberForms::hhnnss(time);
    v_.ports.surface.setLabel(L("LBLLR"), sentence);
    // Spoken once the reading that found it is over: speaking waits, and other work runs meanwhile.
    QTimer::singleShot(0, &follower, [this, sentence] { v_.speech.speak(sentence); });
}

void LiveMonitor::restoreTone()
{
    earconPlaying_ = false;
    if (listening_) {
        v_.tone.FillToneBuffer(v_.tone.ToneFrequency, float(v_.tone.VolumeLevel / 1000));
        v_.tone.StartSound();
    } else {
        v_.tone.StopSound();
    }
}

void LiveMonitor::refreshView()
{
    StripChartModel &chart = v_.chart;
    if (chart.rowCount() == 0) {
        rowsWaiting_ = false;
        return;
    }
    const bool scroll = chart.AutoScrollEnabled && chart.XAxisMax() != chart.GetTime(chart.rowCount() - 1);
    if (!rowsWaiting_ && !scroll)
        return;
    rowsWaiting_ = false;
    chart.BeginUpdate();
    if (chart.AutoScrollEnabled) {
        scrollToNewest();
        if (chart.AutoScaleEnabled)
            autoScaleQuietly();
    }
    chart.EndUpdate();
    if (listening_)
        soundNewest();
}

void LiveMonitor::scrollToNewest()
{
    StripChartModel &chart = v_.chart;
    const double newest = chart.GetTime(chart.rowCount() - 1);
    const double width = chart.XAxisMax() - chart.XAxisMin();
    if (newest == chart.XAxisMax())
        return;
    chart.setXAxisMax(newest);
    chart.setXAxisMin(newest - width);
}

void LiveMonitor::autoScaleQuietly()
{
    // The auto-scale's own limits, without its spoken height: it runs with every redraw.
    StripChartModel &chart = v_.chart;
    const int channel = chart.CursorChannel();
    if (channel < 0 || channel >= chart.channelCount())
        return;
    v_.view.FindXaxisMinIndex();
    v_.view.FindXaxisMaxIndex();
    const size_t from = size_t(std::max(v_.view.ViewStartIndex, 0));
    const size_t to = size_t(std::min(v_.view.ViewStopIndex, chart.rowCount() - 1)) + 1;
    double min = 0, max = 0;
    chart.summary(channel).range(chart.column(channel).data(), from, to, min, max);
    if (!(min <= max))
        return;
    const double bottom = std::max(0.0, min - 0.1 * min);
    const double top = max + 0.2 * max;
    if (bottom != chart.YAxisMin())
        chart.setYAxisMin(bottom);
    if (top != chart.YAxisMax())
        chart.setYAxisMax(top);
}

void LiveMonitor::LISTEN()
{
    if (listening_) {
        listening_ = false;
        if (!earconPlaying_)
            v_.tone.StopSound();
        v_.speech.speak(L("Stopped listening."));
        return;
    }
    if (!v_.data.DataReady || v_.chart.rowCount() == 0) {
        v_.speech.speak(L("No file loaded."));
        return;
    }
    v_.speech.speak(L("Listening to channel ") + channelNumber(v_.chart.CursorChannel()) + L("."));
    listening_ = true;
    lastLevel_.reset();
    soundNewest();
}


void LiveMonitor::soundNewest()
{
    const StripChartModel &chart = v_.chart;
    const int channel = chart.CursorChannel();
    if (channel < 0 || channel >= chart.channelCount() || chart.rowCount() == 0)
        return;
    const double ymin = chart.YAxisMin(), ymax = chart.YAxisMax();
    // A flat Y range or a missing value gives no level: the tone stays as it is.
    double level = (chart.GetValue(channel, chart.rowCount() - 1) - ymin) / (ymax - ymin);
    if (ymax == ymin || std::isnan(level) || earconPlaying_)
        return;
    if (lastLevel_ == level && v_.tone.playing())
        return;
    lastLevel_ = level;
    ToneGenerator &tone = v_.tone;
    if (tone.FrequencyMode) {
        tone.UpdateFreq(level);
    } else {
        tuneCarrier(tone);
        tone.UpdateVol(level);
        if (!tone.playing())
            tone.StartSound();
    }
}

void LiveMonitor::ALARM()
{
    alarmChannel_ = v_.chart.CursorChannel();
    v_.speech.speak(L("Enter the alarm level for channel ") + channelNumber(alarmChannel_) +
                    L(", or Escape to clear the alarm."));
    v_.commandBox.PendingCommand = L("ALARM");
}

bool LiveMonitor::alarmAnswer(const QString &typed)
{
    alarmChannel_ = v_.chart.CursorChannel();   // also when the level came on the command's line
    const QString text = typed.trimmed();
    bool ok = false;
    const double level = text.toDouble(&ok);
    if (text.isEmpty()) {
        v_.speech.speak(L("No level was typed; the alarm is unchanged."));
        return false;
    }
    if (!ok || !std::isfinite(level)) {
        v_.speech.speak(text + L(" is not a number; the alarm is unchanged."));
        return false;
    }
    alarmLevel_ = level;
    sinceAlarm_.invalidate();
    v_.speech.speak(L("Alarm set for channel ") + channelNumber(alarmChannel_) + L(" above ") + spokenNumber(v_.speech.numbers, level) + L("."));
    return false;
}

void LiveMonitor::escapePressed(bool atAlarmPrompt)
{
    if (atAlarmPrompt) {
        alarmLevel_.reset();
        v_.speech.speak(L("Alarm cleared."));
    } else if (listening_) {
        LISTEN();
    }
}
