#include "app/chart_painter.h"
#include "app/chart_widget.h"
#include "app/trace_raster.h"
#include "view/strip_chart_model.h"
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

constexpr quint32 Red = 255, Blue = 16711680;
constexpr double Day = 45372.0;   // a March 2024 evening, as a day number
const double NaN = std::numeric_limits<double>::quiet_NaN(), Inf = std::numeric_limits<double>::infinity();

int pixelsOf(const QImage &image, const QColor &colour = QColor(255, 0, 0), int top = 0, int bottom = -1)
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
    for (int r = 0; r < rows; ++r)
        model.SetValue(0, model.AddRow(Day + 0.875 + r / 86400.0), value(r));
    model.setXAxisMin(model.GetTime(0));
    model.setXAxisMax(model.GetTime(rows - 1));
    model.setYAxisMin(0);
    model.setYAxisMax(10);
}

} // namespace

TEST(ChartRender, DecimationKeepsALoneSpikeAndSkipsBadValues)
{
    StripChartModel model;
    fill(model, 40000, [](int r) { return r == 12347 ? 9.5 : r % 1000 == 7 ? (r % 2000 == 7 ? NaN : Inf) : 1.0; });
    const QImage image = ChartPainter::render(model, QSize(800, 400));
    // The spike reaches the top tenth of the plot; a sampled (not min/max) drawing would miss it.
    EXPECT_GT(pixelsOf(image, QColor(255, 0, 0), 0, 80), 5);
    EXPECT_GT(pixelsOf(image), 600);   // the baseline across the width
}

TEST(ChartRender, DrawsFewRowsAndTimesOutOfOrder)
{
    StripChartModel few;
    fill(few, 3, [](int r) { return 2.0 + 3 * r; });
    EXPECT_GT(pixelsOf(ChartPainter::render(few, QSize(600, 300))), 100);

    StripChartModel shuffled;
    fill(shuffled, 5000, [](int r) { return 5 + 4 * std::sin(r / 300.0); });
    shuffled.SetValue(0, shuffled.AddRow(Day + 0.875), 5);   // back in time
    ASSERT_FALSE(shuffled.timesAscending());
    shuffled.AddChannel(QStringLiteral("Reference"), Blue);
    EXPECT_GT(pixelsOf(ChartPainter::render(shuffled, QSize(600, 300))), 300);
}

TEST(ChartRender, SurvivesDegenerateViews)
{
    StripChartModel empty;
    EXPECT_FALSE(ChartPainter::render(empty, QSize(300, 200)).isNull());
    StripChartModel flat;
    fill(flat, 100, [](int) { return 4.0; });
    flat.setYAxisMin(4);
    flat.setYAxisMax(4);                 // no height
    flat.setXAxisMax(flat.XAxisMin());   // no width
    EXPECT_FALSE(ChartPainter::render(flat, QSize(300, 200)).isNull());

    // Time stamps of +-1e308 make a view wider than any number: nothing to place a sample on,
    // so no trace and no cursor (a sanitizer build also checks that no position was cast).
    for (const bool ordered : {false, true}) {
        SCOPED_TRACE(ordered);
        StripChartModel huge;
        huge.AddChannel(QStringLiteral("Antenna"), Red);
        for (int r = 0; r < 6; ++r)
            huge.SetValue(0, huge.AddRow(ordered ? (r < 3 ? -1e308 : 1e308) : (r % 2 ? 1e308 : -1e308)), r % 2 ? 3.0 : 7.0);
        huge.setXAxisMin(-1e308);
        huge.setXAxisMax(1e308);
        huge.setYAxisMin(0);
        huge.setYAxisMax(10);
        huge.setToolBarMode(4);
        huge.setCursorRow(1);
        ASSERT_EQ(huge.timesAscending(), ordered);
        EXPECT_EQ(pixelsOf(ChartPainter::render(huge, QSize(300, 200))), 0);
        // A value axis as wide draws nothing either, even over a view of ordinary width.
        huge.setXAxisMin(-1);
        huge.setXAxisMax(1);
        huge.setYAxisMin(-1e308);
        huge.setYAxisMax(1e308);
        EXPECT_EQ(pixelsOf(ChartPainter::render(huge, QSize(300, 200))), 0);
    }
}

