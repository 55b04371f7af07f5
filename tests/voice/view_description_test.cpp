#include "data/load_fixture.h"
#include <QRegularExpression>
#include <cmath>

namespace {

// One sample a second from 21:00:00, the whole file in view.
class DescribeTest : public LoadFixture {
protected:
    QString describe(int rows, const std::function<double(int)> &value)
    {
        StripChartModel &chart = viewer.chart;
        chart.ClearData();
        chart.RemoveAllChannels();
        chart.AddChannel(QStringLiteral("Ch"), 0);
        for (int i = 0; i < rows; ++i) {
            chart.AddRow(46000 + (21 * 3600 + i) / 86400.0);
            chart.SetValue(0, i, value(i));
        }
        viewer.data.ChannelCount = 1;
        viewer.data.LastIndex = rows - 1;
        viewer.data.DataReady = viewer.data.FileLoaded = rows > 0;
        if (rows > 0) {
            chart.setXAxisMin(chart.GetTime(0));
            chart.setXAxisMax(chart.GetTime(rows - 1));
        }
        speech.spoken.clear();
        viewer.actions.run(QStringLiteral("mnuDescribeView"));
        return speech.spoken.value(0);
    }
    // Receiver noise without a random source: the same every run.
    static double noise(int i) { return 0.02 * std::sin(i * 12.9898) * std::cos(i * 4.1414); }
};

} // namespace

TEST_F(DescribeTest, CleanShapesAreToldStretchByStretch)
{
    EXPECT_EQ(describe(201, [](int i) { return i / 200.0; }), "Channel 1 rises from  0 at 21:00:00 to  1 at 21:03:20.");
    EXPECT_EQ(describe(200, [](int i) { return i < 100 ? 0.0 : 1.0; }),
              "Channel 1 is flat at about  0 from 21:00:00 to 21:01:39, then rises to  1 at 21:01:40, then stays at about  1 "
              "until 21:03:19.");
    // A drift under a fifth of the range is flat; a little more is a rise.
    const auto tilted = [](double tilt) { return [tilt](int i) { return i < 100 ? tilt * i / 99 : 1.0; }; };
    EXPECT_TRUE(describe(200, tilted(0.19)).startsWith("Channel 1 is flat at about  .0")) << speech.spoken.join(u'|').toStdString();
    EXPECT_TRUE(describe(200, tilted(0.21)).startsWith("Channel 1 rises from  0 at")) << speech.spoken.join(u'|').toStdString();
    EXPECT_EQ(describe(1000, [](int) { return 0.5; }), "Channel 1 is flat at about  .5.");
    EXPECT_EQ(describe(1, [](int) { return 0.5; }), "Channel 1 has one sample in this view,  .5 at 21:00:00.");
    EXPECT_EQ(describe(0, [](int) { return 0.0; }), "No file loaded.");
}

TEST_F(DescribeTest, ADriftWithATransitRisesToItsPeakAndFallsAndShortBurstsAreSpikes)
{
    const QString text = describe(1201, [](int i) {
        return 0.45 + 0.17 * i / 1200 + 1.6 * std::exp(-std::pow((i - 658) / 90.0, 2)) + noise(i);
    });
    EXPECT_TRUE(text.startsWith("Channel 1 ")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(" rises (from  [.0-9]+ at [0-9:]+ )?to a peak of  2\\.[0-9]+ at 21:10:5[0-9], then falls to ")))
        << text.toStdString();
    EXPECT_FALSE(text.contains("spike")) << text.toStdString();

    // Bursts of up to five samples are spikes, up or down; six samples are not.
    const auto signal = [](int burst) {
        return [burst](int i) {
            const bool up = i == 300 || (i >= 600 && i < 605) || (i >= 1000 && i < 1000 + burst);
            const bool down = i == 900 || i == 901;
            return 0.5 + noise(i) + (up ? 2.0 : down ? -2.0 : 0.0);
        };
    };
    EXPECT_EQ(describe(1201, signal(5)), "Channel 1 is flat at about  .5, with 4 spikes.");
    EXPECT_EQ(describe(1201, signal(6)), "Channel 1 is flat at about  .5, with 3 spikes.");
}
