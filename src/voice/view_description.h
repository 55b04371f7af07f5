#pragma once
#include <QString>

class StripChartModel;
class DataSet;
class ViewWindow;

// The shape of the cursor channel over the view in one or two sentences, for example
// "Channel 1 rises from  .45 at 21:00:00 to a peak of  2.11 at 21:10:58, then falls to  .62
// at 21:20:00. 4 spikes." The view is read through the channel's min/max summary in a few
// hundred slices, smoothed, and cut into at most five rising, falling or flat stretches;
// a turning point is called a peak or a valley only when it is one as a landmark; spikes are
// counted as the landmark finder sees them. Numbers are rounded to `digits` significant digits.
QString describeView(const StripChartModel &chart, const DataSet &data, ViewWindow &view, int digits);
