#include "data/data_set.h"
#include "support/fakes.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

struct ViewFixture : ::testing::Test {
    StripChartModel chart;
    DataSet data;
    FakeSurface surface;
    FakePump pump;
    ViewWindow view{chart, data, surface, pump};
    double max = 0, min = 0;

    // Rows at the given times; channel c of row i holds values[c][i].
    void load(const std::vector<double> &times, const std::vector<std::vector<double>> &values)
    {
        chart.RemoveAllChannels();
        chart.ClearData();
        for (const auto &column : values) {
            const int c = chart.AddChannel(QStringLiteral("Ch"), 0);
            for (size_t i = 0; i < times.size(); ++i) {
                if (c == 0)
                    chart.AddRow(times[i]);
                chart.SetValue(c, int(i), column[i]);
            }
        }
        data.ChannelCount = int(values.size());
        data.LastIndex = int(times.size()) - 1;
    }
    void setView(double x0, double x1)
    {
        chart.setXAxisMin(x0);
        chart.setXAxisMax(x1);
    }
};

int linearFirst(const StripChartModel &chart, double time, int from)
{
    while (from < chart.rowCount() && !(chart.GetTime(from) >= time))
        ++from;
    return from;
}

} // namespace

TEST_F(ViewFixture, IndexSearchesGiveTheLinearWalksAnswerWithOrWithoutOrder)
{
    auto *rng = QRandomGenerator::global();
    for (bool ordered : {true, false}) {
        std::vector<double> times(400);
        double t = 0;
        for (double &x : times)
            x = ordered ? (t += rng->bounded(3)) : rng->bounded(100);   // ordered ones repeat often
        load(times, {std::vector<double>(times.size(), 1.0)});
        ASSERT_EQ(chart.timesAscending(), ordered);
        for (int k = 0; k < 300; ++k) {
            const double a = rng->bounded(-10, 900) / 2.0, b = rng->bounded(-10, 900) / 2.0;
            setView(a, b);
            view.FindXaxisMinIndex();
            view.FindXaxisMaxIndex();
            const int start = linearFirst(chart, a, 0);
            ASSERT_EQ(view.ViewStartIndex, start) << a;
            ASSERT_EQ(view.ViewStopIndex, linearFirst(chart, b, start)) << a << " " << b;
        }
    }
}

TEST_F(ViewFixture, MaxMinAverageAndBandsCoverTheInclusiveBoundsOfOneChannelOrAll)
{
    load({0, 1, 2, 3, 4}, {{5, -1, 7, 2, 9}, {0, 30, -20, 0, 0}});
    setView(1, 3);
    view.FindMaxMinForView(max, min, 0);
    EXPECT_EQ(std::make_pair(max, min), std::make_pair(7.0, -1.0));
    view.FindMaxMinForView(max, min, -1);
    EXPECT_EQ(std::make_pair(max, min), std::make_pair(30.0, -20.0));

    // A right edge past the last row still reports the rows in view.
    setView(2.5, 100);
    view.FindMaxMinForView(max, min, 0);
    EXPECT_EQ(view.ViewStopIndex, 5);
    EXPECT_EQ(std::make_pair(max, min), std::make_pair(9.0, 2.0));

    // Channel 8, a channel not loaded, or a view holding no row: 0 and 0.
    for (auto [x0, channel] : {std::pair(-1.0, 8), std::pair(-1.0, 3), std::pair(10.0, 0)}) {
        setView(x0, 100);
        view.FindMaxMinForView(max, min, channel);
        EXPECT_EQ(std::make_pair(max, min), std::make_pair(0.0, 0.0)) << channel;
    }

    // The average and the quarter bands of the values in view.
    load({0, 1, 2, 3, 4, 5}, {{9, 0, 1, 2, 3, 4}});
    setView(1, 5);
    double avg, b1, b2, b3, b4;
    view.FindViewAvg(avg, b1, b2, b3, b4, 0);
    EXPECT_EQ(avg, 2);
    EXPECT_EQ(std::vector<double>({b1, b2, b3, b4}), std::vector<double>({40, 20, 20, 20}));

    setView(10, 20);   // no row in view: zeros, no division by zero
    view.FindViewAvg(avg, b1, b2, b3, b4, 0);
    EXPECT_EQ(std::vector<double>({avg, b1, b2, b3, b4}), std::vector<double>(5, 0.0));
}

TEST_F(ViewFixture, FitAutoScaleAndFullView)
{
    load({0, 1, 2}, {{10, 30, 20}});
    setView(0, 2);
    for (auto percent : {std::optional<double>(50), std::optional<double>(0), std::optional<double>(150), std::optional<double>()}) {
        view.FitChartYtoData(0, percent);
        EXPECT_EQ(chart.YAxisMin(), 10);
        EXPECT_EQ(chart.YAxisMax(), percent == 50 ? 20 : 30);
    }

    int heightSpoken = 0;
    view.speakChartHeight = [&] { ++heightSpoken; };
    // Data below zero everywhere keeps its margins instead of an upside-down axis.
    for (auto [lo, hi, bottom, top] : {std::tuple(-5.0, 40.0, 0.0, 48.0), std::tuple(100.0, 200.0, 90.0, 240.0),
                                      std::tuple(-20.0, -10.0, -22.0, -8.0)}) {
        load({0, 1}, {{lo, hi}});
        view.cmdAutoScale_Click();
        EXPECT_DOUBLE_EQ(chart.YAxisMin(), bottom);
        EXPECT_DOUBLE_EQ(chart.YAxisMax(), top);
    }
    EXPECT_TRUE(chart.AutoScaleEnabled);
    EXPECT_EQ(heightSpoken, 3);

    // The full view shows every row, including the last.
    int limitsSpoken = 0;
    view.speakChartLimits = [&] { ++limitsSpoken; };
    load({10, 11, 12, 13}, {{1, 2, 3, 4}, {-1, 0, 9, 0}});
    chart.setToolBarMode(3);
    view.cmdFullView_Click();
    EXPECT_EQ(std::vector<double>({chart.XAxisMin(), chart.XAxisMax(), chart.YAxisMin(), chart.YAxisMax()}),
              std::vector<double>({10, 13, -1, 9}));
    EXPECT_EQ(chart.ToolBarMode(), 0);
    EXPECT_EQ(surface.labels.value("LBLLR"), "Number of Samples: 4");
    EXPECT_EQ(limitsSpoken, 1);

    load({1, 2}, {{1, 2}});   // too few rows: left as it was
    view.cmdFullView_Click();
    EXPECT_EQ(chart.XAxisMax(), 13);
    EXPECT_EQ(limitsSpoken, 1);
}

TEST(TimeFromStr, HoursMinutesSeconds)
{
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("13:30"), 0.5625);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("24"), 1);
    EXPECT_EQ(ViewWindow::TimeFromStr("25"), 0);
    EXPECT_EQ(ViewWindow::TimeFromStr("-1"), 0);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("  1:2:3 "), (1 + 2 / 60.0 + 3 / 3600.0) / 24);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("12:3x"), (12 + 3 / 60.0) / 24);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("25:00"), 25 / 24.0);
}
