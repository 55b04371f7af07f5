#include "sound_fixture.h"

namespace {

using ScanTest = SoundFixture;

TEST_F(ScanTest, FrequencyScanWalksTheInsideOfTheViewAndFollowsTheValues)
{
    scan.mnuScan();   // nothing loaded yet
    EXPECT_EQ(speech.spoken, QStringList{QStringLiteral("No file is loaded. Cannot sauna-phi.")});
    EXPECT_FALSE(tone.SoundOn || scan.ScanStarted);
    speech.spoken.clear();

    setSamples({0, 20, 20, 50, 150, 7});
    trackSteps();
    scan.mnuScan();

    // The two bounds themselves are not visited; the second 20 sends nothing new.
    EXPECT_EQ(steps, QList<Step>({{1, 1161, 500}, {2, 1161, 500}, {3, 6450, 500}, {4, 22050, 500}}));
    EXPECT_EQ(speech.spoken, QStringList({QStringLiteral("Sonified scan of chart from 10:00:00 to 10:00:05"),
                                          QStringLiteral("Chart Sound On"), QStringLiteral("Chart Sound Off.")}));
    EXPECT_FALSE(audio.playing);
    EXPECT_EQ(surface.focus, QStringLiteral("txtIn"));
    EXPECT_FALSE(scan.ScanStarted) << "the scan is over";

    // A view holding only its two bounds visits nothing but still toggles the sound.
    setSamples({10, 90});
    steps.clear();
    speech.spoken.clear();
    scan.mnuScan();
    EXPECT_TRUE(steps.isEmpty());
    EXPECT_EQ(speech.spoken.mid(1), QStringList({QStringLiteral("Chart Sound On"), QStringLiteral("Chart Sound Off.")}));

    // A flat value range has no levels: the tone is left alone.
    setSamples({5, 7, 3, 5});
    viewer.chart.setYAxisMin(5);
    viewer.chart.setYAxisMax(5);
    const int writes = audio.writes;
    scan.mnuScan();
    EXPECT_EQ(audio.writes, writes);
}

TEST_F(ScanTest, AmplitudeScanSetsTheCarrierThenFollowsTheLoudness)
{
    viewer.soundMenu.mnuSoundAmplitude();
    setSamples({0, 0, 25, 100, 250, 0});
    trackSteps();
    const QList<QPair<double, int>> carriers = {{59, 1161}, {1001, 1161}, {60, 24}, {1000, 5419}};
    for (const auto &[amTone, hz] : carriers) {
        tone.AmTone = amTone;
        steps.clear();
        scan.mnuScan();
        ASSERT_EQ(steps.size(), 4);
        EXPECT_EQ(steps[0].hz, hz) << amTone;
        EXPECT_DOUBLE_EQ(tone.AmTone, amTone == 59 || amTone == 1001 ? 440 : amTone);
    }
    // Bottom of the view is silence (level 0 kept), above the top is full loudness.
    QList<double> volumes;
    for (const Step &s : steps)
        volumes << s.volume;
    EXPECT_EQ(volumes, QList<double>({0, 250, 1000, 1000}));

    // With noise no carrier is set; each changed level refills the noise.
    viewer.soundMenu.mnuSoundNoise();
    tone.ToneFrequency = 777;
    const int writes = audio.writes;
    scan.mnuScan();
    EXPECT_EQ(tone.ToneFrequency, 777);
    EXPECT_EQ(audio.writes, writes + 4);   // 2.5 was remembered clamped to 1, so it is sent again
}

// Space comes while the scan waits between steps; the next step retunes the tone before the
// walk sees the pause, and the tone must stay off all the same until Space resumes.
TEST_F(ScanTest, SpacePausesAndResumesEscapeEndsAndTheEndLeavesTheSoundOff)
{
    setSamples({0, 20, 30, 40, 50, 60});
    trackSteps();
    scan.ScanSpeed = 10;
    const auto space = [this] { viewer.keyPress(QStringLiteral("Space")); };
    pump.script = {[] {}, [] {}, space, [] {},
                   [&] { EXPECT_FALSE(audio.playing) << "paused";
                         space(); },
                   [this] { EXPECT_TRUE(audio.playing) << "resumed"; }};
    scan.mnuScan();
    EXPECT_TRUE(pump.script.empty());
    EXPECT_EQ(rows(), QList<int>({1, 2, 3, 4}));
    EXPECT_TRUE(speech.spoken.contains(QStringLiteral("Scan Paused at 10:00:02  Y = 30")));
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("10:00:02  Y = 30"));

    scan.ScanSpeed = 0;
    steps.clear();
    speech.spoken.clear();
    pump.script = {[] {}, [this] { viewer.keyPress(QStringLiteral("Space")); },
                   [this] { viewer.keyPress(QStringLiteral("Escape")); }};
    scan.mnuScan();
    // The cursor takes one more step before the walk sees the request.
    EXPECT_EQ(rows(), QList<int>({1, 2}));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Chart Sound Off."));
    EXPECT_FALSE(viewer.speech.AbortRequested);

