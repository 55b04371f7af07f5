#include "data/spike_clipping.h"
#include "save_fixture.h"

TEST(ClipRows, SpikesAboveTheThresholdTakeTheMeanOfTenEarlierSamples)
{
    std::vector<double> v(40, 1.0);
    for (int i = 0; i <= 10; ++i)
        v[size_t(i)] = 100;      // leads the first averaging window: never examined
    v[20] = 10;                  // equal to the threshold: kept
    v[29] = 7;                   // just before a spike: not in its average
    v[30] = v[31] = v[32] = 50;  // a run of spikes
    const int count = SpikeClipper::clipRows(
        0, 39, 10, [&](int r) { return v[size_t(r)]; }, [&](int r, double x) { v[size_t(r)] = x; });

    EXPECT_EQ(count, 3);   // rows 10 and 20 kept
    EXPECT_EQ(v[10], 100);
    // Row 30 averages rows 19..28, row 31 rows 20..29, row 32 rows 21..30 with 30 already replaced.
    EXPECT_DOUBLE_EQ(v[30], (9 + 10) / 10.0);
    EXPECT_DOUBLE_EQ(v[31], (8 + 10 + 7) / 10.0);
    EXPECT_DOUBLE_EQ(v[32], (8 + 7 + v[30]) / 10.0);
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
};

TEST_F(Clip, ThePromptTakesAPercentThenClipsAndAutoScales)
{
    for (const QString &refused : {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("abc")}) {
        viewer.actions.run(QStringLiteral("mnuClipSpikes"));
        EXPECT_EQ(speech.spoken.last(), QStringLiteral("Type clipping percentage then enter."));
        EXPECT_EQ(surface.focus, QStringLiteral("txtIn"));
        type(refused);
        EXPECT_TRUE(viewer.commandBox.PendingCommand.isEmpty());
        EXPECT_EQ(speech.spoken.last(), QStringLiteral("Nothing clipped: the percentage must be more than 0 and less than 100."))
            << qPrintable(refused);
    }
    EXPECT_EQ(viewer.chart.GetValue(0, 30), 10.5);

    viewer.actions.run(QStringLiteral("mnuClipSpikes"));
    type(QStringLiteral("25%"));
    EXPECT_TRUE(spoke(QStringLiteral(" 2 data points clipped.")));
    EXPECT_EQ(viewer.chart.GetValue(0, 30), 0.5);
    EXPECT_EQ(viewer.chart.GetValue(0, 31), 0.5);
    EXPECT_TRUE(viewer.chart.AutoScaleEnabled);   // the auto-scale ran afterwards
}

TEST_F(Clip, TheFirstElevenVisibleRowsAndShortViewsAreLeftAlone)
{
    showRows(21, 40);   // rows 30 and 31 are among the first eleven visible rows
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 0);
    showRows(20, 30);   // eleven rows: none examined
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 0);
    EXPECT_EQ(speech.spoken.last(), QStringLiteral(" 0 data points clipped."));
    EXPECT_EQ(viewer.chart.GetValue(0, 30), 10.5);
    showRows(19, 40);
    EXPECT_EQ(viewer.clipper.ClipSpikes(0, 50), 2);
}
