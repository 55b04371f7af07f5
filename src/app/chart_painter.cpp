#include "app/chart_painter.h"
#include "view/strip_chart_model.h"
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ChartPainter {

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const QColor GridColour(215, 215, 215);
constexpr qint64 SecondsPerDay = 86400;

// Maps day numbers and values to pixels of the plot area.
struct Scale {
    QRectF plot;
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;

    // An infinite span (time stamps of +-1e308) leaves no pixel to put a sample on.
    bool drawable() const
    {
        return std::isfinite(x1 - x0) && std::isfinite(plot.width() / (x1 - x0)) && std::isfinite(y1 - y0);
    }
    double px(double t) const { return plot.left() + (t - x0) / (x1 - x0) * plot.width(); }
    double py(double v) const
    {
        const double y = plot.bottom() - (v - y0) / (y1 - y0) * plot.height();
        // Far-off values would overflow the rasteriser; they are clipped anyway.
        return std::clamp(y, plot.top() - 1e5, plot.bottom() + 1e5);
    }
};

// One pixel column of a trace: its extremes and the values it starts and ends with.
struct Column {
    double first = 0, last = 0, min = Inf, max = -Inf;
    bool empty() const { return min > max; }
};

// Extremes of finite values. NaN fails every comparison and drops out on its own (the
// SSE2 min/max keep their second operand then); the rare infinity sends the column through
// the careful loop. This loop is the whole cost of drawing a full view of millions of rows.
void minMax(const double *v, size_t n, double &mn, double &mx)
{
    size_t i = 0;
#if defined(__SSE2__)
    __m128d lo0 = _mm_set1_pd(Inf), lo1 = lo0, hi0 = _mm_set1_pd(-Inf), hi1 = hi0;
    for (; i + 4 <= n; i += 4) {
        const __m128d a = _mm_loadu_pd(v + i), b = _mm_loadu_pd(v + i + 2);
        lo0 = _mm_min_pd(a, lo0);
        hi0 = _mm_max_pd(a, hi0);
        lo1 = _mm_min_pd(b, lo1);
        hi1 = _mm_max_pd(b, hi1);
    }
    alignas(16) double lo[2], hi[2];
    _mm_store_pd(lo, _mm_min_pd(lo0, lo1));
    _mm_store_pd(hi, _mm_max_pd(hi0, hi1));
    mn = std::min(lo[0], lo[1]);
    mx = std::max(hi[0], hi[1]);
#else
    mn = Inf;
    mx = -Inf;
#endif
    for (; i < n; ++i) {
        mn = v[i] < mn ? v[i] : mn;
        mx = v[i] > mx ? v[i] : mx;
    }
    if (mn == -Inf || mx == Inf) {
        mn = Inf;
        mx = -Inf;
        for (size_t k = 0; k < n; ++k) {
            if (std::isfinite(v[k])) {
                mn = std::min(mn, v[k]);
                mx = std::max(mx, v[k]);
            }
        }
    }
}

Column columnOf(const double *v, size_t n)
{
    Column c;
    minMax(v, n, c.min, c.max);
    if (c.empty())
        return c;
    size_t a = 0, b = n;
    while (!std::isfinite(v[a]))
        ++a;
    while (!std::isfinite(v[b - 1]))
        --b;
    c.first = v[a];
    c.last = v[b - 1];
    return c;
}

// A segment cut to the plot's width: a sample far outside the view would overflow the
// rasteriser's coordinates.
void addSegment(std::vector<QLineF> &lines, const Scale &s, QPointF a, QPointF b)
{
    const double left = s.plot.left() - 1, right = s.plot.right() + 1;
    if (a.x() > b.x())
        std::swap(a, b);
    if (b.x() < left || a.x() > right || !std::isfinite(a.x()) || !std::isfinite(b.x()))
        return;
    const auto at = [&](double x) { return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x())); };
    const QPointF from = a.x() < left ? at(left) : a;
    const QPointF to = b.x() > right ? at(right) : b;
    lines.emplace_back(from, to);
}

void addColumnLines(std::vector<QLineF> &lines, const Scale &s, const std::vector<Column> &cols)
{
    bool havePrevious = false;
    QPointF previous;
    for (size_t x = 0; x < cols.size(); ++x) {
        const Column &c = cols[x];
        if (c.empty())
            continue;
        const double px = s.plot.left() + double(x) + 0.5;
        if (havePrevious)
            lines.emplace_back(previous, QPointF(px, s.py(c.first)));
        lines.emplace_back(px, s.py(c.min), px, s.py(c.max));
        previous = QPointF(px, s.py(c.last));
        havePrevious = true;
    }
}

