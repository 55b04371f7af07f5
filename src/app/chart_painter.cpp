#include "app/chart_painter.h"
#include "app/chart_style.h"
#include "app/trace_raster.h"
#include "view/minmax_pyramid.h"
#include "view/strip_chart_model.h"
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace ChartPainter {

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
bool summariesUsed = true;
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

Column columnOf(const double *v, size_t n)
{
    Column c;   // starts empty: min above max
    MinMaxPyramid::scan(v, n, c.min, c.max);
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

// The rows of each pixel column of an ordered view, found once by bisection and shared by
// every channel: column x holds rows [starts[x], starts[x + 1]). Few rows in view leave
// `starts` empty: then the samples themselves are joined.
struct ColumnRows {
    size_t lo = 0, hi = 0;
    std::vector<size_t> starts;
};

// The first row in [from, to) whose time is not before `t` (to when none is), searched
// outwards from `guess` in growing steps: near the guess it reads a few neighbouring rows
// instead of bisecting across the whole column.
size_t firstAtOrAfter(const SampleColumn &times, size_t from, size_t to, double t, size_t guess)
{
    guess = std::clamp(guess, from, to);
    size_t lo, hi;   // the answer lies in [lo, hi]
    if (guess == to || !(times[guess] < t)) {
        hi = lo = guess;
        for (size_t step = 1; lo > from; step *= 2) {
            const size_t probe = lo - std::min(step, lo - from);
            if (times[probe] < t) {
                lo = probe + 1;
                break;
            }
            hi = lo = probe;
        }
    } else {
        lo = hi = guess + 1;
        for (size_t step = 1; hi < to && times[hi] < t; step *= 2) {
            lo = hi + 1;
            hi = std::min(to, hi + step);
        }
    }
    return size_t(std::lower_bound(times.begin() + lo, times.begin() + hi, t) - times.begin());
}

ColumnRows columnRows(const Scale &s, const SampleColumn &times)
{
    ColumnRows c;
    const int width = std::max(1, int(s.plot.width()));
    const auto begin = times.begin();
    c.lo = size_t(std::lower_bound(begin, times.end(), s.x0) - begin);
    c.hi = size_t(std::upper_bound(begin, times.end(), s.x1) - begin);
    if (c.hi - c.lo <= size_t(2 * width))
        return c;
    c.starts.resize(size_t(width) + 1);
    const double step = (s.x1 - s.x0) / width;
    size_t start = c.lo;
    c.starts[0] = start;
    const double rowsPerColumn = double(c.hi - c.lo) / width;
    for (int x = 0; x < width; ++x) {
        size_t end = c.hi;
        if (x + 1 < width) {
            // Rows usually come at an even pace: start where that puts the edge.
            const size_t guess = c.lo + size_t(rowsPerColumn * (x + 1));
            end = firstAtOrAfter(times, start, c.hi, s.x0 + (x + 1) * step, guess);
        }
        c.starts[size_t(x) + 1] = start = end;
    }
    return c;
}

// A column's extremes from the channel's summary; its first and last finite values from the rows.
Column summaryColumn(const MinMaxPyramid &summary, const double *values, size_t from, size_t to)
{
    Column c;
    summary.range(values, from, to, c.min, c.max);
    if (c.empty())
        return c;
    size_t a = from, b = to;
    while (!std::isfinite(values[a]))
        ++a;
    while (!std::isfinite(values[b - 1]))
        --b;
    c.first = values[a];
    c.last = values[b - 1];
    return c;
}

// Rows in time order: a narrow view of a huge file costs only its own rows, a wide one the
// summary's blocks.
void traceAscending(std::vector<QLineF> &lines, const Scale &s, const ColumnRows &rows, const SampleColumn &times,
                    const SampleColumn &values, const MinMaxPyramid *summary)
{
    if (rows.starts.empty()) {
        // Few rows: join the samples themselves, including the neighbours just outside the view.
        const size_t from = rows.lo > 0 ? rows.lo - 1 : 0;
        const size_t to = std::min(rows.hi + 1, times.size());
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
    std::vector<Column> cols(rows.starts.size() - 1);
    // A wide column's summary reads are scattered across the file: each is asked for a few
    // columns ahead, so it arrives while the columns before it are worked out. Asking for all
    // of them first only fills the processor's queue of loads and waits on it.
    constexpr size_t PrefetchAhead = 16;
    const auto prefetch = [&](size_t x) {
        if (summary && x < cols.size())
            summary->prefetch(values.data(), rows.starts[x], rows.starts[x + 1]);
    };
    for (size_t x = 0; x < PrefetchAhead; ++x)
        prefetch(x);
    for (size_t x = 0; x < cols.size(); ++x) {
        prefetch(x + PrefetchAhead);
        const size_t start = rows.starts[x], end = rows.starts[x + 1];
        if (end <= start)
            continue;
        cols[x] = summary && end - start > 2 * MinMaxPyramid::Base ? summaryColumn(*summary, values.data(), start, end)
                                                                    : columnOf(values.data() + start, end - start);
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

QString valueLabel(double v, double step)
{
    if (std::abs(v) < step * 1e-9)
        v = 0;
    if (step >= 1e7 || step < 1e-6)
        return QString::number(v, 'g', 6);
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(v, 'f', decimals);
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
    const ChartAppearance &look = model.appearance();
    p.setPen(ChartStyle::pen(look.legendText));
    QColor paper = ChartStyle::colour(look.gridBackground);
    paper.setAlpha(230);
    p.setBrush(paper);
    p.drawRect(box);
    for (int ch = 0; ch < n; ++ch) {
        const double y = box.top() + 4 + ch * line;
        p.setPen(QPen(fromBgr(model.channelColour(ch)), 3));
        p.drawLine(QPointF(box.left() + 5, y + line / 2.0), QPointF(box.left() + 20, y + line / 2.0));
        p.setPen(ChartStyle::colour(look.legendText));
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
    const QColor colour = ChartStyle::colour(model.appearance().cursor);
    p.setPen(QPen(colour, 1, Qt::DashLine));
    p.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
    const int ch = model.CursorChannel();
    if (ch >= 0 && ch < model.channelCount()) {
        const double v = model.column(ch)[size_t(row)];
        if (std::isfinite(v)) {
            p.setPen(QPen(colour, 2));
            p.drawEllipse(QPointF(x, s.py(v)), 4, 4);
        }
    }
}

} // namespace

QColor fromBgr(quint32 bgr)
{
    return ChartStyle::colour(bgr);
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
    // Read at every visit of the chart: short, and the rest is one command away (INFO).
    const QString ut = model.timeLabelFormat().contains(QLatin1String("UT")) ? QStringLiteral(" U T") : QString();
    const int channels = model.channelCount();
    QString text = QStringLiteral("%1 %2, View from %3 to %4%5")
                       .arg(channels)
                       .arg(channels == 1 ? QStringLiteral("channel") : QStringLiteral("channels"))
                       .arg(timeOfDay(model.XAxisMin()), timeOfDay(model.XAxisMax()), ut);
    // The cursor, while it is shown: the time of the sample it stands on.
    const int row = model.cursorRow();
    if (model.ToolBarMode() == 4 && row >= 0 && row < model.rowCount())
        text += QStringLiteral(", Cursor at %1%2").arg(timeOfDay(model.times()[size_t(row)]), ut);
    return text + u'.';
}

namespace {

// Where the plot goes inside the chart's area, with the value axis ticks that decided it.
struct Frame {
    Scale s;
    std::vector<double> yTicks;
    double yStep = 0;
    int labelWidth = 0;
};

Frame frameFor(const QPainter &p, const QRect &area, const StripChartModel &model)
{
    const QFontMetrics fm = p.fontMetrics();
    Frame f;
    f.s = scaleFor(model);
    const Scale &s = f.s;

    // Vertical room: title on top, time labels below.
    const ChartAppearance &look = model.appearance();
    const int titleHeight = model.title().isEmpty() ? 10 : QFontMetrics(ChartStyle::titleFont(look, p.font()), p.device()).height() + 10;
    const double top = area.top() + titleHeight;
    const double bottom = area.bottom() - fm.height() - 10;
    const double plotHeight = std::max(10.0, bottom - top);

    f.yTicks = ChartStyle::majorTicks(s.y0, s.y1, look.yTickMajorCount);
    // A tenth of the step: labels of an uneven step keep their difference visible.
    f.yStep = (s.y1 - s.y0) / look.yTickMajorCount / 10;
    for (double v : f.yTicks)
        f.labelWidth = std::max(f.labelWidth, fm.horizontalAdvance(valueLabel(v, f.yStep)));

    const double left = area.left() + f.labelWidth + 12;
    const double right = area.right() - fm.horizontalAdvance(QStringLiteral("00:00")) / 2.0 - 4;
    f.s.plot = QRectF(left, top, std::max(10.0, right - left), plotHeight);
    return f;
}


// Grid lines, ticks and labels of the value axis, at the counts the settings ask for.
void drawValueAxis(QPainter &p, const QRect &area, const Frame &f, const ChartAppearance &look)
{
    const Scale &s = f.s;
    const QFontMetrics fm = p.fontMetrics();
    for (double v : ChartStyle::minorTicks(f.yTicks, look.yTickMinorCount)) {
        p.setPen(ChartStyle::pen(look.yTickMinor));
        p.drawLine(QPointF(s.plot.left() - 2, s.py(v)), QPointF(s.plot.left(), s.py(v)));
    }
    for (double v : f.yTicks) {
        const double y = s.py(v);
        p.setPen(ChartStyle::pen(look.axisGrid, look.gridLineStyle));
        p.drawLine(QPointF(s.plot.left(), y), QPointF(s.plot.right(), y));
        p.setPen(ChartStyle::pen(look.yTickMajor));
        p.drawLine(QPointF(s.plot.left() - 4, y), QPointF(s.plot.left(), y));
        p.setPen(ChartStyle::colour(look.yAxisLabel));
        // The lowest label stays clear of the time labels under the plot.
        const double top = std::min(y - fm.height() / 2.0, s.plot.bottom() + 4 - fm.height());
        p.drawText(QRectF(area.left(), top, f.labelWidth + 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   valueLabel(v, f.yStep));
    }
}

// The same for the time axis; a label that would overlap the one before it is left out.
void drawTimeAxis(QPainter &p, const QRect &area, const Scale &s, const StripChartModel &model)
{
    const ChartAppearance &look = model.appearance();
    const QFontMetrics fm = p.fontMetrics();
    const QString suffix = model.timeLabelFormat().contains(QLatin1String("UT")) ? QStringLiteral(" UT") : QString();
    const int timeLabelWidth = fm.horizontalAdvance(QStringLiteral("00:00:00") + suffix) + 8;
    const std::vector<double> ticks = ChartStyle::majorTicks(s.x0, s.x1, look.xTickMajorCount);
    for (double t : ChartStyle::minorTicks(ticks, look.xTickMinorCount)) {
        p.setPen(ChartStyle::pen(look.xTickMinor));
        p.drawLine(QPointF(s.px(t), s.plot.bottom()), QPointF(s.px(t), s.plot.bottom() + 2));
    }
    double labelsEnd = -Inf;
    for (double day : ticks) {
        const double x = s.px(day);
        p.setPen(ChartStyle::pen(look.axisGrid, look.gridLineStyle));
        p.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
        p.setPen(ChartStyle::pen(look.xTickMajor));
        p.drawLine(QPointF(x, s.plot.bottom()), QPointF(x, s.plot.bottom() + 4));
        QRectF box(x - timeLabelWidth / 2.0, s.plot.bottom() + 5, timeLabelWidth, fm.height());
        // Keep the edge labels whole.
        box.moveLeft(std::clamp(box.left(), double(area.left()), area.right() - box.width()));
        if (box.left() < labelsEnd)
            continue;
        p.setPen(ChartStyle::colour(look.xAxisLabel));
        p.drawText(box, Qt::AlignCenter, timeOfDay(day) + suffix);
        labelsEnd = box.right();
    }
}

} // namespace

void useSummaries(bool on)
{
    summariesUsed = on;
}

QRectF plotArea(const QPainter &painter, const QRect &area, const StripChartModel &model)
{
    return frameFor(painter, area, model).s.plot;
}

void paintCursor(QPainter &p, const QRect &area, const StripChartModel &model)
{
    const Frame f = frameFor(p, area, model);
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
    const ChartAppearance &look = model.appearance();
    p.fillRect(area, ChartStyle::colour(look.background));
    const QFontMetrics fm = p.fontMetrics();
    const Frame frame = frameFor(p, area, model);
    const Scale &s = frame.s;
    p.fillRect(s.plot, ChartStyle::colour(look.gridBackground));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    drawValueAxis(p, area, frame, look);
    drawTimeAxis(p, area, s, model);

    // Traces.
    p.save();
    const QRectF traceArea = s.plot.adjusted(0, 0, 1, 1);
    p.setClipRect(traceArea);
    // The pixels that clip keeps: its edges rounded to the nearest pixel boundary.
    const QRect traceClip(QPoint(qRound(traceArea.left()), qRound(traceArea.top())),
                          QPoint(qRound(traceArea.right()) - 1, qRound(traceArea.bottom()) - 1));
    std::vector<QLineF> lines;
    const bool drawable = s.drawable();
    const ColumnRows rows = drawable && model.timesAscending() ? columnRows(s, model.times()) : ColumnRows();
    for (int ch = 0; drawable && ch < model.channelCount(); ++ch) {
        lines.clear();
        if (model.timesAscending())
            traceAscending(lines, s, rows, model.times(), model.column(ch),
                           rows.starts.empty() || !summariesUsed ? nullptr : &model.summary(ch));
        else
            traceUnordered(lines, s, model.times(), model.column(ch));
        p.setPen(ChartStyle::pen(model.channelColour(ch), ch == 0 ? look.channelLineStyle : ChartAppearance::Solid));
        if (!TraceRaster::drawLines(p, traceClip, lines.data(), int(lines.size())))
            p.drawLines(lines.data(), int(lines.size()));
    }
    if (withCursor && s.drawable())
        drawCursor(p, s, model);
    p.restore();

    // The axes take their major tick colours.
    p.setPen(ChartStyle::pen(look.yTickMajor));
    p.drawLine(s.plot.topLeft(), s.plot.bottomLeft());
    p.setPen(ChartStyle::pen(look.xTickMajor));
    p.drawLine(s.plot.bottomLeft(), s.plot.bottomRight());

    if (!model.title().isEmpty()) {
        const QFont normal = p.font();
        p.setFont(ChartStyle::titleFont(look, normal));
        p.setPen(ChartStyle::colour(look.title));
        p.drawText(QRectF(area.left(), area.top() + 4, area.width(), s.plot.top() - area.top() - 6), Qt::AlignCenter, model.title());
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
