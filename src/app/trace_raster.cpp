#include "app/trace_raster.h"
#include <QImage>
#include <QPainter>
#include <QPaintEngine>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace TraceRaster {

namespace {

bool enabled = true;

struct Target {
    quint32 *bits = nullptr;
    qsizetype stride = 0;   // pixels per scanline
    QRect clip;             // pixels that may be written
    QRectF bounds;          // lines are first cut to the image grown by a pixel, as QPainter does
    quint32 colour = 0;

    void put(int x, int y) const
    {
        if (x >= clip.left() && x <= clip.right() && y >= clip.top() && y <= clip.bottom())
            bits[y * stride + x] = colour;
    }
};

// 26.6 fixed point, cut towards zero like the painter's own conversion.
int fixed(double v)
{
    return int(v * 64.);
}

// a / b in 16.16.
int ratio16(int a, int b)
{
    return int((qint64(a) << 16) / b);
}

// Cuts the line to the grown image; false when nothing of it is left.
bool cut(const QRectF &b, double &x1, double &y1, double &x2, double &y2)
{
    const double xmin = b.left(), xmax = b.right(), ymin = b.top(), ymax = b.bottom();
    if (x1 < xmin) {
        if (x2 <= xmin)
            return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmin - x1);
        x1 = xmin;
    } else if (x1 > xmax) {
        if (x2 >= xmax)
            return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < xmin) {
        y2 += (y2 - y1) / (x2 - x1) * (xmin - x2);
        x2 = xmin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < ymin) {
        if (y2 <= ymin)
            return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymin - y1);
        y1 = ymin;
    } else if (y1 > ymax) {
        if (y2 >= ymax)
            return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < ymin) {
        x2 += (x2 - x1) / (y2 - y1) * (ymin - y2);
        y2 = ymin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }
    return true;
}

// Steps along the long axis one pixel at a time, half a pixel added at each end (square caps),
// the short axis followed in 16.16. `put(major, minor)` sets one pixel.
template <typename Put>
void walk(int a1, int b1, int a2, int b2, Put put)
{
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int inc = ratio16(b2 - b1, a2 - a1);
    int b = b1 * (1 << 10);
    a1 -= 32;
    b -= inc >> 1;
    a2 += 32;
    int a = (a1 + 32) >> 6;
    const int end = (a2 + 32) >> 6;
    if (a == end)
        return;
    const int round = inc > 0 ? 32 : 0;
    b += int((qint64((a * 64) + round - a1) * inc) >> 6);
    for (; a < end; ++a, b += inc)
        put(a, b >> 16);
}

void line(const Target &t, QPointF p, QPointF q)
{
    if (p == q) {
        t.put(qRound(p.x()), qRound(p.y()));
        return;
    }
    double x1 = p.x(), y1 = p.y(), x2 = q.x(), y2 = q.y();
    if (!cut(t.bounds, x1, y1, x2, y2))
        return;
    const int fx1 = fixed(x1), fy1 = fixed(y1), fx2 = fixed(x2), fy2 = fixed(y2);
    const int dx = std::abs(fx2 - fx1), dy = std::abs(fy2 - fy1);
    if (dx < dy) {
        if (dx == 0) {
            // The common case: a column's span, one run down a single pixel column.
            const int x = (fx1 * (1 << 10)) >> 16;
            if (x < t.clip.left() || x > t.clip.right())
                return;
            int top = (std::min(fy1, fy2) - 32 + 32) >> 6, end = (std::max(fy1, fy2) + 32 + 32) >> 6;
            top = std::max(top, t.clip.top());
            end = std::min(end, t.clip.bottom() + 1);
            for (quint32 *px = t.bits + qsizetype(top) * t.stride + x; top < end; ++top, px += t.stride)
                *px = t.colour;
            return;
        }
        walk(fy1, fx1, fy2, fx2, [&](int y, int x) { t.put(x, y); });
    } else if (dx > 0) {
        walk(fx1, fy1, fx2, fy2, [&](int x, int y) { t.put(x, y); });
    }
}

bool targetOf(QPainter &p, const QRect &clip, Target &t)
{
    if (!enabled || !p.isActive() || !p.paintEngine() || p.paintEngine()->type() != QPaintEngine::Raster)
        return false;
    if (p.device()->devType() != QInternal::Image)
        return false;
    auto *image = static_cast<QImage *>(p.device());
    if ((image->format() != QImage::Format_ARGB32_Premultiplied && image->format() != QImage::Format_RGB32) ||
        image->devicePixelRatio() != 1 || !image->isDetached())
        return false;
    const QPen pen = p.pen();
    if (pen.style() != Qt::SolidLine || pen.widthF() > 1 || pen.brush().style() != Qt::SolidPattern ||
        !pen.brush().transform().isIdentity() || pen.color().alpha() != 255)
        return false;
    if (p.renderHints() & QPainter::Antialiasing || !p.transform().isIdentity() || p.opacity() != 1 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    t.bits = reinterpret_cast<quint32 *>(image->bits());
    t.stride = image->bytesPerLine() / 4;
    t.clip = clip & image->rect();
    t.bounds = QRectF(QPointF(-1, -1), QPointF(image->width() + 1, image->height() + 1));
    t.colour = pen.color().rgba();
    return true;
}

} // namespace

bool drawLines(QPainter &painter, const QRect &clip, const QLineF *lines, int count)
{
    Target t;
    if (!targetOf(painter, clip, t))
        return false;
    for (int i = 0; i < count; ++i)
        line(t, lines[i].p1(), lines[i].p2());
    return true;
}

void setEnabled(bool on)
{
    enabled = on;
}

} // namespace TraceRaster