// Rows in time order: each column's rows are found by bisection, so a narrow view of a huge
// file costs only its own rows.
void traceAscending(std::vector<QLineF> &lines, const Scale &s, const SampleColumn &times,
                    const SampleColumn &values)
{
    const int width = std::max(1, int(s.plot.width()));
    const auto begin = times.begin();
    const size_t lo = size_t(std::lower_bound(begin, times.end(), s.x0) - begin);
    const size_t hi = size_t(std::upper_bound(begin, times.end(), s.x1) - begin);
    if (hi - lo <= size_t(2 * width)) {
        // Few rows: join the samples themselves, including the neighbours just outside the view.
        const size_t from = lo > 0 ? lo - 1 : 0;
        const size_t to = std::min(hi + 1, times.size());
        bool havePrevious = false;
        QPointF previous;
        for (size_t r = from; r < to; ++r) {
            if (!std::isfinite(values[r]) || !std::isfinite(times[r])) {
                havePrevious = false;
                continue;
            }
            const QPointF p(s.px(times[r]), s.py(values[r]));
            addSegment(lines, s, havePrevious ? previous : p, p);
            previous = p;
            havePrevious = true;
        }
        return;
    }
    std::vector<Column> cols(static_cast<size_t>(width));
    const double step = (s.x1 - s.x0) / width;
    size_t start = lo;
    for (int x = 0; x < width; ++x) {
        size_t end = hi;
        if (x + 1 < width)
            end = size_t(std::lower_bound(begin + start, begin + hi, s.x0 + (x + 1) * step) - begin);
        if (end > start)
            cols[size_t(x)] = columnOf(values.data() + start, end - start);
        start = end;
    }
    addColumnLines(lines, s, cols);
}

// Time stamps out of order: one pass over every row, each dropped into its column.
void traceUnordered(std::vector<QLineF> &lines, const Scale &s, const SampleColumn &times,
                    const SampleColumn &values)
{
    const int width = std::max(1, int(s.plot.width()));
    std::vector<Column> cols(static_cast<size_t>(width));
    const double perDay = width / (s.x1 - s.x0);
    for (size_t r = 0; r < times.size(); ++r) {
        const double t = times[r], v = values[r];
        if (!(t >= s.x0 && t <= s.x1) || !std::isfinite(v))
            continue;
        const double at = std::min((t - s.x0) * perDay, double(width - 1));
        if (!(at >= 0))
            continue;
        const size_t x = size_t(at);
        Column &c = cols[x];
        if (c.empty())
            c.first = v;
        c.last = v;
        c.min = std::min(c.min, v);
        c.max = std::max(c.max, v);
    }
    addColumnLines(lines, s, cols);
}

