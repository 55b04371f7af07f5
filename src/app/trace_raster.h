#pragma once
#include <QLineF>
#include <QRect>

class QPainter;

// Writes one-pixel solid lines straight into the scanlines of the image a painter draws on,
// setting exactly the pixels QPainter's aliased line drawing sets (a full view of several
// channels is thousands of short lines, and QPainter's per-line cost dominated the redraw).
namespace TraceRaster {

// Draws `lines` clipped to `clip` (device pixels, already the painter's clip) when the painter
// allows it: a raster image of 32-bit pixels, no transform, no antialiasing, an opaque solid
// pen one pixel wide, plain source-over. Returns false, having drawn nothing, otherwise.
bool drawLines(QPainter &painter, const QRect &clip, const QLineF *lines, int count);

// Turned off, drawLines always declines (tests compare both ways).
void setEnabled(bool on);

} // namespace TraceRaster
