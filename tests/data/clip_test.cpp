#include "data/spike_clipping.h"
#include "save_fixture.h"

TEST(ClipRows, SpikesAboveTheThresholdTakeTheMeanOfTenEarlierSamples)
{
    // Rows 0..10 are above the threshold but lead the first averaging window.
    std::vector<double> v(40, 1.0);
    for (int i = 0; i <= 10; ++i)
        v[size_t(i)] = 100;
    v[20] = 10;                 // equal to the threshold: kept
    v[30] = v[31] = v[32] = 50; // a run of spikes
    v[29] = 7;                  // the sample just before a spike is not averaged
    const int count = SpikeClipper::clipRows(
        0, 39, 10, [&](int r) { return v[size_t(r)]; }, [&](int r, double x) { v[size_t(r)] = x; });

    EXPECT_EQ(count, 3);
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(v[size_t(i)], 100);
    EXPECT_EQ(v[20], 10);
    // Row 30 averages rows 19..28; 31 averages 20..29 (7 included); 32 averages 21..30 with 30 replaced.
    EXPECT_DOUBLE_EQ(v[30], (9 * 1.0 + 10) / 10);
    EXPECT_DOUBLE_EQ(v[31], (8 * 1.0 + 10 + 7) / 10);
    EXPECT_DOUBLE_EQ(v[32], (8 * 1.0 + 7 + v[30]) / 10);
}

class Clip : public SaveFixture {
protected:
    void SetUp() override
    {
        SaveFixture::SetUp();
        // A flat 0.5 channel with a spike of two samples.
        load(generate(QStringLiteral("flat.lmd"), {"--rows", "60", "--signal", "constant", "--baseline", "0.5",
                                                   "--set-value", "30:0:10.5", "--set-value", "31:0:8"}));
    }

    void type(const QString &line)
    {
        viewer.commandText = line;
        viewer.keyPress(QStringLiteral("Return"));
    }
};

TEST_F(Clip, TheMenuAsksAndAPercentAnswerClipsThenAutoScales)
{
    viewer.actions.run(QStringLiteral("mnuClipSpikes"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Type clipping percentage then enter."));
    EXPECT_EQ(viewer.commandBox.PendingCommand, QStringLiteral("ClipSpikes"));
    EXPECT_EQ(surface.focus, QStringLiteral("txtIn"));

    type(QStringLiteral("25%"));

    EXPECT_TRUE(spoke(QStringLiteral(" 2 data points clipped.")));
    EXPECT_EQ(viewer.chart.GetValue(0, 30), 0.5);
    EXPECT_EQ(viewer.chart.GetValue(0, 31), 0.5);
    EXPECT_TRUE(viewer.commandBox.PendingCommand.isEmpty());
    EXPECT_TRUE(viewer.chart.AutoScaleEnabled);   // the auto-scale ran afterwards
    EXPECT_DOUBLE_EQ(viewer.chart.YAxisMax(), 0.5 * 1.2);
}

TEST_F(Clip, AnswersOutsideZeroToHundredAreIgnoredSilently)
{
    for (const QString &answer : {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("abc"), QStringLiteral("-5")}) {
        viewer.clipper.mnuClipSpikes();
        speech.spoken.clear();
        type(answer);
        EXPECT_TRUE(viewer.commandBox.PendingCommand.isEmpty()) << qPrintable(answer);
        EXPECT_EQ(viewer.chart.GetValue(0, 30), 10.5) << qPrintable(answer);
        for (const QString &s : speech.spoken)
            EXPECT_FALSE(s.endsWith(QLatin1String("data points clipped."))) << qPrintable(answer);
    }
}

TEST_F(Clip, TheFirstElevenVisibleRowsAndTooShortViewsAreLeftAlone)
{
    showRows(25, 40);   // rows 30 and 31 are among the first eleven visible rows
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 0);
    EXPECT_EQ(viewer.chart.GetValue(0, 30), 10.5);

    showRows(20, 30);   // eleven rows: none examined
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 0);
    EXPECT_EQ(speech.spoken.last(), QStringLiteral(" 0 data points clipped."));

    showRows(19, 40);
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 2);
}

TEST_F(Clip, NothingHappensWithoutData)
{
    viewer.data.DataReady = false;
    viewer.actions.run(QStringLiteral("mnuClipSpikes"));
    EXPECT_TRUE(viewer.commandBox.PendingCommand.isEmpty());
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 0);
    EXPECT_EQ(viewer.chart.GetValue(0, 30), 10.5);
}