double niceStep(double span, int maxTicks)
{
    const double raw = span / std::max(1, maxTicks);
    if (!std::isfinite(raw) || raw <= 0)
        return 0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    return (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * magnitude;
}

QString valueLabel(double v, double step)
{
    if (std::abs(v) < step * 1e-9)
        v = 0;
    if (step >= 1e7 || step < 1e-6)
        return QString::number(v, 'g', 6);
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(v, 'f', decimals);
}

double timeStepSeconds(double spanSeconds, int maxTicks)
{
    static const double steps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    for (double st : steps) {
        if (spanSeconds / st <= maxTicks)
            return st;
    }
    return std::ceil(spanSeconds / maxTicks / 86400) * 86400;
}

Scale scaleFor(const StripChartModel &model)
{
    Scale s;
    s.x0 = model.XAxisMin();
    s.x1 = model.XAxisMax();
    if (!std::isfinite(s.x0))
        s.x0 = 0;
    if (!std::isfinite(s.x1) || s.x1 <= s.x0)
        s.x1 = s.x0 + 1.0 / SecondsPerDay;
    s.y0 = std::min(model.YAxisMin(), model.YAxisMax());
    s.y1 = std::max(model.YAxisMin(), model.YAxisMax());
    if (!std::isfinite(s.y0) || !std::isfinite(s.y1)) {
        s.y0 = 0;
        s.y1 = 1;
    }
    if (s.y1 == s.y0) {
        s.y0 -= 1;
        s.y1 += 1;
    }
    return s;
}

void drawLegend(QPainter &p, const Scale &s, const StripChartModel &model)
{
    const QFontMetrics fm = p.fontMetrics();
    const int n = model.channelCount();
    QStringList names;
    int wide = 0;
    for (int ch = 0; ch < n; ++ch) {
        const QString name = model.channelName(ch).trimmed().isEmpty() ? QStringLiteral("CH %1").arg(ch + 1) : model.channelName(ch);
        names << name;
        wide = std::max(wide, fm.horizontalAdvance(name));
    }
    const int line = fm.height();
    const QRectF box(s.plot.right() - wide - 36, s.plot.top() + 6, wide + 30, line * n + 8);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    for (int ch = 0; ch < n; ++ch) {
        const double y = box.top() + 4 + ch * line;
        p.setPen(QPen(fromBgr(model.channelColour(ch)), 3));
        p.drawLine(QPointF(box.left() + 5, y + line / 2.0), QPointF(box.left() + 20, y + line / 2.0));
        p.setPen(Qt::black);
        p.drawText(QRectF(box.left() + 25, y, wide + 4, line), Qt::AlignLeft | Qt::AlignVCenter, names[ch]);
    }
    p.setBrush(Qt::NoBrush);
}

void drawCursor(QPainter &p, const Scale &s, const StripChartModel &model)
{
    const int row = model.cursorRow();
    if (model.ToolBarMode() != 4 || row < 0 || row >= model.rowCount())
        return;
    const double x = s.px(model.times()[size_t(row)]);
    if (!(x >= s.plot.left() && x <= s.plot.right()))
        return;
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
    const int ch = model.CursorChannel();
    if (ch >= 0 && ch < model.channelCount()) {
        const double v = model.column(ch)[size_t(row)];
        if (std::isfinite(v)) {
            p.setPen(QPen(Qt::black, 2));
            p.drawEllipse(QPointF(x, s.py(v)), 4, 4);
        }
    }
}

} // namespace

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QString timeOfDay(double dayNumber)
{
    if (!std::isfinite(dayNumber))
        return QStringLiteral("--:--:--");
    qint64 secs = std::llround((dayNumber - std::floor(dayNumber)) * SecondsPerDay) % SecondsPerDay;
    return QStringLiteral("%1:%2:%3")
        .arg(secs / 3600, 2, 10, QLatin1Char('0'))
        .arg(secs / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(secs % 60, 2, 10, QLatin1Char('0'));
}

QString describe(const StripChartModel &model)
{
    if (model.rowCount() == 0)
        return QStringLiteral("No data loaded.");
    const QString ut = model.timeLabelFormat().contains(QLatin1String("UT")) ? QStringLiteral(" U T") : QString();
    return QStringLiteral("%1 channels, %2 rows. View from %3%5 to %4%5, values from %6 to %7.")
        .arg(model.channelCount())
        .arg(model.rowCount())
        .arg(timeOfDay(model.XAxisMin()), timeOfDay(model.XAxisMax()), ut)
        .arg(model.YAxisMin(), 0, 'g', 6)
        .arg(model.YAxisMax(), 0, 'g', 6);
}

namespace {

// Where the plot goes inside the chart's area, with the value axis ticks that decided it.
struct Frame {
    Scale s;
    std::vector<double> yTicks;
    double yStep = 0;
    int labelWidth = 0;
};

Frame frameFor(const QFontMetrics &fm, const QRect &area, const StripChartModel &model)
{
    Frame f;
    f.s = scaleFor(model);
    const Scale &s = f.s;

    // Vertical room: title on top, time labels below.
    const int titleHeight = model.title().isEmpty() ? 10 : fm.height() + 10;
    const double top = area.top() + titleHeight;
    const double bottom = area.bottom() - fm.height() - 10;
    const double plotHeight = std::max(10.0, bottom - top);

    // At least two labelled ticks, even on a low chart.
    for (int wanted = std::max(2, int(plotHeight / 40)); f.yTicks.size() < 2 && wanted <= 64; wanted *= 2) {
        f.yTicks.clear();
        f.yStep = niceStep(s.y1 - s.y0, wanted);
        const double firstValue = std::ceil(s.y0 / f.yStep) * f.yStep;
        // Counted, not accumulated: near huge values adding a tiny step may change nothing.
        for (int i = 0; f.yStep > 0 && i < 100; ++i) {
            const double v = firstValue + i * f.yStep;
            if (v > s.y1 + f.yStep * 1e-9)
                break;
            f.yTicks.push_back(v);
        }
    }
    for (double v : f.yTicks)
        f.labelWidth = std::max(f.labelWidth, fm.horizontalAdvance(valueLabel(v, f.yStep)));

    const double left = area.left() + f.labelWidth + 12;
    const double right = area.right() - fm.horizontalAdvance(QStringLiteral("00:00")) / 2.0 - 4;
    f.s.plot = QRectF(left, top, std::max(10.0, right - left), plotHeight);
    return f;
}

} // namespace

void paintCursor(QPainter &p, const QRect &area, const StripChartModel &model)
{
    const Frame f = frameFor(p.fontMetrics(), area, model);
    p.save();
    p.setClipRect(f.s.plot.adjusted(0, 0, 1, 1));
    if (f.s.drawable())
        drawCursor(p, f.s, model);
    p.restore();
}

void paint(QPainter &p, const QRect &area, const StripChartModel &model, bool withCursor)
{
    p.save();
    p.setClipRect(area);
    p.fillRect(area, Qt::white);
    const QFontMetrics fm = p.fontMetrics();
    const Frame frame = frameFor(fm, area, model);
    const Scale &s = frame.s;
    const std::vector<double> &yTicks = frame.yTicks;
    const double yStep = frame.yStep;
    const int labelWidth = frame.labelWidth;

    // Grid, ticks and labels.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (double v : yTicks) {
        const double y = s.py(v);
        p.setPen(QPen(GridColour, 0, Qt::DotLine));
        p.drawLine(QPointF(s.plot.left(), y), QPointF(s.plot.right(), y));
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(QPointF(s.plot.left() - 4, y), QPointF(s.plot.left(), y));
        p.drawText(QRectF(area.left(), y - fm.height() / 2.0, labelWidth + 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, valueLabel(v, yStep));
    }

    const QString suffix = model.timeLabelFormat().contains(QLatin1String("UT")) ? QStringLiteral(" UT") : QString();
    const int timeLabelWidth = fm.horizontalAdvance(QStringLiteral("00:00:00") + suffix) + 24;
    const double spanSeconds = (s.x1 - s.x0) * SecondsPerDay;
    const double tStep = timeStepSeconds(spanSeconds, std::max(1, int(s.plot.width() / timeLabelWidth)));
    const double firstTick = std::ceil(s.x0 * SecondsPerDay / tStep - 1e-9) * tStep;
    for (int i = 0; std::isfinite(firstTick) && i < 200; ++i) {
        const double t = firstTick + i * tStep;
        if (t > s.x1 * SecondsPerDay + 1e-6)
            break;
        const double day = t / SecondsPerDay;
        const double x = s.px(day);
        p.setPen(QPen(GridColour, 0, Qt::DotLine));
        p.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(QPointF(x, s.plot.bottom()), QPointF(x, s.plot.bottom() + 4));
        const QString label = timeOfDay(day) + suffix;
        QRectF box(x - timeLabelWidth / 2.0, s.plot.bottom() + 5, timeLabelWidth, fm.height());
        // Keep the edge labels whole.
        box.moveLeft(std::clamp(box.left(), double(area.left()), area.right() - box.width()));
        p.drawText(box, Qt::AlignCenter, label);
    }

    // Traces.
    p.save();
    p.setClipRect(s.plot.adjusted(0, 0, 1, 1));
    std::vector<QLineF> lines;
    for (int ch = 0; s.drawable() && ch < model.channelCount(); ++ch) {
        lines.clear();
        if (model.timesAscending())
            traceAscending(lines, s, model.times(), model.column(ch));
        else
            traceUnordered(lines, s, model.times(), model.column(ch));
        p.setPen(QPen(fromBgr(model.channelColour(ch)), 0));
        p.drawLines(lines.data(), int(lines.size()));
    }
    if (withCursor && s.drawable())
        drawCursor(p, s, model);
    p.restore();

    p.setPen(QPen(Qt::black, 0));
    p.drawRect(s.plot);

    if (!model.title().isEmpty()) {
        const QFont normal = p.font();
        QFont bold = normal;
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(QRectF(area.left(), area.top() + 4, area.width(), fm.height() + 4), Qt::AlignCenter, model.title());
        p.setFont(normal);
    }
    if (model.legendVisible() && model.channelCount() > 0)
        drawLegend(p, s, model);
    p.restore();
}

QImage render(const StripChartModel &model, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    paint(p, QRect(QPoint(0, 0), size), model);
    return image;
}

} // namespace ChartPainter
