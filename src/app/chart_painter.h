#pragma once
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
class StripChartModel;

// Draws the strip chart: traces (min/max per pixel column), axes, title, legend and cursor.
// Kept apart from the widget so the picture can also be made off screen (clipboard, benchmark).
namespace ChartPainter {

// Everything drawn inside `area` of the painter's device; the cursor can be left out, so a
// drawing can be kept and the moving cursor drawn over it (paintCursor).
void paint(QPainter &painter, const QRect &area, const StripChartModel &model, bool withCursor = true);
void paintCursor(QPainter &painter, const QRect &area, const StripChartModel &model);
// Where the traces go inside `area` (the pointer maps its positions through it).
QRectF plotArea(const QPainter &painter, const QRect &area, const StripChartModel &model);
// Wide views draw each pixel column's extremes from the channels' summaries; off, every row
// is read (the two must draw the same picture).
void useSummaries(bool on);
// The chart as a picture of the given size.
QImage render(const StripChartModel &model, const QSize &size);

// 0xBBGGRR (red in the low byte) as a colour.
QColor fromBgr(quint32 bgr);
// The time of day of a day number as "hh:mm:ss".
QString timeOfDay(double dayNumber);
// One short sentence for screen readers: the channels, the time span of the view and, while
// the cursor is shown, the time it stands on.
QString describe(const StripChartModel &model);

} // namespace ChartPainter
