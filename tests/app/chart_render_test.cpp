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

void setView(StripChartModel &model, double x0, double x1, double y0, double y1)
{
    model.setXAxisMin(x0);
    model.setXAxisMax(x1);
    model.setYAxisMin(y0);
    model.setYAxisMax(y1);
}

// Rows once a second from 21:00, Y axis 0..10.
void fill(StripChartModel &model, int rows, const std::function<double(int)> &value)
{
    model.AddChannel(QStringLiteral("Antenna"), Red);
    for (int r = 0; r < rows; ++r)
        model.SetValue(0, model.AddRow(Day + 0.875 + r / 86400.0), value(r));
    setView(model, model.GetTime(0), model.GetTime(rows - 1), 0, 10);
}

// Lines of every slope and length, upright ones too, fractional ends, ends far outside the image and points.
std::vector<QLineF> randomLines(std::mt19937 &rng, int count)
{
    std::uniform_real_distribution<double> near(-20, 220), far(-3000, 3000), unit(0, 1);
    std::vector<QLineF> lines;
    for (int i = 0; i < count; ++i) {
        const auto coord = [&] { return unit(rng) < 0.1 ? far(rng) : unit(rng) < 0.3 ? std::round(near(rng) * 2) / 2 : near(rng); };
        QPointF a(coord(), coord());
        lines.emplace_back(a, unit(rng) < 0.05 ? a : unit(rng) < 0.1 ? QPointF(a.x(), coord()) : unit(rng) < 0.3 ? QPointF(a.x() + unit(rng) * 3 - 1.5, coord()) : QPointF(coord(), coord()));
    }
    return lines;
}

QImage drawn(const std::vector<QLineF> &lines, const QRectF &clip, QImage::Format format, bool direct)
{
    QImage image(200, 160, format);
    image.fill(QColor(250, 250, 240));
    QPainter p(&image);
    p.setClipRect(clip);
    p.setPen(QPen(QColor(20, 90, 200), 0));
    const QRect deviceClip(QPoint(qRound(clip.left()), qRound(clip.top())), QPoint(qRound(clip.right()) - 1, qRound(clip.bottom()) - 1));
    if (!direct || !TraceRaster::drawLines(p, deviceClip, lines.data(), int(lines.size())))
        p.drawLines(lines.data(), int(lines.size()));
    return image;
}

} // namespace

