#include "app/chart_painter.h"
#include "app/trace_raster.h"
#include "view/strip_chart_model.h"
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

// Lines of every slope and length, fractional ends, ends far outside the image and points.
std::vector<QLineF> randomLines(std::mt19937 &rng, int count)
{
    std::uniform_real_distribution<double> near(-20, 220), far(-3000, 3000), unit(0, 1);
    std::vector<QLineF> lines;
    for (int i = 0; i < count; ++i) {
        const auto coord = [&] { return unit(rng) < 0.1 ? far(rng) : unit(rng) < 0.3 ? std::round(near(rng) * 2) / 2 : near(rng); };
        QPointF a(coord(), coord());
        QPointF b = unit(rng) < 0.05 ? a : unit(rng) < 0.3 ? QPointF(a.x() + unit(rng) * 3 - 1.5, coord()) : QPointF(coord(), coord());
        lines.emplace_back(a, b);
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
    const QRect deviceClip(QPoint(qRound(clip.left()), qRound(clip.top())),
                           QPoint(qRound(clip.right()) - 1, qRound(clip.bottom()) - 1));
    if (!direct || !TraceRaster::drawLines(p, deviceClip, lines.data(), int(lines.size())))
        p.drawLines(lines.data(), int(lines.size()));
    return image;
}

} // namespace

TEST(TraceRaster, SetsTheSamePixelsAsThePainter)
{
    std::mt19937 rng(7);
    const QRectF clips[] = {{0, 0, 200, 160}, {10.5, 7, 150.5, 120}, {30, 20.5, 60.25, 40.75}};
    for (const QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32})
        for (const QRectF &clip : clips)
            for (int round = 0; round < 40; ++round) {
                const std::vector<QLineF> lines = randomLines(rng, 25);
                const QImage expected = drawn(lines, clip, format, false);
                const QImage actual = drawn(lines, clip, format, true);
                ASSERT_TRUE(actual == expected) << "clip " << clip.x() << ',' << clip.y() << " round " << round;
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

// The whole chart drawn with and without the direct path: many channels and colours, a dashed
// first channel, narrow views (samples joined at every slope) and wide ones (pixel columns),
// traces running out of the plot at the top, the bottom and both ends.
TEST(TraceRaster, ChartsMatchThePainterDrawing)
{
    StripChartModel model;
    const quint32 colours[] = {255, 16711680, 65280, 4227327, 8421504, 16776960, 0, 12632256};
    for (int ch = 0; ch < 8; ++ch)
        model.AddChannel(QStringLiteral("CH%1").arg(ch), colours[ch]);
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0, 1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> walk(8, 5.0);
    for (int r = 0; r < 40000; ++r) {
        model.AddRow(45372.875 + r / 86400.0);
        for (int ch = 0; ch < 8; ++ch) {
            walk[size_t(ch)] += noise(rng) * (ch + 1) * 0.2 + (r % 5000 == 17 ? 40 : 0);
            model.SetValue(ch, r, r % 997 == ch ? nan : walk[size_t(ch)]);
        }
    }
    const std::pair<double, double> views[] = {{0, 39999}, {100.25, 160.75}, {2000, 2020}, {-50, 45}, {39950, 40100}, {5000, 15000.5}};
    const std::pair<double, double> heights[] = {{-40, 60}, {0, 10}, {4, 6}};
    for (const int style : {int(ChartAppearance::Solid), int(ChartAppearance::Dash)})
        for (const auto &[from, to] : views)
            for (const auto &[low, high] : heights) {
                model.setXAxisMin(45372.875 + from / 86400.0);
                model.setXAxisMax(45372.875 + to / 86400.0);
                model.setYAxisMin(low);
                model.setYAxisMax(high);
                ChartAppearance look = model.appearance();
                look.channelLineStyle = style;
                model.setAppearance(look);
                for (const QSize size : {QSize(333, 201), QSize(960, 540)}) {
                    TraceRaster::setEnabled(false);
                    const QImage painted = ChartPainter::render(model, size);
                    TraceRaster::setEnabled(true);
                    EXPECT_TRUE(ChartPainter::render(model, size) == painted)
                        << from << ".." << to << " y " << low << ".." << high << " width " << size.width() << " style " << style;
                }
            }
}
