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

    // One row per time; values[c][i] is channel c of row i.
    void load(const std::vector<double> &times, const std::vector<std::vector<double>> &values)
    {
        chart.RemoveAllChannels();
        chart.ClearData();
        for (size_t c = 0; c < values.size(); ++c)
            chart.AddChannel(QStringLiteral("Ch %1").arg(c + 1), 0);
        for (size_t i = 0; i < times.size(); ++i) {
            chart.AddRow(times[i]);
            for (size_t c = 0; c < values.size(); ++c)
                chart.SetValue(int(c), int(i), values[c][i]);
        }
        data.ChannelCount = int(values.size());
        data.LastIndex = int(times.size()) - 1;
        data.DataReady = true;
    }
    void setView(double x0, double x1)
    {
        chart.setXAxisMin(x0);
        chart.setXAxisMax(x1);
    }
    int linearFirst(double time, int from) const
    {
        int i = from;
        while (i <= data.LastIndex && !(chart.GetTime(i) >= time))
            ++i;
        return i;
    }
};

} // namespace

TEST_F(ViewFixture, IndexSearchesAreInclusiveAndTieToTheEarliestRow)
{
    load({1, 2, 2, 2, 3, 4}, {{0, 0, 0, 0, 0, 0}});
    setView(0.5, 2);
    view.FindXaxisMinIndex();
    view.FindXaxisMaxIndex();
    EXPECT_EQ(view.ViewStartIndex, 0);
    EXPECT_EQ(view.ViewStopIndex, 1);
    setView(2, 3.5);
    view.FindXaxisMinIndex();
    view.FindXaxisMaxIndex();
    EXPECT_EQ(view.ViewStartIndex, 1);
    EXPECT_EQ(view.ViewStopIndex, 5);
    setView(5, 6);
    view.FindXaxisMinIndex();
    view.FindXaxisMaxIndex();
    EXPECT_EQ(view.ViewStartIndex, 6);
    EXPECT_EQ(view.ViewStopIndex, 6);
}

TEST_F(ViewFixture, IndexSearchesMatchTheLinearWalkWithOrWithoutOrder)
{
    auto *rng = QRandomGenerator::global();
    for (bool ordered : {true, false}) {
        std::vector<double> times(400);
        double t = 0;
        for (double &x : times) {
            t += (ordered ? 1 : -1) * double(rng->bounded(3));   // steps of 0, 1 or 2, with repeats
            x = ordered ? t : double(rng->bounded(100));
        }
        load(times, {std::vector<double>(times.size(), 1.0)});
        ASSERT_EQ(chart.timesAscending(), ordered);
        for (int k = 0; k < 200; ++k) {
            const double a = rng->bounded(-10, 500) / 2.0, b = rng->bounded(-10, 900) / 2.0;
            setView(a, b);
            view.FindXaxisMinIndex();
            view.FindXaxisMaxIndex();
            const int start = linearFirst(a, 0);
            ASSERT_EQ(view.ViewStartIndex, start) << a;
            ASSERT_EQ(view.ViewStopIndex, linearFirst(b, start)) << a << " " << b;
        }
    }
}

TEST_F(ViewFixture, MaxMinCoversOneChannelOrAllAndClampsToTheLastRow)
{
    load({0, 1, 2, 3, 4}, {{5, -1, 7, 2, 9}, {0, 30, -20, 0, 0}});
    double max = 0, min = 0;
    setView(1, 3);
    view.FindMaxMinForView(max, min, 0);
    EXPECT_EQ(max, 7);
    EXPECT_EQ(min, -1);
    view.FindMaxMinForView(max, min, -1);
    EXPECT_EQ(max, 30);
    EXPECT_EQ(min, -20);
    EXPECT_EQ(surface.labels.value("LBLLR"), "");

    // A right edge past the last row still reports the rows in view.
    setView(2.5, 100);
    view.FindMaxMinForView(max, min, 0);
    EXPECT_EQ(view.ViewStopIndex, 5);
    EXPECT_EQ(max, 9);
    EXPECT_EQ(min, 2);

    setView(-1, 100);
    view.FindMaxMinForView(max, min, 8);
    EXPECT_EQ(max, 0);
    EXPECT_EQ(min, 0);
    view.FindMaxMinForView(max, min, 3);   // a channel that is not loaded
    EXPECT_EQ(max, 0);
    EXPECT_EQ(min, 0);
}

