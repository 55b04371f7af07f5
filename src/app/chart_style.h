#pragma once
#include "view/chart_appearance.h"
#include <QColor>
#include <QFont>
#include <QPen>
#include <vector>

// The chart's appearance settings in Qt's terms, for the painter.
namespace ChartStyle {

QColor colour(quint32 bgr);
// A stored line style (0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none) as Qt's;
// an unknown number draws solid.
Qt::PenStyle penStyle(int stored);
QPen pen(quint32 bgr, int stored = ChartAppearance::Solid, qreal width = 0);
// The title font: a face this machine lacks becomes the default sans-serif face.
QFont titleFont(const ChartAppearance &look, const QFont &base);

// `count` equal intervals from lo to hi: count + 1 positions, both ends included.
std::vector<double> majorTicks(double lo, double hi, int count);
// `count` positions evenly inside each interval of the major ticks.
std::vector<double> minorTicks(const std::vector<double> &major, int count);

} // namespace ChartStyle
