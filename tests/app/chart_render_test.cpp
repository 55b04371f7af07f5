#include "app/chart_painter.h"
#include "app/chart_widget.h"
#include "view/strip_chart_model.h"
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr quint32 Red = 255, Blue = 16711680;
constexpr double Day = 45372.0;   // a March 2024 evening, as a day number

int pixelsOf(const QImage &image, const QColor &colour, int top = 0, int bottom = -1)
{
    int n = 0;
    for (int y = top; y < (bottom < 0 ? image.height() : bottom); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// Rows once a second from 21:00, Y axis 0..10.
void fill(StripChartModel &model, int rows, const std::function<double(int)> &value)
{
    model.AddChannel(QStringLiteral("Antenna"), Red);
    for (int r = 0; r < rows; ++r) {
        model.AddRow(Day + 0.875 + r / 86400.0);
        model.SetValue(0, r, value(r));
    }
    model.setXAxisMin(model.GetTime(0));
    model.setXAxisMax(model.GetTime(rows - 1));
    model.setYAxisMin(0);
    model.setYAxisMax(10);
}

TEST(ChartRender, DecimationKeepsALoneSpikeAndSkipsBadValues)
{
    StripChartModel model;
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    fill(model, 200000, [&](int r) {
        if (r == 123457)
            return 9.5;                       // one sample among thousands per pixel column
        if (r % 1000 == 7)
            return r % 2000 == 7 ? nan : inf;
        return 1.0;
    });
    const QImage image = ChartPainter::render(model, QSize(800, 400));
    // The spike reaches the top tenth of the plot; a sampled (not min/max) drawing would miss it.
    EXPECT_GT(pixelsOf(image, QColor(255, 0, 0), 0, 80), 5);
    EXPECT_GT(pixelsOf(image, QColor(255, 0, 0)), 600);   // the baseline across the width
}

TEST(ChartRender, DrawsFewRowsAndTimesOutOfOrder)
{
    StripChartModel few;
    fill(few, 3, [](int r) { return 2.0 + 3 * r; });
    EXPECT_GT(pixelsOf(ChartPainter::render(few, QSize(600, 300)), QColor(255, 0, 0)), 100);

    StripChartModel shuffled;
    fill(shuffled, 5000, [](int r) { return 5 + 4 * std::sin(r / 300.0); });
    shuffled.AddRow(Day + 0.875);   // back in time
    shuffled.SetValue(0, 5000, 5);
    ASSERT_FALSE(shuffled.timesAscending());
    shuffled.AddChannel(QStringLiteral("Reference"), Blue);
    EXPECT_GT(pixelsOf(ChartPainter::render(shuffled, QSize(600, 300)), QColor(255, 0, 0)), 300);
}

TEST(ChartRender, SurvivesDegenerateViews)
{
    StripChartModel empty;
    EXPECT_FALSE(ChartPainter::render(empty, QSize(300, 200)).isNull());

    StripChartModel flat;
    fill(flat, 100, [](int) { return 4.0; });
    flat.setYAxisMin(4);
    flat.setYAxisMax(4);            // no height
    flat.setXAxisMax(flat.XAxisMin());   // no width
    EXPECT_FALSE(ChartPainter::render(flat, QSize(300, 200)).isNull());
    flat.setYAxisMin(-1e300);
    flat.setYAxisMax(1e300);
    EXPECT_FALSE(ChartPainter::render(flat, QSize(300, 200)).isNull());

    // Time stamps of +-1e308 make a view wider than any number: nothing to place a sample on,
    // so no trace and no cursor (a sanitizer build also checks that no position was cast).
    for (const bool ordered : {false, true}) {
        SCOPED_TRACE(ordered);
        StripChartModel huge;
        huge.AddChannel(QStringLiteral("Antenna"), Red);
        for (int r = 0; r < 6; ++r) {
            huge.AddRow(ordered ? (r < 3 ? -1e308 : 1e308) : (r % 2 ? 1e308 : -1e308));
            huge.SetValue(0, r, r % 2 ? 3.0 : 7.0);
        }
        huge.setXAxisMin(-1e308);
        huge.setXAxisMax(1e308);
        huge.setYAxisMin(0);
        huge.setYAxisMax(10);
        huge.setToolBarMode(4);
        huge.setCursorRow(1);
        ASSERT_EQ(huge.timesAscending(), ordered);
        EXPECT_EQ(pixelsOf(ChartPainter::render(huge, QSize(300, 200)), QColor(255, 0, 0)), 0);
        // A value axis as wide draws nothing either, even over a view of ordinary width.
        huge.setXAxisMin(-1);
        huge.setXAxisMax(1);
        huge.setYAxisMin(-1e308);
        huge.setYAxisMax(1e308);
        EXPECT_EQ(pixelsOf(ChartPainter::render(huge, QSize(300, 200)), QColor(255, 0, 0)), 0);
    }
}

TEST(ChartRender, WidgetKeepsItsDrawingOnlyUntilSamplesViewOrCursorChange)
{
    StripChartModel model;
    fill(model, 1000, [](int) { return 1.0; });
    ChartWidget widget(model);
    widget.resize(500, 300);
    const auto redPixels = [&](int top, int bottom) { return pixelsOf(widget.grab().toImage(), QColor(255, 0, 0), top, bottom); };
    ASSERT_EQ(redPixels(0, 100), 0);

    model.SetValue(0, 500, 9.5);   // an edit of one sample, the view unchanged
    EXPECT_GT(redPixels(0, 100), 5);

    model.setToolBarMode(4);       // cursor mode: the cursor shows over the kept drawing
    const QImage before = widget.grab().toImage();
    model.setCursorRow(200);
    const QImage after = widget.grab().toImage();
    EXPECT_NE(before, after);
    model.setCursorRow(800);
    EXPECT_NE(widget.grab().toImage(), after);
}

TEST(ChartRender, TimeLabelsFollowTheDayNumber)
{
    EXPECT_EQ(ChartPainter::timeOfDay(Day + 0.875), QStringLiteral("21:00:00"));
    EXPECT_EQ(ChartPainter::timeOfDay(Day + 0.5 + 1.0 / 86400 - 1e-9), QStringLiteral("12:00:01"));
    EXPECT_EQ(ChartPainter::timeOfDay(Day + 1 - 1e-9), QStringLiteral("00:00:00"));
    EXPECT_EQ(ChartPainter::fromBgr(4227327), QColor(255, 128, 64));
}

} // namespace

TEST(ChartRender, SummariesDrawTheSamePixelsAsEveryRow)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    StripChartModel model;
    fill(model, 300000, [&](int r) {
        if (r % 997 == 3)
            return r % 2 ? nan : -inf;
        if (r >= 150000 && r < 152000)
            return nan;   // a gap wider than a pixel column
        return 5 + 4 * std::sin(r / 5000.0) + ((qint64(r) * 7919) % 101) / 60.0;
    });
    model.AddChannel(QStringLiteral("Second"), Blue);
    for (int r = 0; r < model.rowCount(); ++r)
        model.SetValue(1, r, 3 + ((r * 31) % 17) / 10.0);
    // Full view, a part with column edges between blocks, and a view reaching past the data.
    const std::pair<double, double> views[] = {{0, 299999}, {12345.5, 98765.25}, {-5000, 310000}};
    for (const auto &[from, to] : views) {
        model.setXAxisMin(Day + 0.875 + from / 86400.0);
        model.setXAxisMax(Day + 0.875 + to / 86400.0);
        for (const QSize size : {QSize(640, 300), QSize(1111, 480)}) {
            ChartPainter::useSummaries(false);
            const QImage everyRow = ChartPainter::render(model, size);
            ChartPainter::useSummaries(true);
            EXPECT_TRUE(ChartPainter::render(model, size) == everyRow) << from << ' ' << size.width();
        }
    }
}