TEST_F(ViewFixture, EmptyViewGivesZerosEverywhere)
{
    load({0, 1, 2}, {{5, 6, 7}});
    setView(10, 20);
    double max = 1, min = 1, avg = 1, b1 = 1, b2 = 1, b3 = 1, b4 = 1;
    view.FindMaxMinForView(max, min, 0);
    EXPECT_EQ(max, 0);
    EXPECT_EQ(min, 0);
    view.FindViewAvg(avg, b1, b2, b3, b4, 0);
    EXPECT_EQ(avg, 0);
    EXPECT_EQ(b1 + b2 + b3 + b4, 0);

    load({}, {{}});
    data.LastIndex = 0;   // nothing loaded
    view.FindViewAvg(avg, b1, b2, b3, b4, 0);
    EXPECT_EQ(avg, 0);
    EXPECT_EQ(b1 + b2 + b3 + b4, 0);
}

TEST_F(ViewFixture, AverageAndQuarterBands)
{
    load({0, 1, 2, 3, 4, 5}, {{9, 0, 1, 2, 3, 4}});
    setView(1, 5);
    double avg, b1, b2, b3, b4;
    view.FindViewAvg(avg, b1, b2, b3, b4, 0);
    EXPECT_EQ(avg, 2);
    EXPECT_EQ(b1, 40);
    EXPECT_EQ(b2, 20);
    EXPECT_EQ(b3, 20);
    EXPECT_EQ(b4, 20);

    // Every value equal: all of them sit in the bottom band.
    load({0, 1, 2}, {{3, 3, 3}});
    setView(0, 2);
    view.FindViewAvg(avg, b1, b2, b3, b4, 0);
    EXPECT_EQ(avg, 3);
    EXPECT_EQ(b1, 100);
}

TEST_F(ViewFixture, FitAndAutoScale)
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
    const std::vector<std::tuple<double, double, double, double>> cases = {
        {-5, 40, 0, 48}, {100, 200, 90, 240}, {-20, -10, -22, -8}};
    for (auto [lo, hi, bottom, top] : cases) {
        load({0, 1}, {{lo, hi}});
        view.cmdAutoScale_Click();
        EXPECT_DOUBLE_EQ(chart.YAxisMin(), bottom);
        EXPECT_DOUBLE_EQ(chart.YAxisMax(), top);
    }
    EXPECT_TRUE(chart.AutoScaleEnabled);
    EXPECT_EQ(heightSpoken, 3);
}

TEST_F(ViewFixture, FullViewShowsEveryRowIncludingTheLast)
{
    int limitsSpoken = 0;
    view.speakChartLimits = [&] { ++limitsSpoken; };
    load({10, 11, 12, 13}, {{1, 2, 3, 4}, {-1, 0, 9, 0}});
    chart.setToolBarMode(3);
    view.cmdFullView_Click();
    EXPECT_EQ(chart.XAxisMin(), 10);
    EXPECT_EQ(chart.XAxisMax(), 13);
    EXPECT_EQ(chart.YAxisMin(), -1);
    EXPECT_EQ(chart.YAxisMax(), 9);
    EXPECT_EQ(chart.ToolBarMode(), 0);
    EXPECT_EQ(surface.labels.value("LBLLR"), "Number of Samples: 4");
    EXPECT_EQ(limitsSpoken, 1);

    load({1, 2}, {{1, 2}});
    view.cmdFullView_Click();
    EXPECT_EQ(chart.XAxisMax(), 13);   // too few rows: unchanged
    EXPECT_EQ(limitsSpoken, 1);
}

TEST(TimeFromStr, HoursMinutesSeconds)
{
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("13:30"), 0.5625);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("6"), 0.25);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("24"), 1);
    EXPECT_EQ(ViewWindow::TimeFromStr("25"), 0);
    EXPECT_EQ(ViewWindow::TimeFromStr("-1"), 0);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("  1:2:3 "), (1 + 2 / 60.0 + 3 / 3600.0) / 24);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("12:3x"), (12 + 3 / 60.0) / 24);
    EXPECT_DOUBLE_EQ(ViewWindow::TimeFromStr("25:00"), 25 / 24.0);
    EXPECT_EQ(ViewWindow::TimeFromStr("abc"), 0);
}