    // Between scans Space is a blank: an odd or even number of them neither starts the tone
    // nor pauses the next scan (a paused one is ended here rather than left waiting).
    speech.onSpeak = [this](const QString &text) {
        if (text.startsWith(QLatin1String("Scan Paused")))
            viewer.keyPress(QStringLiteral("Escape"));
    };
    for (int blanks : {1, 2}) {
        for (int i = 0; i < blanks; ++i)
            viewer.keyPress(QStringLiteral("Space"));
        EXPECT_FALSE(audio.playing) << blanks;
        steps.clear();
        speech.spoken.clear();
        pump.script = {[] {}, [this] { EXPECT_TRUE(scan.ScanStarted) << "running"; }};
        scan.mnuScan();
        EXPECT_EQ(rows(), QList<int>({1, 2, 3, 4})) << blanks;
        EXPECT_EQ(speech.spoken.filter(QStringLiteral("Scan Paused")), QStringList()) << blanks;
    }

    // Sound turned off during a pause stays off: the end of the scan stops the tone without
    // toggling it back on, and says "Chart Sound Off." only when the sound was on.
    speech.onSpeak = {};
    speech.spoken.clear();
    pump.script = {[] {}, [this] { viewer.keyPress(QStringLiteral("Space")); },
                   [this] { viewer.soundMenu.mnuSoundOffOn(); },
                   [this] { viewer.keyPress(QStringLiteral("Space")); }};
    scan.mnuScan();
    EXPECT_FALSE(tone.SoundOn);
    EXPECT_FALSE(audio.playing);
    EXPECT_EQ(speech.spoken.count(QStringLiteral("Chart Sound Off.")), 1);   // the user's, none at the end
}

// A clock that wakes late from every sleep and whose every reading costs time, as a busy
// machine does; the scan's steps must still keep to their schedule on average.
struct LateClock : PaceClock {
    mutable qint64 now = 0;
    qint64 nowUs() const override { return now += 20; }
    void sleepUs(qint64 us) override { now += std::max<qint64>(us, 0) + 150; }
};

TEST_F(ScanTest, StepsLastTheirShareOfASecondEvenWhenWakeUpsAreLate)
{
    setSamples({0, 20, 30, 40, 50, 60});
    viewer.commandBox.hooks.setScanSpeed(50);
    EXPECT_EQ(settings.read(QStringLiteral("Settings"), QStringLiteral("ScanSpeed"), QString()), QStringLiteral("50"));
    scan.mnuScan();
    EXPECT_EQ(clock.nowUs(), 4 * 20000);

    // Escape while waiting ends the walk at once.
    trackSteps();
    pump.script = {[] {}, [] {}, [this] { viewer.keyPress(QStringLiteral("Escape")); }};
    scan.mnuScan();
    EXPECT_EQ(rows(), QList<int>({1, 2}));

    scan.readScanSpeed(settings);
    EXPECT_DOUBLE_EQ(scan.ScanSpeed, 50);
    // A stored speed no SPEED answer can give reads as the default.
    for (const char *stored : {"0.0001", "0", "10001", "nan", "-5"}) {
        settings.write(QStringLiteral("Settings"), QStringLiteral("ScanSpeed"), QLatin1String(stored));
        scan.readScanSpeed(settings);
        EXPECT_DOUBLE_EQ(scan.ScanSpeed, 100) << stored;
    }

    // Late wake-ups and costly clock readings: the schedule still holds on average.
    LateClock late;
    viewer.setPaceClock(&late);
    setSamples(QList<double>(1002, 50));   // 1000 steps inside the view
    scan.ScanSpeed = 1000;
    const qint64 begin = late.nowUs();
    scan.mnuScan();
    EXPECT_NEAR((late.now - begin) / 1e6, 1.0, 0.01);

    // A long stall (a pause, other work run meanwhile) is not made up by rushing afterwards.
    pump.script = {[] {}, [] {}, [this] { viewer.keyPress(QStringLiteral("Space")); },
                   [this, &late] { late.now += 5000000;   // five seconds of stall
                            viewer.keyPress(QStringLiteral("Space")); }};
    const qint64 again = late.nowUs();
    scan.mnuScan();
    EXPECT_NEAR((late.now - again) / 1e6, 6.0, 0.06);
}

TEST_F(ScanTest, PointerReadoutShowsThePointAndRetunesAgainstTheTop)
{
    setSamples({0, 20, 30, 50.5, 50, 60});
    viewer.chart.setToolBarMode(4);
    // With the sound off the pointer only shows the point.
    const qint32 silent = tone.ToneFrequency;
    emit viewer.chart.cursorReadout();
    EXPECT_EQ(tone.ToneFrequency, silent);
    // Amplitude scans: the cursor-change handler sets the loudness, the pointer the pitch.
    tone.SoundOn = true;
    tone.AmplitudeMode = true;
    tone.FrequencyMode = false;
    viewer.chart.setCursorRow(3);
    emit viewer.chart.cursorReadout();
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("10:00:03    Y : 50.50    Sample: 3"));
    EXPECT_EQ(tone.ToneFrequency, 6568);   // level 0.505

    // A zero top has no level: the label still shows, the tone stays.
    viewer.chart.setYAxisMin(-100);
    viewer.chart.setYAxisMax(0);
    viewer.chart.setCursorRow(1);
    emit viewer.chart.cursorReadout();
    EXPECT_EQ(tone.ToneFrequency, 6568);
    // Outside cursor mode the pointer neither shows nor retunes.
    viewer.chart.setToolBarMode(1);
    viewer.chart.setCursorRow(2);
    emit viewer.chart.cursorReadout();
    EXPECT_TRUE(surface.labels.value(QStringLiteral("LBLLR")).endsWith(QLatin1String("Sample: 1")));
}

} // namespace
