#include "view/braille_cells.h"
#include "view/minmax_pyramid.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace BrailleCells {

namespace {
constexpr char16_t Blank = 0x2800;
// Dot bits by height, bottom first: dots 7, 3, 2, 1 on the left and 8, 6, 5, 4 on the right.
constexpr char16_t LeftDots[4] = {0x40, 0x04, 0x02, 0x01};
constexpr char16_t RightDots[4] = {0x80, 0x20, 0x10, 0x08};

void extremes(const double *values, const MinMaxPyramid *summary, int from, int to, double &lo, double &hi)
{
    // The scan widens what it is given: it starts from nothing.
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    if (summary && size_t(to) <= summary->rows())
        summary->range(values, size_t(from), size_t(to), lo, hi);
    else
        MinMaxPyramid::scan(values + from, size_t(to - from), lo, hi);
}
} // namespace

Layout::Layout(int firstRow, int rowCount, int cellCount)
    : first(firstRow), count(std::max(rowCount, 0)), stretches(std::min(count, 2 * std::max(cellCount, 0)))
{
}

int Layout::stretchStart(int k) const
{
    return first + int(qint64(k) * count / std::max(stretches, 1));
}

int Layout::cellOfRow(int row) const
{
    if (stretches == 0)
        return 0;
    const qint64 offset = std::clamp<qint64>(qint64(row) - first, 0, count - 1);
    // The stretch k with stretchStart(k) <= row < stretchStart(k + 1).
    const int k = int(((offset + 1) * stretches - 1) / count);
    return k / 2;
}

int Layout::middleRowOfCell(int cell) const
{
    if (stretches == 0)
        return first;
    const int c = std::clamp(cell, 0, cells() - 1);
    const int from = stretchStart(2 * c), to = stretchStart(std::min(2 * c + 2, stretches));
    return from + (to - from - 1) / 2;
}

QChar cell(int leftLevel, int rightLevel)
{
    char16_t code = Blank;
    if (leftLevel >= 0 && leftLevel < 4)
        code |= LeftDots[leftLevel];
    if (rightLevel >= 0 && rightLevel < 4)
        code |= RightDots[rightLevel];
    return QChar(code);
}

QString line(const double *values, const Layout &layout, const MinMaxPyramid *summary)
{
    if (layout.stretches == 0)
        return QString();
    double lowest = 0, highest = 0;
    extremes(values, summary, layout.first, layout.first + layout.count, lowest, highest);
    const double span = highest - lowest;
    const auto level = [&](int k) {
        double lo = 0, hi = 0;
        extremes(values, summary, layout.stretchStart(k), layout.stretchStart(k + 1), lo, hi);
        if (lo > hi)
            return -1;
        if (!(span > 0) || !std::isfinite(span))
            return 0;
        const double middle = lo + (hi - lo) / 2;
        return std::clamp(int(std::floor((middle - lowest) / span * 4)), 0, 3);
    };
    QString text;
    text.reserve(layout.cells());
    for (int k = 0; k < layout.stretches; k += 2)
        text += cell(level(k), k + 1 < layout.stretches ? level(k + 1) : -1);
    return text;
}

} // namespace BrailleCells
