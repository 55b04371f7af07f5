#pragma once
#include "session/viewer.h"
#include "sound/pace_clocks.h"
#include "support/fake_audio.h"
#include "support/fakes.h"
#include <gtest/gtest.h>

// A started-up Viewer on fake ports with a fake sound device and a clock that moves only
// when the scan waits, plus a way to put samples into the chart directly.
class SoundFixture : public ::testing::Test {
protected:
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    FakeAudio audio;
    VirtualPaceClock clock;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    ToneGenerator &tone = viewer.tone;
    SonifiedScan &scan = viewer.scan;

    void SetUp() override
    {
        viewer.setAudioOutput(&audio);
        viewer.setPaceClock(&clock);
        viewer.startUp();
        scan.ScanSpeed = 0;
        speech.spoken.clear();
    }

    // One channel, one row per second from 10:00:00, the view over all of it and Y 0 .. 100.
    void setSamples(const QList<double> &values)
    {
        StripChartModel &chart = viewer.chart;
        chart.ClearData();
        const double start = 45000 + 10.0 / 24;
        for (int i = 0; i < values.size(); ++i) {
            const int row = chart.AddRow(start + i / 86400.0);
            chart.SetValue(0, row, values[i]);
        }
        viewer.data.LastIndex = int(values.size()) - 1;
        viewer.data.ChannelCount = 1;
        viewer.data.DataReady = viewer.data.FileLoaded = true;
        chart.setXAxisMin(start);
        chart.setXAxisMax(start + (values.size() - 1) / 86400.0);
        chart.setYAxisMin(0);
        chart.setYAxisMax(100);
    }

    // Each cursor move as (row, tone frequency, volume level) once the tone has followed it.
    struct Step {
        int row;
        qint32 hz;
        double volume;
        bool operator==(const Step &) const = default;
    };
    void trackSteps()
    {
        QObject::connect(&viewer.chart, &StripChartModel::cursorChanged, &viewer.chart,
                         [this] { steps.append({viewer.chart.cursorRow(), tone.ToneFrequency, tone.VolumeLevel}); });
    }
    QList<Step> steps;
    QList<int> rows() const
    {
        QList<int> r;
        for (const Step &s : steps)
            r << s.row;
        return r;
    }
};
