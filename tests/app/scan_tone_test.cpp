#include "app/null_sink.h"
#include "app/qt_audio_output.h"
#include "session/viewer.h"
#include "support/fakes.h"
#include <gtest/gtest.h>
#include <QThread>
#include <functional>

namespace {

// Events handled as in the window, and then whatever the user does at this moment.
struct TimedPump : MessagePump {
    std::function<void()> tick;
    void pump() override
    {
        QCoreApplication::processEvents();
        if (tick)
            tick();
    }
};

// The scan's tone through the real sound output into a sink of the test's own, measured from
// what the sink received: after "Chart Sound On" or a resume the tone sounds within 200 ms,
// after Escape or a pause it is silent within 200 ms, every time.
class ScanToneTest : public ::testing::Test {
protected:
    NullSink sink;
    SinkRecording recording;
    QElapsedTimer clock;
    FakeSpeech speech;
    FakeSurface surface;
    TimedPump pump;
    FakeSettings settings;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    std::unique_ptr<QtAudioOutput> audio;
    double soundOnMs = -1;

    void SetUp() override
    {
        if (const QString why = sink.start(); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        clock.start();
        ASSERT_TRUE(recording.start(sink.id(), clock));
        ASSERT_TRUE(recording.waitForData(5000));
        audio = std::make_unique<QtAudioOutput>(sink.id());
        ASSERT_TRUE(audio->problem().isEmpty()) << audio->problem().toStdString();
        viewer.setAudioOutput(audio.get());
        viewer.startUp();   // the start-up tone plays, silently, from here on
        speech.onSpeak = [this](const QString &text) {
            if (text == QLatin1String("Chart Sound On"))
                soundOnMs = now();
        };
        fillChart(3000);
        viewer.scan.ScanSpeed = 100;
        wait(300);
    }
    void TearDown() override { viewer.setAudioOutput(nullptr); }

    double now() const { return double(clock.nsecsElapsed()) / 1e6; }
    void wait(double ms)
    {
        for (const double until = now() + ms; now() < until;) {
            pump.pump();
            recording.poll();
            QThread::usleep(2000);
        }
    }

    // One channel whose values walk between 20 and 50 of a 0 .. 100 view: a clear tone of
    // 1 to 4.5 kHz that changes at most steps.
    void fillChart(int rows)
    {
        StripChartModel &chart = viewer.chart;
        const double start = 45000 + 10.0 / 24;
        for (int i = 0; i < rows; ++i)
            chart.SetValue(0, chart.AddRow(start + i / 86400.0), 20 + (i * 7) % 31);
        viewer.data.LastIndex = rows - 1;
        viewer.data.ChannelCount = 1;
        viewer.data.DataReady = viewer.data.FileLoaded = true;
        chart.setXAxisMin(start);
        chart.setXAxisMax(start + (rows - 1) / 86400.0);
        chart.setYAxisMin(0);
        chart.setYAxisMax(100);
    }

    // Runs a scan; `during` is called at every pass of its loop with the time since
    // "Chart Sound On" (ms), and ends it by returning false (Escape).
    void scan(const std::function<bool(double)> &during)
    {
        soundOnMs = -1;
        bool stopped = false;
        pump.tick = [&] {
            recording.poll();
            if (!stopped && soundOnMs >= 0 && !during(now() - soundOnMs)) {
                stopped = true;
                viewer.keyPress(QStringLiteral("Escape"));
            }
        };
        viewer.scan.mnuScan();
        pump.tick = nullptr;
    }
};

TEST_F(ScanToneTest, EveryScanSoundsAndEveryEscapeSilencesIt)
{
    for (int round = 1; round <= 20; ++round) {
        double escapeMs = 0;
        scan([&](double sinceOn) {
            escapeMs = now();
            return sinceOn < 600;
        });
        wait(450);
        EXPECT_GT(recording.soundingShare(soundOnMs + 200, escapeMs), 0.5) << "scan " << round << " is silent";
        EXPECT_LT(recording.soundingShare(escapeMs + 200, escapeMs + 450), 0.1) << "scan " << round << " goes on after Escape";
    }
}

TEST_F(ScanToneTest, PauseSilencesAndResumeSoundsTheTone)
{
    struct Key {
        double atMs;   // since "Chart Sound On"
        const char *name;
    };
    std::vector<Key> keys;
    for (int cycle = 0; cycle < 10; ++cycle) {
        keys.push_back({500.0 + 1000 * cycle, "Space"});
        keys.push_back({1000.0 + 1000 * cycle, "Space"});
    }
    std::vector<double> pressedMs;
    scan([&](double sinceOn) {
        if (pressedMs.size() < keys.size() && sinceOn >= keys[pressedMs.size()].atMs) {
            pressedMs.push_back(now());
            viewer.keyPress(QLatin1String(keys[pressedMs.size() - 1].name));
        }
        return pressedMs.size() < keys.size() || sinceOn < keys.back().atMs + 500;
    });
    wait(300);
    ASSERT_EQ(pressedMs.size(), keys.size());
    EXPECT_GT(recording.soundingShare(soundOnMs + 200, pressedMs[0]), 0.5) << "before the first pause";
    for (size_t k = 0; k + 1 < pressedMs.size(); k += 2) {
        const int cycle = int(k / 2) + 1;
        EXPECT_LT(recording.soundingShare(pressedMs[k] + 200, pressedMs[k + 1]), 0.1) << "pause " << cycle << " sounds";
        const double until = k + 2 < pressedMs.size() ? pressedMs[k + 2] : pressedMs[k + 1] + 500;
        EXPECT_GT(recording.soundingShare(pressedMs[k + 1] + 200, until), 0.5) << "resume " << cycle << " is silent";
    }
}

} // namespace