TEST(ChartRender, DecimationKeepsALoneSpikeAndSkipsBadValuesAndFewOrUnorderedRowsDraw)
{
    StripChartModel model;
    fill(model, 40000, [](int r) { return r == 12347 ? 9.5 : r % 1000 == 7 ? (r % 2000 == 7 ? NaN : Inf) : 1.0; });
    const QImage image = ChartPainter::render(model, QSize(800, 400));
    // The spike reaches the top tenth of the plot; a sampled (not min/max) drawing would miss it.
    EXPECT_GT(pixelsOf(image, QColor(255, 0, 0), 0, 80), 5);
    EXPECT_GT(pixelsOf(image), 600);   // the baseline across the width

    // Few rows, and times out of order.
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
    setView(flat, flat.XAxisMin(), flat.XAxisMin(), 4, 4);   // no width, no height
    EXPECT_FALSE(ChartPainter::render(flat, QSize(300, 200)).isNull());

    // Time stamps of +-1e308 make a view wider than any number: nothing to place a sample on,
    // so no trace and no cursor (a sanitizer build also checks that no position was cast).
    for (const bool ordered : {false, true}) {
        SCOPED_TRACE(ordered);
        StripChartModel huge;
        huge.AddChannel(QStringLiteral("Antenna"), Red);
        for (int r = 0; r < 6; ++r)
            huge.SetValue(0, huge.AddRow(ordered ? (r < 3 ? -1e308 : 1e308) : (r % 2 ? 1e308 : -1e308)), r % 2 ? 3.0 : 7.0);
        setView(huge, -1e308, 1e308, 0, 10);
        huge.setToolBarMode(4);
        huge.setCursorRow(1);
        ASSERT_EQ(huge.timesAscending(), ordered);
        EXPECT_EQ(pixelsOf(ChartPainter::render(huge, QSize(300, 200))), 0);
        // A value axis as wide draws nothing either, even over a view of ordinary width.
        setView(huge, -1, 1, -1e308, 1e308);
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
}

// Wide pixel columns are drawn from the channels' summaries: the same pixels as from every
// row, with bad values, a gap wider than a column, and views inside and past the data.
TEST(ChartRender, SummariesDrawTheSamePixelsAsEveryRow)
{
    StripChartModel model;
    fill(model, 60000, [](int r) { return r % 997 == 3 || (r >= 30000 && r < 31000) ? (r % 2 ? NaN : -Inf) : 5 + 4 * std::sin(r / 5000.0) + ((r * 7919) % 101) / 60.0; });
    for (const auto &[from, to] : {std::pair{0.0, 59999.0}, {12345.5, 48765.25}, {-5000.0, 65000.0}}) {
        model.setXAxisMin(Day + 0.875 + from / 86400.0);
        model.setXAxisMax(Day + 0.875 + to / 86400.0);
        const QImage summarised = ChartPainter::render(model, QSize(200, 150));
        ChartPainter::useSummaries(false);
        EXPECT_TRUE(ChartPainter::render(model, QSize(200, 150)) == summarised) << from;
        ChartPainter::useSummaries(true);
    }
}

// The direct drawing of thin solid lines sets exactly the pixels the painter would.
TEST(TraceRaster, SetsTheSamePixelsAsThePainter)
{
    std::mt19937 rng(7);
    for (const QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32})
        for (const QRectF &clip : {QRectF(0, 0, 200, 160), QRectF(10.5, 7, 150.5, 120), QRectF(30, 20.5, 60.25, 40.75)})
            for (int round = 0; round < 40; ++round) {
                const std::vector<QLineF> lines = randomLines(rng, 25);
                ASSERT_TRUE(drawn(lines, clip, format, true) == drawn(lines, clip, format, false)) << "clip " << clip.x() << " round " << round;
            }
    // A whole chart with a dashed style, steep and flat traces running out of the plot.
    StripChartModel model;
    fill(model, 4000, [](int r) { return 5 + 8 * std::sin(r / 40.0) + (r % 500 == 17 ? 40 : 0); });
    for (const int style : {int(ChartAppearance::Solid), int(ChartAppearance::Dash)}) {
        ChartAppearance look = model.appearance();
        look.channelLineStyle = style;
        model.setAppearance(look);
        const QImage direct = ChartPainter::render(model, QSize(960, 540));
        TraceRaster::setEnabled(false);
        EXPECT_TRUE(ChartPainter::render(model, QSize(960, 540)) == direct) << style;
        TraceRaster::setEnabled(true);
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
    for (const auto &setup : std::initializer_list<std::function<void(QPainter &)>>{
             [](QPainter &p) { p.setRenderHint(QPainter::Antialiasing); }, [](QPainter &p) { p.setPen(QPen(Qt::red, 0, Qt::DashLine)); },
             [](QPainter &p) { p.setPen(QPen(Qt::red, 2)); }, [](QPainter &p) { p.setPen(QPen(QColor(255, 0, 0, 128), 0)); },
             [](QPainter &p) { p.translate(0.5, 0); }, [](QPainter &p) { p.setOpacity(0.5); }})
        EXPECT_FALSE(accepts(setup, image));
    QImage scaled(100, 100, QImage::Format_ARGB32_Premultiplied);
    scaled.setDevicePixelRatio(2);
    EXPECT_FALSE(accepts([](QPainter &) {}, scaled));
    QImage rgb888(50, 50, QImage::Format_RGB888);
    EXPECT_FALSE(accepts([](QPainter &) {}, rgb888));
}