TEST(ChartRender, WidgetKeepsItsDrawingOnlyUntilSamplesViewOrCursorChange)
{
    StripChartModel model;
    fill(model, 1000, [](int) { return 1.0; });
    ChartWidget widget(model);
    widget.resize(500, 300);
    ASSERT_EQ(pixelsOf(widget.grab().toImage(), QColor(255, 0, 0), 0, 100), 0);
    model.SetValue(0, 500, 9.5);   // an edit of one sample, the view unchanged
    EXPECT_GT(pixelsOf(widget.grab().toImage(), QColor(255, 0, 0), 0, 100), 5);

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

// The two fast paths, the channels' summaries for wide pixel columns and the direct drawing of
// thin solid lines, each draw exactly the pixels of the plain drawing: many channels and
// colours, a dashed style, gaps and bad values, narrow views (samples joined at every slope)
// and wide ones, traces running out of the plot at the top, the bottom and both ends.
TEST(ChartRender, FastPathsDrawTheSamePixelsAsThePlainDrawing)
{
    StripChartModel model;
    const quint32 colours[] = {Red, Blue, 65280, 4227327};
    for (int ch = 0; ch < 4; ++ch)
        model.AddChannel(QStringLiteral("CH%1").arg(ch), colours[ch]);
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> walk(4, 5.0);
    for (int r = 0; r < 60000; ++r) {
        const int row = model.AddRow(Day + 0.875 + r / 86400.0);
        for (int ch = 0; ch < 4; ++ch) {
            walk[size_t(ch)] += noise(rng) * (ch + 1) * 0.2 + (r % 5000 == 17 ? 40 : 0);
            const bool bad = r % 997 == ch || (r >= 30000 && r < 31000);   // lone bad values, a gap wider than a column
            model.SetValue(ch, row, bad ? (r % 2 ? NaN : -Inf) : walk[size_t(ch)]);
        }
    }
    const std::pair<double, double> views[] = {{0, 59999}, {12345.5, 48765.25}, {-5000, 65000}, {100.25, 160.75}, {59950, 60100}};
    for (const int style : {int(ChartAppearance::Solid), int(ChartAppearance::Dash)})
        for (const auto &[from, to] : views)
            for (const double low : {-40.0, 4.0}) {
                model.setXAxisMin(Day + 0.875 + from / 86400.0);
                model.setXAxisMax(Day + 0.875 + to / 86400.0);
                model.setYAxisMin(low);
                model.setYAxisMax(low < 0 ? 60 : 6);
                ChartAppearance look = model.appearance();
                look.channelLineStyle = style;
                model.setAppearance(look);
                for (const QSize size : {QSize(200, 150), QSize(960, 540)}) {
                    const QImage both = ChartPainter::render(model, size);
                    ChartPainter::useSummaries(false);
                    EXPECT_TRUE(ChartPainter::render(model, size) == both) << "summaries " << from << ' ' << low << ' ' << size.width() << ' ' << style;
                    ChartPainter::useSummaries(true);
                    TraceRaster::setEnabled(false);
                    EXPECT_TRUE(ChartPainter::render(model, size) == both) << "direct " << from << ' ' << low << ' ' << size.width() << ' ' << style;
                    TraceRaster::setEnabled(true);
                }
            }
}

TEST(TraceRaster, DeclinesWhatItCannotDrawTheSame)
{
    QImage image(50, 50, QImage::Format_ARGB32_Premultiplied);
    const QLineF line(1, 1, 40, 30);
    const auto accepts = [&](const std::function<void(QPainter &)> &setup, QImage &target) {
        QPainter p(&target);
        p.setPen(QPen(Qt::red, 0));
        setup(p);
        return TraceRaster::drawLines(p, target.rect(), &line, 1);
    };
    EXPECT_TRUE(accepts([](QPainter &) {}, image));
    EXPECT_FALSE(accepts([](QPainter &p) { p.setRenderHint(QPainter::Antialiasing); }, image));
    EXPECT_FALSE(accepts([](QPainter &p) { p.setPen(QPen(Qt::red, 0, Qt::DashLine)); }, image));
    EXPECT_FALSE(accepts([](QPainter &p) { p.setPen(QPen(Qt::red, 2)); }, image));
    EXPECT_FALSE(accepts([](QPainter &p) { p.setPen(QPen(QColor(255, 0, 0, 128), 0)); }, image));
    EXPECT_FALSE(accepts([](QPainter &p) { p.translate(0.5, 0); }, image));
    EXPECT_FALSE(accepts([](QPainter &p) { p.setOpacity(0.5); }, image));
    QImage scaled(100, 100, QImage::Format_ARGB32_Premultiplied);
    scaled.setDevicePixelRatio(2);
    EXPECT_FALSE(accepts([](QPainter &) {}, scaled));
    QImage rgb888(50, 50, QImage::Format_RGB888);
    EXPECT_FALSE(accepts([](QPainter &) {}, rgb888));
}
